// The subjects step: MATERIAS, one record per subject and offer, becomes one ASIGNOMT row per
// distinct subject and one ASIGNOMT2 row per distinct subject identifier and offer. The
// catalogue SENEMATERIAS.DBF supplies preferred codes; other codes are formed from the name.

#include "import/ImportSteps.h"

#include "import/RebuildTable.h"
#include "import/SubjectCodes.h"
#include "platform/DbfTable.h"
#include "seneca/Clipper.h"

#include <QFileInfo>
#include <optional>
#include <string>
#include <unordered_map>

namespace {

const QString Cod = QStringLiteral("COD");
const QString CodLargo = QStringLiteral("CODLARGO");
const QString Nombre = QStringLiteral("NOMBRE");
const QString Materia = QStringLiteral("MATERIA");
// Eleven characters: the host looks the field up by this name, so ASIGNOMT2 is a level 7 table.
const QString OfertaMatri = QStringLiteral("OFERTAMATRI");
const QString CodTarea = QStringLiteral("CODTAREA");
const QString EsTarea = QStringLiteral("ESTAREA");

const std::vector<DbfFieldDef> SubjectFields = {
    {Cod, DbfFieldType::Character, 10},
    {CodLargo, DbfFieldType::Character, 10},
    {Nombre, DbfFieldType::Character, 80},
    {CodTarea, DbfFieldType::Character, 10},
    {EsTarea, DbfFieldType::Logical, 0},
};

const std::vector<DbfFieldDef> OfferFields = {
    {Cod, DbfFieldType::Character, 10},
    {CodLargo, DbfFieldType::Character, 10},
    {Nombre, DbfFieldType::Character, 80},
    {Materia, DbfFieldType::Character, 20},
    {OfertaMatri, DbfFieldType::Character, 20},
    {CodTarea, DbfFieldType::Character, 10},
    {EsTarea, DbfFieldType::Logical, 0},
};

struct Codes {
    AnsiText code;
    AnsiText longCode;
};

// The catalogue's codes by name: the first row whose NOMBRE is the name, letter case included;
// empty codes when there is none. The names are read at the first lookup and the codes of the
// row found only then, so a catalogue reads (and fails) as a scan of it at each lookup would.
class Catalogue {
public:
    explicit Catalogue(DbfTable &table) : m_table(table) {}

    Codes codes(const AnsiText &name) {
        if (!m_firstRowByName) {
            m_firstRowByName.emplace();
            for (m_table.first(); !m_table.eof(); m_table.next())
                m_firstRowByName->try_emplace(m_table.text(Nombre).bytes(), m_table.position());
        }
        const auto found = m_firstRowByName->find(name.bytes());
        if (found == m_firstRowByName->end())
            return {};
        m_table.moveTo(found->second);
        return {m_table.text(Cod), m_table.text(CodLargo)};
    }

private:
    DbfTable &m_table;
    std::optional<std::unordered_map<std::string, int>> m_firstRowByName;
};

// A two-field lookup over rows that only this step writes, answering as DbfTable::locate
// from the first row would: the rows' values as the table reads them back after their post
// (cut to the field's width, without trailing blanks), compared with the whole searched
// texts less their trailing blanks, letter case included. The first row of a key wins.
class FirstMatch {
public:
    void add(const AnsiText &stored1, const AnsiText &stored2, const AnsiText &value) {
        m_rows.try_emplace(key(stored1, stored2), value);
    }
    // The value of the first row that matches, or null.
    const AnsiText *find(const AnsiText &text1, const AnsiText &text2) const {
        const auto found = m_rows.find(key(Clipper::RTrim(text1), Clipper::RTrim(text2)));
        return found == m_rows.end() ? nullptr : &found->second;
    }

private:
    // The first text's length in front keeps every pair of texts apart.
    static std::string key(const AnsiText &a, const AnsiText &b) {
        return std::to_string(a.size()) + ':' + a.bytes() + b.bytes();
    }
    std::unordered_map<std::string, AnsiText> m_rows;
};

// The offer rows by MATERIA and OFERTAMATRI, the subject rows' COD by CODLARGO and NOMBRE.
struct RowIndexes {
    FirstMatch offers;
    FirstMatch subjects;
};

void appendOfferRow(DbfTable &offers, RowIndexes &indexes, const AnsiText &code, const AnsiText &longCode,
                    const SubjectRecord &r) {
    offers.append();
    offers.setText(Cod, code);
    offers.setText(CodLargo, longCode);
    offers.setText(Nombre, r.name);
    offers.setText(Materia, r.subject);
    offers.setText(OfertaMatri, r.offer);
    offers.setLogical(EsTarea, false);
    offers.post();
    indexes.offers.add(offers.text(Materia), offers.text(OfertaMatri), AnsiText());
}

} // namespace

