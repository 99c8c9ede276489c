// Teacher and entry records of the exported timetable: how each host code is translated back
// into the Séneca code the import kept, and which SOLUC entries each teacher record gets.

#include "export/ExportDriver.h"
#include "platform/XmlDocument.h"
#include "support/ExportFixture.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace ExportFixture;
using TestSupport::ScriptedUi;

namespace {

const char *const EntryNames[] = {"N_DIASEMANA", "X_TRAMO",  "X_DEPENDENCIA", "X_UNIDAD",
                                  "X_OFERTAMATRIG", "X_MATERIAOMG", "F_INICIO", "F_FIN",
                                  "N_HORINI", "N_HORFIN", "X_ACTIVIDAD"};

QString text(const XmlNode &node) { return QString::fromStdString(node.text()); }
QString attr(const XmlNode &node, const char *name) { return QString::fromStdString(node.attribute(name)); }

// "NAME=value" for every dato of a record, in document order.
QStringList datos(const XmlNode &record) {
    QStringList out;
    const XmlNodeList list = record.select("dato");
    for (int i = 0; i < list.length(); ++i)
        out << attr(list.item(i), "nombre_dato") + QLatin1Char('=') + text(list.item(i));
    return out;
}

class Export {
public:
    Export() {
        QVERIFY(dir.isValid());
        paths = TestSupport::pathsIn(dir.path());
        createTables(paths.workDir);
        input = TestSupport::writeSeneca(paths.dialogDir, QStringLiteral("Horarios.xml"),
                                         {TestSupport::yearGroup(QStringLiteral("2025"), QStringLiteral("15/09/2025"),
                                                                 QStringLiteral("22/06/2026"))});
    }
    QString work() const { return paths.workDir; }

    // Runs the export and returns the teacher records of the result.
    XmlNodeList run() {
        RunState state(paths);
        ScriptedUi ui;
        ui.fileAnswers.push_back(input);
        BImportarClick(state, ui);
        if (ui.errors != QStringList() || state.outcome != 1)
            qWarning() << ui.errors;
        if (!doc.load(QDir(paths.dialogDir).filePath(QStringLiteral("ResultadoVelkorHorarios.xml"))))
            return {};
        return doc.select("/SERVICIO/BLOQUE_DATOS/grupo_datos[@seq=\"HORARIOS_REGULARES\"]/grupo_datos");
    }

    QTemporaryDir dir;
    Paths paths;
    QString input;
    XmlDocument doc;
};

} // namespace

class ExportRecordsTest : public QObject {
    Q_OBJECT

private slots:
    void entryValues_data();
    void entryValues();
    void teacherRecords();
    void entriesWithoutSlotLeftOut_data();
    void entriesWithoutSlotLeftOut();
    void abbreviationWithQuote();
};

