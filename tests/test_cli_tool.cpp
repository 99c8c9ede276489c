// transvelkor-cli as a user runs it: exit statuses, messages on the right stream, the
// courses file, and paths with blanks and accents.

#include "platform/DbfTable.h"
#include "seneca/Messages.h"
#include "support/ExportFixture.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace TestSupport;

namespace {

struct Result {
    int status = -1;
    QString out, err;
};

// The tool's output as text; on Windows its lines end in CR LF, as a console program's do.
QString lines(const QByteArray &bytes) { return QString::fromUtf8(bytes).replace(QStringLiteral("\r\n"), QStringLiteral("\n")); }

Result runCli(const QStringList &args) {
    QProcess p;
    p.start(QStringLiteral(TVS_CLI), args);
    if (!p.waitForFinished(60000))
        p.kill();
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, lines(p.readAllStandardOutput()),
            lines(p.readAllStandardError())};
}

} // namespace

class TestCliTool : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_root, m_xml, m_catalog, m_work;

private slots:
    void initTestCase() {
        // Blanks and accents in every path the tool is given.
        m_root = QDir(m_dir.path()).filePath("Año académico 2026");
        QVERIFY(QDir().mkpath(m_root));
        m_work = QDir(m_root).filePath("carpeta de trabajo");
        QVERIFY(QDir().mkpath(m_work));
        m_xml = writeSeneca(m_root, "exportación Séneca.xml",
                            {yearGroup("2026", "15/09/2026", "22/06/2027"),
                             group("CURSOS_DEL_CENTRO", {{"6001", "1º de E.S.O."}, {"6002", "2º de E.S.O."}}),
                             group("MATERIAS", {{"6001", "Matemáticas", "700001", "4"}},
                                   {"X_OFERTAMATRIG", "D_MATERIAC", "X_MATERIAOMG", "N_HORAS"}),
                             group("UNIDADES", {{"900001", "E1A", "6001"}, {"900002", "E2A", "6002"}})});
        m_catalog = QDir(m_root).filePath("catálogo.dbf");
        DbfTable::create(m_root, "catálogo", {{"NOMBRE", DbfFieldType::Character, 80},
                                              {"COD", DbfFieldType::Character, 10},
                                              {"CODLARGO", DbfFieldType::Character, 10}});
        m_catalog = DbfTable::findFile(m_root, "catálogo");
        QVERIFY(!m_catalog.isEmpty());
    }

    // Each test starts without the courses that earlier runs in the shared folder remember.
    void init() { QFile::remove(QDir(m_work).filePath("CursosRecordados.csv")); }

    void usage_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::newRow("help") << QStringList{"--help"} << 0;
        QTest::newRow("version") << QStringList{"--version"} << 0;
        QTest::newRow("nothing") << QStringList{} << 2;
        QTest::newRow("unknown command") << QStringList{"convert", "a.xml"} << 2;
        QTest::newRow("no file") << QStringList{"import"} << 2;
        QTest::newRow("option without value") << QStringList{"import", "a.xml", "--work-dir"} << 2;
        QTest::newRow("import-only option on export") << QStringList{"export", "a.xml", "--courses", "c.csv"} << 2;
        QTest::newRow("two files") << QStringList{"import", "a.xml", "b.xml"} << 2;
    }
    void usage() {
        QFETCH(QStringList, args);
        const Result r = runCli(args);
        QTEST(r.status, "status");
        if (r.status == 2)
            QVERIFY2(r.err.contains("Uso:") && r.out.isEmpty(), qPrintable(r.err));
    }

    void missingFileEndsWithStatusOne() {
        const Result r = runCli({"import", QDir(m_root).filePath("no está.xml"), "--work-dir", m_work});
        QCOMPARE(r.status, 1);
        QCOMPARE(r.err.trimmed(), "No existe archivo");
        QCOMPARE(r.out, QString());
    }

    void incompleteCoursesStopTheRun() {
        const QString csv = QDir(m_root).filePath("cursos incompletos.csv");
        writeFile(csv, "CLAVE;NIVEL;CURSO\n6001;ESO;1\n9999;BCT;1\n");
        const Result r = runCli({"import", m_xml, "--work-dir", m_work, "--catalog", m_catalog, "--courses", csv});
        QCOMPARE(r.status, 3);
        QVERIFY2(r.err.contains("¡Atención! Falta algún Dato"), qPrintable(r.err));
        QVERIFY2(r.err.contains("6002") && r.err.contains("2º de E.S.O."), qPrintable(r.err));
        QVERIFY2(r.err.contains("9999"), qPrintable(r.err)); // a key that matches no course
        QVERIFY(!r.out.contains("Proceso finalizado"));
        QVERIFY(!QFile::exists(QDir(m_work).filePath("ASIGNOMT.DBF")));
        QCOMPARE(column(m_work, "CURSOST", "NIVEL"), (QStringList{"ESO", ""}));
    }

    void malformedCoursesFileTouchesNothing() {
        const QString csv = QDir(m_root).filePath("cursos mal.csv");
        writeFile(csv, "CLAVE;NIVEL;CURSO\n6001;ESO\n");
        QDir(m_work).remove("PERIODOS.DBF");
        const Result r = runCli({"import", m_xml, "--work-dir", m_work, "--catalog", m_catalog, "--courses", csv});
        QCOMPARE(r.status, 2);
        QVERIFY2(r.err.contains("2"), qPrintable(r.err));
        QVERIFY(!QFile::exists(QDir(m_work).filePath("PERIODOS.DBF")));
    }

    void wholeImport_data() {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<QStringList>("extra");
        QTest::addColumn<QStringList>("groups");
        QTest::newRow("every course given") << QByteArray("CLAVE;NIVEL;CURSO\n6001;ESO;1\n6002;ESO;2\n")
                                            << QStringList{} << QStringList{"ESO1A", "ESO2A"};
        QTest::newRow("allowed incomplete") << QByteArray("CLAVE;NIVEL;CURSO\n6001;ESO;1\n")
                                            << QStringList{"--allow-incomplete"} << QStringList{"ESO1A", "A"};
    }
    void wholeImport() {
        QFETCH(QByteArray, csv);
        QFETCH(QStringList, extra);
        const QString csvPath = QDir(m_root).filePath("cursos.csv");
        writeFile(csvPath, csv);
        const Result r = runCli(QStringList{"import", m_xml, "--work-dir", m_work, "--catalog", m_catalog,
                                           "--courses", csvPath} + extra);
        QCOMPARE(r.status, 0);
        QVERIFY2(r.out.contains("Proceso finalizado"), qPrintable(r.out + r.err));
        QVERIFY2(r.out.contains("GRUPOST") && r.out.contains("ASIGNOMT2"), qPrintable(r.out));
        QTEST(column(m_work, "GRUPOST", "ABREV"), "groups");
    }

    // m_xml has no staff, rooms, slots or activities: the report has errors, the run is still
    // finished; --estricto makes it exit 4.
    void reportOfTheRun_data() {
        QTest::addColumn<QStringList>("extra");
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("findingsPrinted");
        QTest::newRow("counts and path") << QStringList{} << 0 << false;
        QTest::newRow("strict") << QStringList{"--estricto"} << 4 << false;
        QTest::newRow("findings as text") << QStringList{"--informe-texto"} << 0 << true;
    }
    void reportOfTheRun() {
        QFETCH(QStringList, extra);
        const QString csvPath = QDir(m_root).filePath("cursos.csv");
        writeFile(csvPath, "CLAVE;NIVEL;CURSO\n6001;ESO;1\n6002;ESO;2\n");
        const Result r = runCli(QStringList{"import", m_xml, "--work-dir", m_work, "--catalog", m_catalog,
                                           "--courses", csvPath} + extra);
        QTEST(r.status, "status");
        const QString report = QDir::toNativeSeparators(QDir(m_work).filePath("InformeImportacion.html"));
        QVERIFY2(r.out.contains("Proceso finalizado") && r.out.contains("Informe: " + report), qPrintable(r.out));
        QVERIFY2(r.out.contains(QRegularExpression("[1-9][0-9]* errores, [0-9]+ avisos?, [0-9]+ notas?")),
                 qPrintable(r.out));
        // The missing groups are failures: on standard error, and never among the results.
        QVERIFY2(r.err.contains("ERROR: La exportación de Séneca no tiene el grupo EMPLEADOS"), qPrintable(r.err));
        QVERIFY2(r.err.contains("ATENCIÓN: el informe tiene"), qPrintable(r.err));
        QFETCH(bool, findingsPrinted);
        QCOMPARE(r.out.contains("ERRORES ("), findingsPrinted);
        QCOMPARE(r.out.contains("Grupo de datos ausente o vacío ("), findingsPrinted);
        QVERIFY(!r.out.contains("ERROR: "));
    }

    // --sin-informe: the same tables, no check, no report file, nothing said of a report; it
    // does not go with the options about the report.
    void runWithoutReport() {
        const QString csvPath = QDir(m_root).filePath("cursos.csv");
        writeFile(csvPath, "CLAVE;NIVEL;CURSO\n6001;ESO;1\n6002;ESO;2\n");
        const QStringList args{"import", m_xml, "--work-dir", m_work, "--catalog", m_catalog, "--courses", csvPath};
        QCOMPARE(runCli(args).status, 0);
        const QStringList checkedGroups = column(m_work, "GRUPOST", "ABREV");
        const QString report = QDir(m_work).filePath("InformeImportacion.html");
        QVERIFY(QFile::remove(report));

        const Result r = runCli(args + QStringList{"--sin-informe"});
        QCOMPARE(r.status, 0);
        QVERIFY2(r.out.contains("Proceso finalizado"), qPrintable(r.out + r.err));
        QVERIFY2(!r.out.contains("Informe:") && !r.err.contains("informe"), qPrintable(r.out + r.err));
        QVERIFY(!QFile::exists(report));
        QCOMPARE(column(m_work, "GRUPOST", "ABREV"), checkedGroups);

        for (const char *other : {"--estricto", "--informe-texto"}) {
            const Result refused = runCli(args + QStringList{"--sin-informe", other});
            QCOMPARE(refused.status, 2);
            QVERIFY2(refused.err.contains(QStringLiteral("--sin-informe no se combina con %1.").arg(other)),
                     qPrintable(refused.err));
        }
    }

    // --proponer fills what the courses file leaves empty and prints the table; a course no
    // rule knows stays empty and stops the run as before.
    void proposals_data() {
        QTest::addColumn<QList<QStringList>>("courses");
        QTest::addColumn<QByteArray>("csv"); // empty: no --courses
        QTest::addColumn<int>("status");
        QTest::addColumn<QStringList>("table");
        QTest::addColumn<QStringList>("groups");
        const QList<QStringList> eso = {{"6001", "1º de E.S.O."}, {"6002", "2º de E.S.O."}};
        QTest::newRow("proposals alone")
            << eso << QByteArray() << 0
            << QStringList{"6001;ESO;1;1º de E.S.O.;propuesto", "6002;ESO;2;2º de E.S.O.;propuesto"}
            << QStringList{"ESO1A", "ESO2A"};
        QTest::newRow("after the courses file")
            << eso << QByteArray("CLAVE;NIVEL;CURSO\n6001;SEC;1\n") << 0
            << QStringList{"6001;SEC;1;1º de E.S.O.;archivo de cursos", "6002;SEC;2;2º de E.S.O.;propuesto"}
            << QStringList{"SEC1A", "SEC2A"};
        QTest::newRow("a name no rule knows")
            << QList<QStringList>{{"6001", "1º de E.S.O."}, {"6002", "Estudios propios"}} << QByteArray() << 3
            << QStringList{"6001;ESO;1;1º de E.S.O.;propuesto", "6002;;;Estudios propios;sin propuesta"}
            << QStringList{};
    }
    void proposals() {
        QFETCH(QList<QStringList>, courses);
        QFETCH(QByteArray, csv);
        QTemporaryDir work;
        const QString xml = writeSeneca(work.path(), "propuestas.xml",
                                        {yearGroup("2026", "15/09/2026", "22/06/2027"),
                                         group("CURSOS_DEL_CENTRO", courses),
                                         group("UNIDADES", {{"900001", "E1A", "6001"}, {"900002", "E2A", "6002"}})});
        QStringList args{"import", xml, "--work-dir", work.path(), "--catalog", m_catalog, "--proponer"};
        if (!csv.isEmpty()) {
            writeFile(QDir(work.path()).filePath("cursos.csv"), csv);
            args << "--courses" << QDir(work.path()).filePath("cursos.csv");
        }
        const Result r = runCli(args);
        QTEST(r.status, "status");
        QFETCH(QStringList, table);
        const QString printed = "Cursos (CLAVE;NIVEL;CURSO;ESTUD;ORIGEN):\n" + table.join('\n') + '\n';
        QVERIFY2(r.out.startsWith(printed), qPrintable(r.out));
        QFETCH(QStringList, groups);
        if (r.status == 3) {
            QVERIFY2(r.err.contains(Msg::MissingData) && r.err.contains("6002;Estudios propios"), qPrintable(r.err));
            QVERIFY(!QFile::exists(QDir(work.path()).filePath("CursosRecordados.csv")));
        } else {
            QVERIFY2(r.out.contains("Proceso finalizado"), qPrintable(r.out + r.err));
            QCOMPARE(column(work.path(), "GRUPOST", "ABREV"), groups);
        }
    }

    // The second import of the same school needs no option: it completes from memory.
    void secondImportFromMemory() {
        QCOMPARE(runCli({"import", m_xml, "--work-dir", m_work, "--catalog", m_catalog, "--proponer"}).status, 0);
        const Result r = runCli({"import", m_xml, "--work-dir", m_work, "--catalog", m_catalog});
        QCOMPARE(r.status, 0);
        QVERIFY2(r.out.contains("Proceso finalizado") && !r.out.contains("Cursos ("), qPrintable(r.out));
        QCOMPARE(column(m_work, "GRUPOST", "ABREV"), (QStringList{"ESO1A", "ESO2A"}));
    }

    void helpNamesTheReportOptions() {
        const Result r = runCli({"--help"});
        QVERIFY(r.out.contains("--estricto") && r.out.contains("--informe-texto") && r.out.contains("4 (con --estricto)"));
        QVERIFY(r.out.contains("--sin-informe"));
        QVERIFY(r.out.contains("--proponer") && r.out.contains("CursosRecordados.csv"));
    }

    // Without the periods table the export ends with its message, which is a failure.
    void noPeriodsOnStandardError() {
        QTemporaryDir work;
        ExportFixture::createTables(work.path());
        QVERIFY(QFile::remove(DbfTable::findFile(work.path(), "PERIODOS")));
        const Result r = runCli({"export", m_xml, "--work-dir", work.path()});
        QCOMPARE(r.status, 1);
        QCOMPARE(r.out, QString());
        QCOMPARE(r.err.trimmed(), Msg::NoPeriods);
    }
};

QTEST_GUILESS_MAIN(TestCliTool)
#include "test_cli_tool.moc"