void ImportSubjects(RunState &state, UserInterface &) {
    const QString &folder = state.tableFolder();
    SubjectSets &sets = state.sets;
    // The sets belong to one run; whatever an earlier run that failed left in them is gone.
    sets.clear();

    DbfTable subjects;
    DbfTable offers;
    RebuildTable(subjects, folder, QStringLiteral("ASIGNOMT"), SubjectFields);
    RebuildTable(offers, folder, QStringLiteral("ASIGNOMT2"), OfferFields);

    // A missing catalogue ends the run here with the engine's message; both tables stay empty.
    const QFileInfo catalogueFile(state.paths.catalogPath);
    DbfTable catalogue;
    catalogue.open(catalogueFile.absolutePath(), catalogueFile.completeBaseName(), DbfTable::Mode::Shared);
    Catalogue catalogueCodes(catalogue);
    RowIndexes indexes;

    for (const SubjectRecord &r : state.document.SubjectRecords()) {
        auto [code, longCode] = catalogueCodes.codes(r.name);
        if (Clipper::AllTrim(code).isEmpty()) {
            // Nothing to form a code from: such a record would give a subject without name or code.
            if (r.name.isEmpty())
                continue;
            code = SubjectCodes::codeFromName(r.name);
        }
        if (Clipper::AllTrim(longCode).isEmpty())
            longCode = SubjectCodes::longCodeFor(code, r.name);
        code = code.left(SubjectCodes::CodeWidth);

        const AnsiText upperName = AnsiCase::asciiUpper(r.name);
        const AnsiText longCodeName = longCode + r.name;
        if (sets.SeenNames.contains(upperName) && sets.SeenLongCodes.contains(longCode)
            && sets.SeenLongCodeNames.contains(longCodeName)) {
            // A subject already written: at most a new identifier-and-offer row, carrying the
            // code of its ASIGNOMT row. The table's own widths bound the lookup by long code
            // and name, and a long code cut to 10 characters may end in a blank, which the
            // lookup disregards just as the table does.
            if (indexes.offers.find(r.subject, r.offer))
                continue;
            if (const AnsiText *subjectCode = indexes.subjects.find(longCode.left(10), r.name.left(80)))
                appendOfferRow(offers, indexes, *subjectCode, longCode, r);
            continue;
        }

        sets.SeenNames.insert(upperName);
        sets.SeenLongCodes.insert(longCode);
        sets.SeenLongCodeNames.insert(longCodeName);

        code = SubjectCodes::uniqueCode(code, sets.UsedCodes);
        sets.UsedCodes.insert(code);

        subjects.append();
        subjects.setText(Cod, code);
        subjects.setText(CodLargo, longCode);
        subjects.setText(Nombre, r.name);
        subjects.setLogical(EsTarea, false);
        subjects.post();
        indexes.subjects.add(subjects.text(CodLargo), subjects.text(Nombre), subjects.text(Cod));
        appendOfferRow(offers, indexes, code, longCode, r);
    }

    subjects.close();
    offers.close();
    catalogue.close();
}