// The tables hold duplicates placed after the record that must win, and codes that differ
// only in letter case.
static void standardSchool(const QString &w) {
    teacher(w, QStringLiteral("ANA"), QStringLiteral("1001"), QStringLiteral("03/09/2019"));
    slot(w, QStringLiteral("11"), QStringLiteral("1"), QStringLiteral("T1"), QStringLiteral("0800"), QStringLiteral("0900"));
    slot(w, QStringLiteral("12"), QStringLiteral("1"), QStringLiteral("T2"), QStringLiteral("0900"), QStringLiteral("1000"));
    slot(w, QStringLiteral("110"), QStringLiteral("1"), QStringLiteral("T10"), QStringLiteral("1400"), QStringLiteral("1500"));
    slot(w, QStringLiteral("11"), QStringLiteral("9"), QStringLiteral("TX"), QStringLiteral("0000"), QStringLiteral("0000"));
    group(w, QStringLiteral("ESO1A"), QStringLiteral("U1A"), QStringLiteral("OF1"));
    group(w, QStringLiteral("ESO1B"), QStringLiteral("U1B"), QStringLiteral("OF1"));
    group(w, QStringLiteral("ESO1C"), QStringLiteral("U1C"), QStringLiteral("of1"));
    group(w, QStringLiteral("ESO1A"), QStringLiteral("UXX"), QStringLiteral("OFX"));
    assignment(w, QStringLiteral("MAT"), QStringLiteral("ESO1A"), QStringLiteral("M100"), QStringLiteral("OF1"));
    assignment(w, QStringLiteral("MAT"), QStringLiteral("ESO1A"), QStringLiteral("M999"), QStringLiteral("OF9"));
    assignment(w, QStringLiteral("LEN"), QStringLiteral("ESO1A"), QStringLiteral("L200"), QString());
    assignment(w, QStringLiteral("MAT"), QStringLiteral("ESO9Z"), QStringLiteral("M500"), QStringLiteral("OF5"));
    subject(w, QStringLiteral("MAT"));
    subject(w, QStringLiteral("GUARD"), QStringLiteral("G55"));
    subject(w, QStringLiteral("GUARD"), QStringLiteral("G99"));
    subjectOffer(w, QStringLiteral("FIS"), QStringLiteral("OF1"), QStringLiteral("F300"));
    subjectOffer(w, QStringLiteral("FIS"), QStringLiteral("of1"), QStringLiteral("F301"));
    subjectOffer(w, QStringLiteral("FIS"), QStringLiteral("OF1"), QStringLiteral("F399"));
    subjectOffer(w, QStringLiteral("LEN"), QStringLiteral("OF1"), QStringLiteral("LXXX"));
    // Entry 1 of every case: it matches everything, so nothing of it may leak into entry 2.
    entry(w, QStringLiteral("ANA"), 1, 2, QStringLiteral("MAT"), QStringLiteral("ESO1A"), QStringLiteral("5"),
          QStringLiteral("AULA7"));
}

void ExportRecordsTest::entryValues_data() {
    QTest::addColumn<int>("day");
    QTest::addColumn<int>("slot");
    QTest::addColumn<QString>("subject");
    QTest::addColumn<QString>("group");
    QTest::addColumn<QString>("activity");
    QTest::addColumn<QString>("room");
    // N_DIASEMANA X_TRAMO X_DEPENDENCIA X_UNIDAD X_OFERTAMATRIG X_MATERIAOMG N_HORINI N_HORFIN X_ACTIVIDAD
    QTest::addColumn<QStringList>("expected");

    auto row = [](const char *name, int day, int slot, const char *subject, const char *group, const char *activity,
                  const char *room, QStringList expected) {
        QTest::newRow(name) << day << slot << QString::fromUtf8(subject) << QString::fromUtf8(group)
                            << QString::fromUtf8(activity) << QString::fromUtf8(room) << expected;
    };
    row("first matches win", 1, 1, "MAT", "ESO1A", "", "A12",
        {"1", "T1", "A12", "U1A", "OF1", "M100", "0800", "0900", "1"});
    row("day 1 slot 10 is key 110", 1, 10, "MAT", "ESO1A", "", "A12",
        {"1", "T10", "A12", "U1A", "OF1", "M100", "1400", "1500", "1"});
    row("blank room", 1, 1, "MAT", "ESO1A", "", "   ", {"1", "T1", "", "U1A", "OF1", "M100", "0800", "0900", "1"});
    row("group missing: offer from ASIGT", 1, 1, "MAT", "ESO9Z", "", "A12",
        {"1", "T1", "A12", "", "OF5", "M500", "0800", "0900", "1"});
    row("group missing and no ASIGT", 1, 1, "FIS", "ESO9Z", "", "A12",
        {"1", "T1", "A12", "", "", "", "0800", "0900", "1"});
    row("ASIGT with blank offer takes the group's", 1, 1, "LEN", "ESO1A", "", "A12",
        {"1", "T1", "A12", "U1A", "OF1", "L200", "0800", "0900", "1"});
    row("no ASIGT: group offer, ASIGNOMT2 subject", 1, 1, "FIS", "ESO1B", "", "A12",
        {"1", "T1", "A12", "U1B", "OF1", "F300", "0800", "0900", "1"});
    row("ASIGNOMT2 offer compared with case", 1, 1, "FIS", "ESO1C", "", "A12",
        {"1", "T1", "A12", "U1C", "of1", "F301", "0800", "0900", "1"});
    row("ASIGT subject compared with case", 1, 1, "mat", "ESO1A", "", "A12",
        {"1", "T1", "A12", "U1A", "OF1", "", "0800", "0900", "1"});
    row("blank TAREA on an activity", 1, 1, "GUARD", "ESO1A", " ", "A12",
        {"1", "T1", "A12", "U1A", "OF1", "", "0800", "0900", "G55"});
    row("TAREA given is kept", 1, 1, "GUARD", "ESO1A", "77", "A12",
        {"1", "T1", "A12", "U1A", "OF1", "", "0800", "0900", "77"});
    row("non-ASCII values unchanged", 1, 1, "MAT", "ESO1A", "Tutoría", "Aula Ñ",
        {"1", "T1", "Aula Ñ", "U1A", "OF1", "M100", "0800", "0900", "Tutoría"});
}

