// The subjects step: codes from the catalogue or formed from the name, numbering of codes
// already given (also when the numbered code has to be shortened), one ASIGNOMT row per
// subject and one ASIGNOMT2 row per identifier and offer, the order of name and identifier,
// and the missing catalogue.

#include "import/ImportSteps.h"
#include "platform/DbfFormat.h"
#include "platform/DbfTable.h"
#include "platform/RunError.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace TestSupport;
using namespace Qt::StringLiterals;

namespace {

const QStringList SenecaNames = {u"X_OFERTAMATRIG"_s, u"D_MATERIAC"_s, u"X_MATERIAOMG"_s, u"N_HORAS"_s};

// A catalogue of its own for each test, so that results never depend on data/.
void writeCatalogue(const QString &path, const QList<QStringList> &rows) {
    const QFileInfo file(path);
    DbfTable::create(file.absolutePath(), file.completeBaseName(),
                     {{u"NOMBRE"_s, DbfFieldType::Character, 80},
                      {u"COD"_s, DbfFieldType::Character, 10},
                      {u"CODLARGO"_s, DbfFieldType::Character, 10}});
    DbfTable table;
    table.open(file.absolutePath(), file.completeBaseName());
    for (const QStringList &row : rows) {
        table.append();
        table.setText(u"NOMBRE"_s, AnsiText::fromQString(row[0]));
        table.setText(u"COD"_s, AnsiText::fromQString(row[1]));
        table.setText(u"CODLARGO"_s, AnsiText::fromQString(row[2]));
        table.post();
    }
    table.close();
}

// Each name a subject of its own offer, with its own identifier.
QList<QStringList> oneOfferEach(const QStringList &names) {
    QList<QStringList> records;
    int n = 0;
    for (const QString &name : names) {
        ++n;
        records << QStringList{QString::number(1000 + n), name, QString::number(500000 + n), u"3"_s};
    }
    return records;
}

} // namespace

class TestImportSubjects : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<RunState> m_state;
    int m_runs = 0;

    // A fresh working folder and catalogue, then the step on a document with the given
    // MATERIAS records (field names as Séneca writes them unless given).
    void run(const QList<QStringList> &catalogue, const QList<QStringList> &records,
             const QStringList &names = SenecaNames) {
        QVERIFY(m_dir.isValid());
        const QString root = QDir(m_dir.path()).filePath(QString::number(++m_runs));
        m_state = std::make_unique<RunState>(pathsIn(root));
        m_state->paths.catalogPath = QDir(m_state->paths.exeDir).filePath(u"SENEMATERIAS.DBF"_s);
        writeCatalogue(m_state->paths.catalogPath, catalogue);
        m_state->document.load(writeSeneca(root, u"e.xml"_s, {group(u"MATERIAS"_s, records, names)}));
        ScriptedUi ui;
        ImportSubjects(*m_state, ui);
    }
    QStringList subjects(const QStringList &fields = {u"COD"_s, u"CODLARGO"_s, u"NOMBRE"_s}) {
        return columns(m_state->paths.workDir, u"ASIGNOMT"_s, fields);
    }
    QStringList offers(const QStringList &fields = {u"COD"_s, u"MATERIA"_s, u"OFERTAMATRI"_s}) {
        return columns(m_state->paths.workDir, u"ASIGNOMT2"_s, fields);
    }

