// The summary of an import: a small clean school, and one case per kind of finding, each a
// change to one data group of its Séneca export. Also the report's page, and that a report
// is only ever replaced whole.

#include "app/cli/CoursesCsv.h"
#include "import/ImportDriver.h"
#include "platform/XmlDocument.h"
#include "report/ImportSummary.h"
#include "report/ReportHtml.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <QTest>

using namespace TestSupport;

Q_DECLARE_METATYPE(FindingLevel)

namespace {

const QStringList SubjectNames = {"X_OFERTAMATRIG", "D_MATERIAC", "X_MATERIAOMG", "N_HORAS"};

// The clean school's data groups by name, in document order.
QList<QPair<QString, QString>> cleanSchool() {
    return {
        {"ANNO_ACADEMICO", yearGroup("2026", "15/09/2026", "22/06/2027")},
        {"CURSOS_DEL_CENTRO", group("CURSOS_DEL_CENTRO", {{"C1", "1º de E.S.O."}, {"C2", "2º de E.S.O."}})},
        {"MATERIAS", group("MATERIAS", {{"C1", "Matemáticas", "M1", "4"}, {"C2", "Matemáticas", "M2", "4"}},
                           SubjectNames)},
        {"ACTIVIDADES", group("ACTIVIDADES", {{"S", "1", "Docencia", "S", "S"}})},
        {"DEPENDENCIAS", group("DEPENDENCIAS", {{"A1", "Aula 1"}})},
        {"TRAMOS_HORARIOS", group("TRAMOS_HORARIOS", {{"T1", "1ª hora", "480", "540", "J"}})},
        {"UNIDADES", group("UNIDADES", {{"U1", "E1A", "C1"}, {"U2", "E2A", "C2"}})},
        {"EMPLEADOS", group("EMPLEADOS", {{"E1", "01/09/2020", "Matemáticas", "García", "López", "Ana"}})},
    };
}

struct Import {
    QTemporaryDir dir;
    Paths paths;
    QString input;
    RunState state;
    ScriptedUi ui;