void ExportRecordsTest::entryValues() {
    QFETCH(int, day);
    QFETCH(int, slot);
    QFETCH(QString, subject);
    QFETCH(QString, group);
    QFETCH(QString, activity);
    QFETCH(QString, room);
    QFETCH(QStringList, expected);

    Export e;
    standardSchool(e.work());
    entry(e.work(), QStringLiteral("ANA"), day, slot, subject, group, activity, room);
    const XmlNodeList teachers = e.run();
    QCOMPARE(teachers.length(), 1);
    const XmlNodeList entries = teachers.item(0).select("grupo_datos");
    QCOMPARE(entries.length(), 2);
    QCOMPARE(datos(entries.item(0)),
             QStringList({"N_DIASEMANA=1", "X_TRAMO=T2", "X_DEPENDENCIA=AULA7", "X_UNIDAD=U1A", "X_OFERTAMATRIG=OF1",
                          "X_MATERIAOMG=M100", "F_INICIO=15/09/2025", "F_FIN=22/06/2026", "N_HORINI=0900",
                          "N_HORFIN=1000", "X_ACTIVIDAD=5"}));

    expected.insert(6, QStringLiteral("15/09/2025"));
    expected.insert(7, QStringLiteral("22/06/2026"));
    QStringList want;
    for (int i = 0; i < expected.size(); ++i)
        want << QString::fromLatin1(EntryNames[i]) + QLatin1Char('=') + expected[i];
    QCOMPARE(datos(entries.item(1)), want);
    QCOMPARE(attr(entries.item(1), "seq"), QStringLiteral("ACTIVIDAD_2"));
}

// An entry whose day or slot names no row of DIASHORAST used to go out with empty day, slot
// and times, which Séneca cannot take: it is left out, and registros counts what is written.
void ExportRecordsTest::entriesWithoutSlotLeftOut_data() {
    QTest::addColumn<int>("day");
    QTest::addColumn<int>("slot");
    QTest::newRow("slot key without match") << 3 << 9;
    QTest::newRow("day that does not exist") << 8 << 1;
    QTest::newRow("day 11 slot 0 is not day 1 slot 10") << 11 << 0;
    QTest::newRow("negative slot") << 1 << -1;
}