private slots:
    // Codes of subjects each given once: from the catalogue when it knows the name, otherwise
    // formed from the name's letters, and numbered when taken.
    void codes_data() {
        QTest::addColumn<QList<QStringList>>("catalogue");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("rows"); // COD|CODLARGO|NOMBRE

        const QList<QStringList> none;
        QTest::newRow("capitals, long code from the name")
            << none << QStringList{u"Lengua Castellana y Literatura"_s}
            << QStringList{u"LCL|Lengua Cas|Lengua Castellana y Literatura"_s};
        QTest::newRow("one capital, no blank: first 6 characters")
            << none << QStringList{u"Matemáticas"_s} << QStringList{u"Matemá|Matemá|Matemáticas"_s};
        QTest::newRow("lower-case first letter, no capital")
            << none << QStringList{u"inglés"_s} << QStringList{u"inglés|inglés|inglés"_s};
        QTest::newRow("one capital and a blank: letters after blanks")
            << none << QStringList{u"Lengua extranjera"_s} << QStringList{u"Le|Lengua ext|Lengua extranjera"_s};
        QTest::newRow("accented capital first")
            << none << QStringList{u"Ámbito Científico-Tecnológico"_s}
            << QStringList{u"ÁCT|Ámbito Cie|Ámbito Científico-Tecnológico"_s};
        QTest::newRow("code over 10 characters is cut, long code is the whole code cut by the table")
            << none << QStringList{u"ABCDEFGHIJKLM"_s} << QStringList{u"ABCDEFGHIJ|ABCDEFGHIJ|ABCDEFGHIJKLM"_s};
        QTest::newRow("taken codes drop their last character and count")
            << none
            << QStringList{u"Lengua Castellana y Literatura"_s, u"Lengua Cultura Latina"_s, u"Lectura Crítica Literaria"_s}
            << QStringList{u"LCL|Lengua Cas|Lengua Castellana y Literatura"_s, u"LC1|Lengua Cul|Lengua Cultura Latina"_s,
                           u"LC2|Lectura Cr|Lectura Crítica Literaria"_s};
        QTest::newRow("same upper-case name, other long code: two subjects")
            << none << QStringList{u"Biologia"_s, u"BIOLOGIA"_s}
            << QStringList{u"Biolog|Biolog|Biologia"_s, u"BIOLOGIA|BIOLOGIA|BIOLOGIA"_s};

        const QList<QStringList> catalogue = {
            {u"Geografía e Historia"_s, u"GH"_s, u"GEO.HIST"_s},
            {u"Educación Física"_s, u""_s, u"ED.FISICA"_s},
            {u"Música"_s, u"MUS"_s, u""_s},
            {u"Lengua Castellana y Literatura"_s, u"LEN"_s, u"LENGUA"_s},
            {u"Lengua Castellana y Literatura"_s, u"OTRO"_s, u"OTRO"_s},
        };
        QTest::newRow("catalogue: first row of the name")
            << catalogue << QStringList{u"Geografía e Historia"_s, u"Lengua Castellana y Literatura"_s}
            << QStringList{u"GH|GEO.HIST|Geografía e Historia"_s, u"LEN|LENGUA|Lengua Castellana y Literatura"_s};
        QTest::newRow("catalogue: name compared with letter case")
            << catalogue << QStringList{u"geografía e historia"_s} << QStringList{u"geh|geografía|geografía e historia"_s};
        QTest::newRow("catalogue: blank COD, code formed, catalogue long code kept")
            << catalogue << QStringList{u"Educación Física"_s} << QStringList{u"EF|ED.FISICA|Educación Física"_s};
        QTest::newRow("catalogue: blank CODLARGO, long code formed")
            << catalogue << QStringList{u"Música"_s} << QStringList{u"MUS|Música|Música"_s};
        QTest::newRow("catalogue code numbered like any other")
            << catalogue << QStringList{u"Geografía e Historia"_s, u"Gran Historia"_s}
            << QStringList{u"GH|GEO.HIST|Geografía e Historia"_s, u"G1|Gran Histo|Gran Historia"_s};
    }
    void codes() {
        QFETCH(QList<QStringList>, catalogue);
        QFETCH(QStringList, names);
        QFETCH(QStringList, rows);
        run(catalogue, oneOfferEach(names));
        QCOMPARE(subjects(), rows);
        QCOMPARE(offers({u"COD"_s, u"CODLARGO"_s, u"NOMBRE"_s}), rows);
    }

    // Twelve subjects whose code is the same ten characters: the first keeps it, the next nine
    // take the first nine characters and 1 to 9, and from then on the number needs two digits,
    // so the code is the first 8 characters and the number. The twelfth must not be given the
    // eleventh's code again.
    void tenCharacterCodeNumbering() {
        QStringList names;
        for (char c = 'a'; c < 'a' + 12; ++c)
            names << u"ABCDEFGHIJ "_s + QLatin1Char(c);
        run({}, oneOfferEach(names));
        QCOMPARE(column(m_state->paths.workDir, u"ASIGNOMT"_s, u"COD"_s),
                 (QStringList{u"ABCDEFGHIJ"_s, u"ABCDEFGHI1"_s, u"ABCDEFGHI2"_s, u"ABCDEFGHI3"_s, u"ABCDEFGHI4"_s,
                              u"ABCDEFGHI5"_s, u"ABCDEFGHI6"_s, u"ABCDEFGHI7"_s, u"ABCDEFGHI8"_s, u"ABCDEFGHI9"_s,
                              u"ABCDEFGH10"_s, u"ABCDEFGH11"_s}));
    }

    // A shortened code that a catalogue code already holds is passed over too.
    void shortenedCodeTakenByTheCatalogue() {
        const QList<QStringList> catalogue = {{u"Taller"_s, u"ABCDEFGH10"_s, u"TALLER"_s}};
        QStringList names{u"Taller"_s};
        for (char c = 'a'; c < 'a' + 11; ++c)
            names << u"ABCDEFGHIJ "_s + QLatin1Char(c);
        run(catalogue, oneOfferEach(names));
        const QStringList codes = column(m_state->paths.workDir, u"ASIGNOMT"_s, u"COD"_s);
        QCOMPARE(codes.first(), u"ABCDEFGH10"_s);
        QCOMPARE(codes.last(), u"ABCDEFGH11"_s);
    }

    // Records of a subject already written: identifier-and-offer rows, never a second subject.
    void repeatedSubjects_data() {
        QTest::addColumn<QList<QStringList>>("records");
        QTest::addColumn<QStringList>("subjectRows"); // COD|CODLARGO|NOMBRE
        QTest::addColumn<QStringList>("offerRows");   // COD|MATERIA|OFERTAMATRI

        const QString lcl = u"Lengua Castellana y Literatura"_s;
        QTest::newRow("second offer, other identifier")
            << QList<QStringList>{{u"1001"_s, lcl, u"500001"_s}, {u"1002"_s, lcl, u"500002"_s}}
            << QStringList{u"LCL|Lengua Cas|"_s + lcl}
            << QStringList{u"LCL|500001|1001"_s, u"LCL|500002|1002"_s};
        QTest::newRow("same identifier in another offer")
            << QList<QStringList>{{u"1001"_s, lcl, u"500001"_s}, {u"1002"_s, lcl, u"500001"_s}}
            << QStringList{u"LCL|Lengua Cas|"_s + lcl}
            << QStringList{u"LCL|500001|1001"_s, u"LCL|500001|1002"_s};
        QTest::newRow("same identifier and offer again: nothing")
            << QList<QStringList>{{u"1001"_s, lcl, u"500001"_s}, {u"1001"_s, lcl, u"500001"_s}}
            << QStringList{u"LCL|Lengua Cas|"_s + lcl} << QStringList{u"LCL|500001|1001"_s};
        // The long code's first 10 characters end in a blank; the subject is still found.
        QTest::newRow("long code ending in a blank")
            << QList<QStringList>{{u"1001"_s, u"Geografía e Historia"_s, u"500001"_s},
                                  {u"1002"_s, u"Geografía e Historia"_s, u"500002"_s}}
            << QStringList{u"GH|Geografía|Geografía e Historia"_s}
            << QStringList{u"GH|500001|1001"_s, u"GH|500002|1002"_s};
        // The repeated subject carries the code its row was given, not the one it formed.
        QTest::newRow("numbered subject repeated")
            << QList<QStringList>{{u"1001"_s, lcl, u"500001"_s}, {u"1001"_s, u"Lengua Cultura Latina"_s, u"500002"_s},
                                  {u"1002"_s, u"Lengua Cultura Latina"_s, u"500003"_s}}
            << QStringList{u"LCL|Lengua Cas|"_s + lcl, u"LC1|Lengua Cul|Lengua Cultura Latina"_s}
            << QStringList{u"LCL|500001|1001"_s, u"LC1|500002|1001"_s, u"LC1|500003|1002"_s};
        // The lookups compare what the tables hold with the whole searched text. An identifier
        // longer than MATERIA is stored cut, so it never matches again: each repetition
        // writes another row.
        const QString longId = u"123456789012345678901"_s;
        QTest::newRow("identifier longer than its field")
            << QList<QStringList>{{u"1001"_s, lcl, longId}, {u"1001"_s, lcl, longId}}
            << QStringList{u"LCL|Lengua Cas|"_s + lcl}
            << QStringList{u"LCL|12345678901234567890|1001"_s, u"LCL|12345678901234567890|1001"_s};
        // Names past 80 characters are searched by their first 80: two subjects that differ
        // only after them are one to the lookup, which finds the first one's row.
        const QString taller = u"Taller "_s + QString(73, u'a');
        QTest::newRow("names alike in their first 80 characters")
            << QList<QStringList>{{u"1001"_s, taller + u" uno"_s, u"500001"_s},
                                  {u"1001"_s, taller + u" dos"_s, u"500002"_s},
                                  {u"1002"_s, taller + u" dos"_s, u"500003"_s}}
            << QStringList{u"Tau|Taller aaa|"_s + taller, u"Tad|Taller aaa|"_s + taller}
            << QStringList{u"Tau|500001|1001"_s, u"Tad|500002|1001"_s, u"Tau|500003|1002"_s};
    }
    void repeatedSubjects() {
        QFETCH(QList<QStringList>, records);
        QFETCH(QStringList, subjectRows);
        QFETCH(QStringList, offerRows);
        run({}, records);
        QCOMPARE(subjects(), subjectRows);
        QCOMPARE(offers(), offerRows);
    }

    // Name and identifier are placed by the names of dato 2 and dato 1, dato 1 last.
    void datoOrder_data() {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QList<QStringList>>("records");
        QTest::addColumn<QStringList>("offerRows"); // NOMBRE|MATERIA|OFERTAMATRI

        QTest::newRow("name, then identifier")
            << SenecaNames << QList<QStringList>{{u"1001"_s, u"Música"_s, u"500001"_s, u"2"_s}}
            << QStringList{u"Música|500001|1001"_s};
        QTest::newRow("identifier, then name")
            << QStringList{u"X_OFERTAMATRIG"_s, u"X_MATERIAOMG"_s, u"D_MATERIAC"_s}
            << QList<QStringList>{{u"1001"_s, u"500001"_s, u"Música"_s}} << QStringList{u"Música|500001|1001"_s};
        QTest::newRow("unnamed: identifier, then name")
            << QStringList{} << QList<QStringList>{{u"1001"_s, u"500001"_s, u"Música"_s}}
            << QStringList{u"Música|500001|1001"_s};
        QTest::newRow("two names: dato 1 wins, no identifier")
            << QStringList{u"X_OFERTAMATRIG"_s, u"D_MATERIAC"_s, u"D_MATERIAC"_s}
            << QList<QStringList>{{u"1001"_s, u"Música"_s, u"Dibujo"_s}} << QStringList{u"Música||1001"_s};
        QTest::newRow("two datos: the missing third reads empty")
            << SenecaNames << QList<QStringList>{{u"1001"_s, u"Música"_s}} << QStringList{u"Música||1001"_s};
        QTest::newRow("nothing carries over from the record before")
            << SenecaNames
            << QList<QStringList>{{u"1001"_s, u"Música"_s, u"500001"_s}, {u"1002"_s, u"Dibujo"_s}}
            << QStringList{u"Música|500001|1001"_s, u"Dibujo||1002"_s};
        QTest::newRow("one dato, or an empty name: skipped")
            << SenecaNames
            << QList<QStringList>{{u"1001"_s}, {u"1002"_s, u""_s, u"500002"_s}, {u"1003"_s, u"Música"_s, u"500003"_s}}
            << QStringList{u"Música|500003|1003"_s};
    }
    void datoOrder() {
        QFETCH(QStringList, names);
        QFETCH(QList<QStringList>, records);
        QFETCH(QStringList, offerRows);
        run({}, records, names);
        QCOMPARE(offers({u"NOMBRE"_s, u"MATERIA"_s, u"OFERTAMATRI"_s}), offerRows);
    }

    // The host reads OFERTAMATRI by its eleven-character name, which only level 7 can hold.
    void tableLayouts() {
        run({}, {});
        auto layout = [&](const QString &name) {
            QStringList out;
            DbfTable table;
            table.open(m_state->paths.workDir, name, DbfTable::Mode::Shared);
            for (const DbfFieldInfo &f : table.fields())
                out << f.name + QLatin1Char(f.type) + (f.type == 'C' ? QString::number(f.width) : QString());
            return out;
        };
        QCOMPARE(layout(u"ASIGNOMT"_s), (QStringList{u"CODC10"_s, u"CODLARGOC10"_s, u"NOMBREC80"_s,
                                                      u"CODTAREAC10"_s, u"ESTAREAL"_s}));
        QCOMPARE(layout(u"ASIGNOMT2"_s), (QStringList{u"CODC10"_s, u"CODLARGOC10"_s, u"NOMBREC80"_s, u"MATERIAC20"_s,
                                                       u"OFERTAMATRIC20"_s, u"CODTAREAC10"_s, u"ESTAREAL"_s}));
        QFile file(DbfTable::findFile(m_state->paths.workDir, u"ASIGNOMT2"_s));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(static_cast<std::uint8_t>(file.read(1).at(0)), Dbf::VersionLevel7);
    }

    // Subject rows are no activities: CODTAREA empty, ESTAREA false.
    void subjectRowsAreNoActivities() {
        run({}, oneOfferEach({u"Música"_s}));
        for (const QString &table : {u"ASIGNOMT"_s, u"ASIGNOMT2"_s}) {
            DbfTable t;
            t.open(m_state->paths.workDir, table, DbfTable::Mode::Shared);
            t.first();
            QVERIFY(!t.eof());
            QCOMPARE(t.text(u"CODTAREA"_s), AnsiText());
            QCOMPARE(t.logical(u"ESTAREA"_s), false);
        }
    }

    // Without a catalogue the run ends with the engine's error, both tables created and empty.
    // A later run with the catalogue in place starts afresh: what the failed run, or any
    // earlier one, left in the sets plays no part.
    void missingCatalogueThenAgain() {
        const QString root = QDir(m_dir.path()).filePath(u"again"_s);
        RunState state(pathsIn(root));
        state.paths.catalogPath = QDir(state.paths.exeDir).filePath(u"SENEMATERIAS.DBF"_s);
        state.document.load(writeSeneca(root, u"e.xml"_s,
                                        {group(u"MATERIAS"_s, oneOfferEach({u"Lengua Castellana y Literatura"_s}),
                                               SenecaNames)}));
        state.sets.UsedCodes.insert(AnsiText::ascii("LCL"));
        ScriptedUi ui;
        QString message;
        try {
            ImportSubjects(state, ui);
        } catch (const RunError &error) {
            message = error.message();
        }
        QVERIFY2(message.contains(u"SENEMATERIAS"_s, Qt::CaseInsensitive), qPrintable(message));
        QCOMPARE(dumpTable(state.paths.workDir, u"ASIGNOMT"_s), QStringList{});
        QCOMPARE(dumpTable(state.paths.workDir, u"ASIGNOMT2"_s), QStringList{});

        writeCatalogue(state.paths.catalogPath, {{u"Música"_s, u"MUS"_s, u"MUSICA"_s}});
        ImportSubjects(state, ui);
        QCOMPARE(column(state.paths.workDir, u"ASIGNOMT"_s, u"COD"_s), QStringList{u"LCL"_s});
        ImportSubjects(state, ui);
        QCOMPARE(column(state.paths.workDir, u"ASIGNOMT"_s, u"COD"_s), QStringList{u"LCL"_s});
    }

    // The catalogue the build makes from data/senematerias.csv.
    void builtCatalogue_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("row"); // COD|CODLARGO
        QTest::newRow("language") << u"Lengua Castellana y Literatura"_s << u"LEN|LENGUA"_s;
        QTest::newRow("accented name") << u"Matemáticas"_s << u"MAT|MATEMAT"_s;
        QTest::newRow("comma in the name") << u"Educación Plástica, Visual y Audiovisual"_s << u"EPVA|PLASTICA"_s;
        QTest::newRow("baccalaureate") << u"Matemáticas Aplicadas a las Ciencias Sociales I"_s << u"MCS1|MAT.CCSS I"_s;
    }
    void builtCatalogue() {
        QFETCH(QString, name);
        QFETCH(QString, row);
        const QString built = QDir(QStringLiteral(TVS_BINARY_DIR)).filePath(u"SENEMATERIAS.DBF"_s);
        QVERIFY2(QFile::exists(built), "the build makes SENEMATERIAS.DBF beside the programs");
        DbfTable catalogue;
        catalogue.open(QStringLiteral(TVS_BINARY_DIR), u"SENEMATERIAS"_s, DbfTable::Mode::Shared);
        QStringList found;
        for (catalogue.first(); !catalogue.eof(); catalogue.next())
            if (catalogue.text(u"NOMBRE"_s) == AnsiText::fromQString(name))
                found << catalogue.text(u"COD"_s).toQString() + u'|' + catalogue.text(u"CODLARGO"_s).toQString();
        QCOMPARE(found, QStringList{row});
    }
};

QTEST_GUILESS_MAIN(TestImportSubjects)
#include "test_import_subjects.moc"
