// The subjects step: MATERIAS, one record per subject and offer, becomes one ASIGNOMT row per
// distinct subject and one ASIGNOMT2 row per distinct subject identifier and offer. The
// catalogue SENEMATERIAS.DBF supplies preferred codes; other codes are formed from the name.

#include "import/ImportSteps.h"

#include "import/RebuildTable.h"
#include "import/SubjectCodes.h"
#include "platform/DbfTable.h"
#include "seneca/Clipper.h"

#include <QFileInfo>

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

struct SubjectRecord {
    AnsiText offer;
    AnsiText subject; // X_MATERIAOMG
    AnsiText name;    // D_MATERIAC
};

// The offer is dato 0. Séneca has sent the name and the identifier in either order, so dato 2
// and then dato 1 are placed by their names; dato 1, read last, wins where both land on the
// same value. Nothing carries over from an earlier record.
SubjectRecord readRecord(const DatoList &datos) {
    SubjectRecord r;
    r.offer = DatoValue(datos, 0);
    if (DatoNameIs(datos, 2, AnsiText::ascii("X_MATERIAOMG")))
        r.subject = DatoValue(datos, 2);
    else
        r.name = DatoValue(datos, 2);
    if (DatoNameIs(datos, 1, AnsiText::ascii("D_MATERIAC")))
        r.name = DatoValue(datos, 1);
    else
        r.subject = DatoValue(datos, 1);
    return r;
}

struct Codes {
    AnsiText code;
    AnsiText longCode;
};

// The first catalogue row whose NOMBRE is the name, letter case included; empty codes when
// there is none.
Codes catalogueCodes(DbfTable &catalogue, const AnsiText &name) {
    for (catalogue.first(); !catalogue.eof(); catalogue.next())
        if (catalogue.text(Nombre) == name)
            return {catalogue.text(Cod), catalogue.text(CodLargo)};
    return {};
}

void appendOfferRow(DbfTable &offers, const AnsiText &code, const AnsiText &longCode, const SubjectRecord &r) {
    offers.append();
    offers.setText(Cod, code);
    offers.setText(CodLargo, longCode);
    offers.setText(Nombre, r.name);
    offers.setText(Materia, r.subject);
    offers.setText(OfertaMatri, r.offer);
    offers.setLogical(EsTarea, false);
    offers.post();
}

} // namespace

void ImportSubjects(RunState &state, UserInterface &) {
    const QString &folder = state.paths.workDir;
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

    const XmlNodeList records = state.document.SelectRecords(GroupRecordsPath("MATERIAS").c_str());
    const int count = records.length();
    for (int i = 0; i < count; ++i) {
        const DatoList datos = Datos(records.item(i));
        if (datos.count() < 2)
            continue;
        const SubjectRecord r = readRecord(datos);

        auto [code, longCode] = catalogueCodes(catalogue, r.name);
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
            if (offers.locate(Materia, r.subject, OfertaMatri, r.offer))
                continue;
            if (subjects.locate(CodLargo, longCode.left(10), Nombre, r.name.left(80)))
                appendOfferRow(offers, subjects.text(Cod), longCode, r);
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
        appendOfferRow(offers, code, longCode, r);
    }

    subjects.close();
    offers.close();
    catalogue.close();
}