void ExportRecordsTest::entriesWithoutSlotLeftOut() {
    QFETCH(int, day);
    QFETCH(int, slot);
    Export e;
    standardSchool(e.work());
    entry(e.work(), QStringLiteral("ANA"), day, slot, QStringLiteral("MAT"), QStringLiteral("ESO1A"), {},
          QStringLiteral("A12"));
    entry(e.work(), QStringLiteral("ANA"), 1, 10, QStringLiteral("MAT"), QStringLiteral("ESO1A"), {},
          QStringLiteral("A13"));
    const XmlNodeList teachers = e.run();
    QCOMPARE(teachers.length(), 1);
    QCOMPARE(attr(teachers.item(0), "registros"), QStringLiteral("2"));
    const XmlNodeList entries = teachers.item(0).select("grupo_datos");
    QCOMPARE(entries.length(), 2);
    QCOMPARE(attr(entries.item(1), "seq"), QStringLiteral("ACTIVIDAD_2"));
    QCOMPARE(text(entries.item(1).select("dato[@nombre_dato=\"X_DEPENDENCIA\"]").item(0)), QStringLiteral("A13"));
    QCOMPARE(text(entries.item(1).select("dato[@nombre_dato=\"X_TRAMO\"]").item(0)), QStringLiteral("T10"));
}

// "seq registros X_EMPLEADO F_TOMAPOS: ACTIVIDAD_n=room ..." for every teacher record.
static QStringList describe(const XmlNodeList &teachers) {
    QStringList out;
    for (int t = 0; t < teachers.length(); ++t) {
        const XmlNode teacher = teachers.item(t);
        QString line = attr(teacher, "seq") + QLatin1Char(' ') + attr(teacher, "registros");
        for (const QString &d : datos(teacher))
            line += QLatin1Char(' ') + d;
        const XmlNodeList entries = teacher.select("grupo_datos");
        for (int i = 0; i < entries.length(); ++i)
            line += QLatin1Char(' ') + attr(entries.item(i), "seq") + QLatin1Char(':') +
                    text(entries.item(i).select("dato[@nombre_dato=\"X_DEPENDENCIA\"]").item(0));
        out << line;
    }
    return out;
}

void ExportRecordsTest::teacherRecords() {
    Export e;
    const QString w = e.work();
    for (const char *key : {"11", "14", "21", "22", "56"})
        slot(w, QString::fromLatin1(key), QString::fromLatin1(key).left(1), QStringLiteral("T") + QLatin1String(key),
             QStringLiteral("0800"), QStringLiteral("0900"));
    teacher(w, QStringLiteral("ANA"), QStringLiteral("1001"), QStringLiteral("03/09/2019"));
    teacher(w, QStringLiteral("BEA"), QStringLiteral("1002"), QStringLiteral("04/09/2019"));
    teacher(w, QStringLiteral("CAR"), QStringLiteral("1003"), QString());
    teacher(w, QStringLiteral("ANA"), QStringLiteral("1004"), QStringLiteral("05/09/2019"));
    teacher(w, QStringLiteral("DAN"), QString(), QStringLiteral("06/09/2019"));
    // Placed entries of several teachers interleaved, unplaced ones (DIA 0) among them, and
    // entries of teachers that differ only in letter case or a trailing letter.
    entry(w, QStringLiteral("ANA"), 1, 1, QStringLiteral("MAT"), QStringLiteral("ESO1A"), {}, QStringLiteral("a1"));
    entry(w, QStringLiteral("CAR"), 0, 0, QStringLiteral("MAT"), QStringLiteral("ESO1A"), {}, QStringLiteral("c0"));
    entry(w, QStringLiteral("ANA"), 0, 3, QStringLiteral("MAT"), QStringLiteral("ESO1A"), {}, QStringLiteral("a0"));
    entry(w, QStringLiteral("ana"), 1, 4, QStringLiteral("MAT"), QStringLiteral("ESO1A"), {}, QStringLiteral("x1"));
    entry(w, QStringLiteral("ANAB"), 1, 4, QStringLiteral("MAT"), QStringLiteral("ESO1A"), {}, QStringLiteral("x2"));
    entry(w, QStringLiteral("DAN"), 2, 1, QStringLiteral("MAT"), QStringLiteral("ESO1A"), {}, QStringLiteral("d1"));
    entry(w, QStringLiteral("ANA"), 2, 2, QStringLiteral("MAT"), QStringLiteral("ESO1A"), {}, QStringLiteral("a2"));
    entry(w, QStringLiteral("ANA"), 5, 6, QStringLiteral("MAT"), QStringLiteral("ESO1A"), {}, QStringLiteral("a3"));

    QCOMPARE(describe(e.run()),
             QStringList({
                 "HORARIO_REGULAR_PROFESOR_1 3 X_EMPLEADO=1001 F_TOMAPOS=03/09/2019 ACTIVIDAD_1:a1 ACTIVIDAD_2:a2 "
                 "ACTIVIDAD_3:a3",
                 "HORARIO_REGULAR_PROFESOR_2 0 X_EMPLEADO=1002 F_TOMAPOS=04/09/2019",
                 "HORARIO_REGULAR_PROFESOR_3 0 X_EMPLEADO=1003 F_TOMAPOS=",
                 "HORARIO_REGULAR_PROFESOR_4 3 X_EMPLEADO=1004 F_TOMAPOS=05/09/2019 ACTIVIDAD_1:a1 ACTIVIDAD_2:a2 "
                 "ACTIVIDAD_3:a3",
                 "HORARIO_REGULAR_PROFESOR_5 1 X_EMPLEADO= F_TOMAPOS=06/09/2019 ACTIVIDAD_1:d1",
             }));
    QCOMPARE(attr(e.doc.selectOne("/SERVICIO/BLOQUE_DATOS/grupo_datos[@seq=\"HORARIOS_REGULARES\"]"), "registros"),
             QStringLiteral("5"));
}