    // replaced: data group name -> its new XML (empty: the group is left out)
    explicit Import(const QMap<QString, QString> &replaced = {}) : paths(pathsIn(dir.path())), state(paths) {
        QStringList groups;
        for (const auto &[name, xml] : cleanSchool()) {
            const QString chosen = replaced.contains(name) ? replaced[name] : xml;
            if (!chosen.isEmpty())
                groups << chosen;
        }
        input = writeSeneca(paths.dialogDir, QStringLiteral("Centro.xml"), groups);
    }
    void run() {
        ui.fileAnswers.push_back(input);
        ui.courseEditor = [](RunState &s) {
            ApplyCourses(s.tableFolder(), {{AnsiText::ascii("C1"), AnsiText::ascii("ESO"), AnsiText::ascii("1"), 2},
                                           {AnsiText::ascii("C2"), AnsiText::ascii("ESO"), AnsiText::ascii("2"), 3}});
            return CourseDialogResult{};
        };
        BExportarClick(state, ui);
    }
    const Report &report() const { return state.report.report; }
};

QByteArray readAll(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class ReportImportSummaryTest : public QObject {
    Q_OBJECT

private slots:
    void cleanSchoolHasNoErrorsNorAvisos();
    void findings_data();
    void findings();
    void pageParses();
    void failedRunKeepsTheEarlierReport();
    void reportThatCannotBeWrittenIsReported();
};

void ReportImportSummaryTest::cleanSchoolHasNoErrorsNorAvisos() {
    Import i;
    i.run();
    QCOMPARE(i.ui.errors, QStringList());
    QCOMPARE(i.ui.messages, QStringList({QStringLiteral("Proceso finalizado")}));
    QVERIFY2(i.report().count(FindingLevel::Error) == 0, qPrintable(DumpFindings(i.report())));
    QVERIFY2(i.report().count(FindingLevel::Aviso) == 0, qPrintable(DumpFindings(i.report())));
    QCOMPARE(i.state.report.path, QDir(i.paths.workDir).filePath(QStringLiteral("InformeImportacion.html")));
    QVERIFY(QFile::exists(i.state.report.path));
    // Records written per table, in the order the steps write them.
    QStringList counts;
    for (const auto &[label, value] : i.report().counts())
        counts << QStringLiteral("%1=%2").arg(label).arg(value);
    QCOMPARE(counts, QStringList({"PERIODOS.DBF=1", "CURSOST.DBF=2", "ASIGNOMT.DBF=2", "ASIGNOMT2.DBF=2",
                                  "PROFT.DBF=1", "AULAT.DBF=1", "GRUPOST.DBF=2", "ASIGT.DBF=2",
                                  "DIASHORAST.DBF=7"}));
}

void ReportImportSummaryTest::findings_data() {
    QTest::addColumn<QString>("groupName");
    QTest::addColumn<QString>("replacement"); // empty: the group is left out
    QTest::addColumn<FindingLevel>("level");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QStringList>("shows");

    const FindingLevel E = FindingLevel::Error, A = FindingLevel::Aviso, N = FindingLevel::Nota;
    const QString missing = MissingGroupKind;
    const QString doubled = QStringLiteral("Clave repetida");
    const QString notDate = QStringLiteral("Curso escolar o fecha que no lo es");
    const QString cut = QStringLiteral("Texto cortado a su campo");
    const QString collide = QStringLiteral("Valores cortados que ahora coinciden");
    const QString skipped = QStringLiteral("Registro no importado");
    auto staff = [](QList<QStringList> records) { return group("EMPLEADOS", records); };
    const QStringList ana = {"E1", "01/09/2020", "Matemáticas", "García", "López", "Ana"};

    QTest::newRow("no teachers") << "EMPLEADOS" << QString() << E << missing << QStringList{"EMPLEADOS", "PROFT"};
    QTest::newRow("no courses") << "CURSOS_DEL_CENTRO" << QString() << E << missing
                                << QStringList{"CURSOS_DEL_CENTRO", "CURSOST"};
    QTest::newRow("no slots") << "TRAMOS_HORARIOS" << QString() << E << missing << QStringList{"TRAMOS_HORARIOS"};
    QTest::newRow("empty units") << "UNIDADES" << group("UNIDADES", {}) << E << missing
                                 << QStringList{"UNIDADES", "sin ningún registro", "GRUPOST"};
    QTest::newRow("no rooms") << "DEPENDENCIAS" << QString() << A << missing << QStringList{"DEPENDENCIAS", "AULAT"};
    QTest::newRow("unit twice in its course")
        << "UNIDADES" << group("UNIDADES", {{"U1", "E1A", "C1"}, {"U1", "E1A", "C1"}, {"U3", "E1B", "C1"}})
        << E << doubled << QStringList{"E1A (U1)", "2 veces", "ESO1A, ESO1B", "1º de E.S.O. (C1)"};
    QTest::newRow("course twice")
        << "CURSOS_DEL_CENTRO"
        << group("CURSOS_DEL_CENTRO", {{"C1", "1º de E.S.O."}, {"C2", "2º de E.S.O."}, {"C1", "1º de E.S.O."}}) << A
        << doubled << QStringList{"1º de E.S.O. (C1)"};
    QTest::newRow("employee twice")
        << "EMPLEADOS" << staff({ana, {"E1", "01/09/2021", "Física", "Pérez", "Ruiz", "Luis"}}) << E << doubled
        << QStringList{"«E1»", "García López Ana", "Pérez Ruiz Luis"};
    QTest::newRow("school year that is not one") << "ANNO_ACADEMICO" << yearGroup("dos mil", "15/09/2026", "22/06/2027")
                                                 << E << notDate << QStringList{"«dos mil»", "«dos »"};
    QTest::newRow("date that is not one") << "ANNO_ACADEMICO" << yearGroup("2026", "32/13/2024", "22/06/2027") << E
                                          << notDate << QStringList{"F_INICIO", "«32/13/2024»"};
    QTest::newRow("post date that is not one")
        << "EMPLEADOS" << staff({{"E1", "2020-09-01", "Matemáticas", "García", "López", "Ana"}}) << E << notDate
        << QStringList{"García López Ana", "«E1»", "«2020-09-01»"};
    QTest::newRow("no post date") << "EMPLEADOS" << staff({{"E1", "", "Matemáticas", "García", "López", "Ana"}})
                                  << A << notDate << QStringList{"García López Ana", "F_TOMAPOS"};
    QTest::newRow("course without units")
        << "CURSOS_DEL_CENTRO"
        << group("CURSOS_DEL_CENTRO", {{"C1", "1º de E.S.O."}, {"C2", "2º de E.S.O."}, {"C3", "3º de E.S.O."}}) << A
        << QStringLiteral("Curso sin unidades") << QStringList{"3º de E.S.O. (C3)"};
    QTest::newRow("subject not in the catalogue")
        << "MATERIAS"
        << group("MATERIAS", {{"C1", "Matemáticas", "M1", "4"}, {"C1", "Taller de Cometas Voladoras", "M9", "1"}},
                 SubjectNames)
        << N << QStringLiteral("Materia que no está en el catálogo") << QStringList{"«Taller de Cometas Voladoras»"};
    QTest::newRow("text cut") << "EMPLEADOS"
                              << staff({{"E1", "01/09/2020", "Matemáticas-Profesores de Enseñanza Secundaria",
                                         "García", "López", "Ana"}})
                              << N << cut
                              << QStringList{"D_PUESTO", "PROFT.DEPART", "«Matemáticas-Profesores de Enseñanza Secu»",
                                             "40"};
    // Séneca's text is shown as it is, even where it looks like a placeholder.
    QTest::newRow("text with a percent sign cut")
        << "EMPLEADOS"
        << staff({{"E1", "01/09/2020", "Departamento %1 de Ciencias %2 Experimentales", "García", "López", "Ana"}})
        << N << cut << QStringList{"«Departamento %1 de Ciencias %2 Experimentales»", "tiene 45 caracteres"};
    QTest::newRow("code cut") << "DEPENDENCIAS" << group("DEPENDENCIAS", {{"A1234567890X", "Aula 1"}}) << E << cut
                              << QStringList{"X_DEPENDENCIA", "AULAT.ABREV", "«A123456789»", "no conoce"};
    QTest::newRow("rooms that now share a code")
        << "DEPENDENCIAS" << group("DEPENDENCIAS", {{"AULA-0000001", "Aula 1"}, {"AULA-0000002", "Aula 2"}}) << E
        << collide << QStringList{"«AULA-0000001»", "«AULA-0000002»", "«AULA-00000»"};
    QTest::newRow("slots that now share a name")
        << "TRAMOS_HORARIOS"
        << group("TRAMOS_HORARIOS", {{"T1", "Hora primera", "480", "540", "J"}, {"T2", "Hora primeriza", "540", "600", "J"}})
        << A << collide << QStringList{"«Hora primera»", "«Hora primeriza»", "«Hora pri»"};
    QTest::newRow("record with one dato")
        << "UNIDADES" << group("UNIDADES", {{"U1", "E1A", "C1"}, {"U2", "E2A", "C2"}, {"U3"}}) << A << skipped
        << QStringList{"REGISTRO_3", "UNIDADES", "1 datos"};
    QTest::newRow("units and the groups they became")
        << "UNIDADES" << group("UNIDADES", {{"U1", "E1A", "C1"}, {"U2", "E2A", "C2"}}) << N
        << QStringLiteral("Unidades de Séneca y sus grupos") << QStringList{"E1A (U1)", "grupo ESO1A"};
    QTest::newRow("mixed unit")
        << "UNIDADES" << group("UNIDADES", {{"U1", "E1A", "C1"}, {"U1", "E1A", "C2"}, {"U2", "E2A", "C2"}}) << N
        << QStringLiteral("Unidad mixta")
        << QStringList{"E1A (U1)", "ESO1A (1º de E.S.O. (C1))", "ESO2A (2º de E.S.O. (C2))", "oferta y la materia"};
    QTest::newRow("unit of a course that does not exist")
        << "UNIDADES" << group("UNIDADES", {{"U1", "E1A", "C1"}, {"U9", "X9A", "C9"}}) << A
        << QStringLiteral("Unidad de un curso que no existe") << QStringList{"X9A (U9)", "«C9»", "grupo A"};
}

void ReportImportSummaryTest::findings() {
    QFETCH(QString, groupName);
    QFETCH(QString, replacement);
    QFETCH(FindingLevel, level);
    QFETCH(QString, kind);
    QFETCH(QStringList, shows);
    Import i({{groupName, replacement}});
    i.run();
    QCOMPARE(i.ui.errors, QStringList());
    QCOMPARE(i.state.outcome, 1);
    QVERIFY(i.state.report.written);
    bool found = false;
    QStringList near;
    for (const Finding &f : i.report().findings()) {
        if (f.kind != kind || f.level != level)
            continue;
        near << f.text;
        bool all = true;
        for (const QString &name : shows)
            all = all && f.text.contains(name);
        found = found || all;
    }
    QVERIFY2(found, qPrintable(near.join(QLatin1Char('\n')) + QStringLiteral("\n--\n") + DumpFindings(i.report())));
}

// One self-contained page that an XML parser reads (so any browser does): the counts, each
// level with its count, each kind with its count and one item per finding.
void ReportImportSummaryTest::pageParses() {
    Report report(QStringLiteral("Prueba"), QStringLiteral("/tmp/a & b.xml"));
    report.addCount(QStringLiteral("Profesores"), 3);
    report.add(FindingLevel::Error, QStringLiteral("Código <desconocido>"), QStringLiteral("uno & dos"));
    report.add(FindingLevel::Error, QStringLiteral("Código <desconocido>"), QStringLiteral("tres"));
    report.add(FindingLevel::Nota, QStringLiteral("Para saber"), QStringLiteral("«cuatro»"));
    XmlDocument page;
    QVERIFY(page.loadFromMemory(ReportHtml(report).toStdString()));
    QCOMPARE(page.select("//li").length(), 3);
    QCOMPARE(QString::fromStdString(page.selectOne("//h2[1]").text()), QStringLiteral("Errores (2)"));
    QCOMPARE(QString::fromStdString(page.selectOne("//h3[1]").text()), QStringLiteral("Código <desconocido> (2)"));
    QCOMPARE(QString::fromStdString(page.selectOne("//li[1]").text()), QStringLiteral("uno & dos"));
    QCOMPARE(QString::fromStdString(page.selectOne("//table//td").text()), QStringLiteral("3"));
    QVERIFY(page.select("//script | //link | //img").length() == 0);
    QVERIFY(QString::fromStdString(page.selectOne("//style").text()).contains(QStringLiteral("@media print")));
}

// A run that ends in an error leaves the report of the last finished run as it was.
void ReportImportSummaryTest::failedRunKeepsTheEarlierReport() {
    Import i;
    i.run();
    const QByteArray before = readAll(i.state.report.path);
    QVERIFY(!before.isEmpty());
    QFile broken(i.input);
    QVERIFY(broken.open(QIODevice::WriteOnly | QIODevice::Truncate));
    broken.write("<SERVICIO><roto>");
    broken.close();
    RunState again(i.paths);
    ScriptedUi ui;
    ui.fileAnswers.push_back(i.input);
    BExportarClick(again, ui);
    QCOMPARE(ui.errors.size(), 1);
    QCOMPARE(readAll(i.state.report.path), before);
    QCOMPARE(QDir(i.paths.workDir).entryList({"*.html"}), QStringList({"InformeImportacion.html"}));
}

// The tables are written: the run finishes, and the report's failure is said, not hidden.
void ReportImportSummaryTest::reportThatCannotBeWrittenIsReported() {
    Import i;
    QVERIFY(QDir(i.paths.workDir).mkdir(QStringLiteral("InformeImportacion.html")));
    i.run();
    QCOMPARE(i.state.outcome, 1);
    QCOMPARE(i.ui.messages, QStringList({QStringLiteral("Proceso finalizado")}));
    QCOMPARE(i.ui.errors.size(), 1);
    QVERIFY2(i.ui.errors[0].contains(QStringLiteral("InformeImportacion.html")), qPrintable(i.ui.errors[0]));
    QVERIFY(!i.state.report.written);
}

QTEST_GUILESS_MAIN(ReportImportSummaryTest)
#include "test_report_import_summary.moc"