// The host's filter on PROF takes the abbreviation in quotes; one inside it must neither
// break the filter nor widen it.
void ExportRecordsTest::abbreviationWithQuote() {
    Export e;
    const QString w = e.work();
    for (const char *key : {"11", "12", "13", "14"})
        slot(w, QString::fromLatin1(key), QStringLiteral("1"), QStringLiteral("T") + QLatin1String(key),
             QStringLiteral("0800"), QStringLiteral("0900"));
    teacher(w, QStringLiteral("O'NEIL"), QStringLiteral("2001"));
    teacher(w, QStringLiteral("O"), QStringLiteral("2002"));
    teacher(w, QStringLiteral("'"), QStringLiteral("2003"));
    entry(w, QStringLiteral("O'NEIL"), 1, 1, QStringLiteral("MAT"), QStringLiteral("ESO1A"), {}, QStringLiteral("q1"));
    entry(w, QStringLiteral("O"), 1, 2, QStringLiteral("MAT"), QStringLiteral("ESO1A"), {}, QStringLiteral("o1"));
    entry(w, QStringLiteral("O''NEIL"), 1, 3, QStringLiteral("MAT"), QStringLiteral("ESO1A"), {}, QStringLiteral("x1"));
    entry(w, QStringLiteral("'"), 1, 4, QStringLiteral("MAT"), QStringLiteral("ESO1A"), {}, QStringLiteral("p1"));
    QCOMPARE(describe(e.run()),
             QStringList({
                 "HORARIO_REGULAR_PROFESOR_1 1 X_EMPLEADO=2001 F_TOMAPOS=01/09/2020 ACTIVIDAD_1:q1",
                 "HORARIO_REGULAR_PROFESOR_2 1 X_EMPLEADO=2002 F_TOMAPOS=01/09/2020 ACTIVIDAD_1:o1",
                 "HORARIO_REGULAR_PROFESOR_3 1 X_EMPLEADO=2003 F_TOMAPOS=01/09/2020 ACTIVIDAD_1:p1",
             }));
}

QTEST_GUILESS_MAIN(ExportRecordsTest)
#include "test_export_records.moc"
