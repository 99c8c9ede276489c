// The export run as the window and the command-line tool start it: file choice, messages,
// outcome, the document frame and header, the output file, and every way a run can end.

#include "export/ExportDriver.h"
#include "export/ExportTables.h"
#include "platform/DbfTable.h"
#include "platform/RunError.h"
#include "platform/XmlDocument.h"
#include "seneca/Messages.h"
#include "support/ExportFixture.h"
#include "support/FileSizeLimit.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>


using namespace ExportFixture;
using TestSupport::ScriptedUi;

namespace {

QByteArray readAll(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// A Séneca file with what a frame can carry around SERVICIO: a declaration naming
// ISO-8859-1, comments and a processing instruction before and after the root.
const QByteArray FramedInput = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
                               "<!-- exportaci\xF3n de S\xE9neca -->\n"
                               "<?zetarium version=\"7\"?>\n"
                               "<SERVICIO modulo=\"HORARIOS\" tipo=\"E\" autor=\"SENECA\" fecha=\"01/09/2025 09:00:00\">\n"
                               "  <BLOQUE_DATOS>\n"
                               "    <grupo_datos seq=\"ANNO_ACADEMICO\">\n"
                               "      <dato nombre_dato=\"C_ANNO\">2025</dato>\n"
                               "      <dato nombre_dato=\"F_INIHORREG\">15/09/2025</dato>\n"
                               "    </grupo_datos>\n"
                               "    <grupo_datos seq=\"EMPLEADOS\" registros=\"0\"/>\n"
                               "  </BLOQUE_DATOS>\n"
                               "</SERVICIO>\n"
                               "<!-- fin -->\n";

const char *const TableNames[] = {"SOLUC", "GRUPOST", "CURSOST", "PROFT", "AULAT",
                                  "ASIGNOMT", "ASIGNOMT2", "DIASHORAST", "ASIGT"};

class Run {
public:
    Run() {
        QVERIFY(dir.isValid());
        paths = TestSupport::pathsIn(dir.path());
        createTables(paths.workDir);
        input = QDir(paths.dialogDir).filePath(QStringLiteral("Horarios.xml"));
        writeFile(input, FramedInput);
    }
    QString work() const { return paths.workDir; }
    QString output() const { return QDir(paths.dialogDir).filePath(QStringLiteral("ResultadoVelkorHorarios.xml")); }

    // One click: the dialog answers with the given file (or is cancelled).
    void click(std::optional<QString> answer) {
        ui = ScriptedUi();
        ui.fileAnswers.push_back(answer);
        BImportarClick(state, ui);
    }
    void click() { click(input); }

    // Every table the export opens can be had exclusively again.
    bool tablesReleased() {
        ExportTables tables;
        try {
            tables.open(paths.workDir);
        } catch (const RunError &e) {
            qWarning() << e.message();
            return false;
        }
        return true;
    }

    QTemporaryDir dir;
    Paths paths;
    QString input;
    RunState state{Paths()};
    ScriptedUi ui;
};

} // namespace

class ExportDriverTest : public QObject {
    Q_OBJECT

private slots:
    void wholeDocument();
    void hostModeCloses();
    void emptyStaff();
    void periodsWithoutRecords();
    void noPeriods();
    void noFile_data();
    void noFile();
    void rememberedFileAfterFailure();
    void tableMissingOrHeld_data();
    void tableMissingOrHeld();
    void notSeneca_data();
    void notSeneca();
    void schoolYearCode_data();
    void schoolYearCode();
    void previousOutputAsInput();
    void noDeclarationWritesUtf8();
    void failedSaveKeepsEarlierOutput();
};

// The exact bytes: the kept declaration, comments and instruction first, the new SERVICIO last,
// no blank text between the new elements, the declared encoding (é as one byte, € as a
// reference since ISO-8859-1 lacks it).
void ExportDriverTest::wholeDocument() {
    Run r;
    r.state = RunState(r.paths);
    teacher(r.work(), QStringLiteral("ANA"), QStringLiteral("1001"), QStringLiteral("03/09/2019"));
    slot(r.work(), QStringLiteral("23"), QStringLiteral("2"), QStringLiteral("T3"), QStringLiteral("1000"),
         QStringLiteral("1100"));
    group(r.work(), QStringLiteral("ESO1A"), QStringLiteral("U1A"), QStringLiteral("OF1"));
    assignment(r.work(), QStringLiteral("MAT"), QStringLiteral("ESO1A"), QStringLiteral("M100"), QStringLiteral("OF1"));
    entry(r.work(), QStringLiteral("ANA"), 2, 3, QStringLiteral("MAT"), QStringLiteral("ESO1A"), QStringLiteral("T€"),
          QStringLiteral("Sé<&>\""));

    r.click();
    QCOMPARE(r.ui.errors, QStringList());
    QCOMPARE(r.ui.events, QStringList({"choose:" + r.paths.dialogDir, "busy:1", "busy:0", "message:" + Msg::Finished,
                                       "disable"}));
    QCOMPARE(r.state.outcome, 1);
    QVERIFY(!r.ui.closed);
    QCOMPARE(readAll(r.input), FramedInput);

    QByteArray out = readAll(r.output());
    static const QRegularExpression fecha(QStringLiteral("fecha=\"\\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d:\\d\\d\""));
    QString latin = QString::fromLatin1(out);
    QVERIFY2(fecha.match(latin).hasMatch(), out.constData());
    out = latin.replace(fecha, QStringLiteral("fecha=\"F\"")).toLatin1();
    const QByteArray expected =
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
        "<!-- exportaci\xF3n de S\xE9neca -->\n"
        "<?zetarium version=\"7\"?>\n"
        "<!-- fin -->\n"
        "<SERVICIO modulo=\"HORARIOS\" tipo=\"I\" autor=\"ZETARIUM\" fecha=\"F\"><BLOQUE_DATOS>"
        "<grupo_datos seq=\"ANNO_ACADEMICO\"><dato nombre_dato=\"C_ANNO\">2025</dato></grupo_datos>"
        "<grupo_datos seq=\"HORARIOS_REGULARES\" registros=\"1\">"
        "<grupo_datos seq=\"HORARIO_REGULAR_PROFESOR_1\" registros=\"1\">"
        "<dato nombre_dato=\"X_EMPLEADO\">1001</dato><dato nombre_dato=\"F_TOMAPOS\">03/09/2019</dato>"
        "<grupo_datos seq=\"ACTIVIDAD_1\">"
        "<dato nombre_dato=\"N_DIASEMANA\">2</dato><dato nombre_dato=\"X_TRAMO\">T3</dato>"
        "<dato nombre_dato=\"X_DEPENDENCIA\">S\xE9&lt;&amp;&gt;\"</dato><dato nombre_dato=\"X_UNIDAD\">U1A</dato>"
        "<dato nombre_dato=\"X_OFERTAMATRIG\">OF1</dato><dato nombre_dato=\"X_MATERIAOMG\">M100</dato>"
        "<dato nombre_dato=\"F_INICIO\">15/09/2025</dato><dato nombre_dato=\"F_FIN\">22/06/2026</dato>"
        "<dato nombre_dato=\"N_HORINI\">1000</dato><dato nombre_dato=\"N_HORFIN\">1100</dato>"
        "<dato nombre_dato=\"X_ACTIVIDAD\">T&#8364;</dato>"
        "</grupo_datos></grupo_datos></grupo_datos></BLOQUE_DATOS></SERVICIO>\n";
    QCOMPARE(out, expected);
    QVERIFY(r.tablesReleased());
}

void ExportDriverTest::hostModeCloses() {
    Run r;
    r.state = RunState(r.paths);
    r.state.hostMode = true;
    r.click();
    QCOMPARE(r.ui.events, QStringList({"choose:" + r.paths.dialogDir, "busy:1", "busy:0", "message:" + Msg::Finished,
                                       "disable", "close"}));
    QCOMPARE(r.state.outcome, 1);
}

void ExportDriverTest::emptyStaff() {
    Run r;
    r.state = RunState(r.paths);
    entry(r.work(), QStringLiteral("ANA"), 1, 1, QStringLiteral("MAT"), QStringLiteral("ESO1A"));
    r.click();
    QCOMPARE(r.ui.messages, QStringList({Msg::Finished}));
    XmlDocument doc;
    QVERIFY(doc.load(r.output()));
    const XmlNode group = doc.selectOne("/SERVICIO/BLOQUE_DATOS/grupo_datos[@seq=\"HORARIOS_REGULARES\"]");
    QCOMPARE(group.attribute("registros"), std::string("0"));
    QVERIFY(group.firstChild().isNull());
}

void ExportDriverTest::periodsWithoutRecords() {
    Run r;
    r.state = RunState(r.paths);
    QVERIFY(QFile::remove(DbfTable::findFile(r.work(), QStringLiteral("PERIODOS"))));
    DbfTable::create(r.work(), QStringLiteral("PERIODOS"),
                     {{QStringLiteral("CURSOANNO"), DbfFieldType::Character, 4},
                      {QStringLiteral("F_INICIO"), DbfFieldType::Character, 10},
                      {QStringLiteral("F_FIN"), DbfFieldType::Character, 10}});
    teacher(r.work(), QStringLiteral("ANA"), QStringLiteral("1001"));
    slot(r.work(), QStringLiteral("11"), QStringLiteral("1"), QStringLiteral("T1"), QStringLiteral("0800"),
         QStringLiteral("0900"));
    entry(r.work(), QStringLiteral("ANA"), 1, 1, QStringLiteral("MAT"), QStringLiteral("ESO1A"));
    r.click();
    QCOMPARE(r.state.outcome, 1);
    XmlDocument doc;
    QVERIFY(doc.load(r.output()));
    const XmlNodeList dates = doc.select("//dato[@nombre_dato=\"F_INICIO\" or @nombre_dato=\"F_FIN\"]");
    QCOMPARE(dates.length(), 2);
    QCOMPARE(dates.item(0).text() + dates.item(1).text(), std::string());
}

// Nothing is written, the tables are free again and the window stays open, also in host mode.
void ExportDriverTest::noPeriods() {
    Run r;
    r.state = RunState(r.paths);
    r.state.hostMode = true;
    QVERIFY(QFile::remove(DbfTable::findFile(r.work(), QStringLiteral("PERIODOS"))));
    r.click();
    QCOMPARE(r.ui.events,
             QStringList({"choose:" + r.paths.dialogDir, "busy:1", "busy:0", "message:" + Msg::NoPeriods}));
    QCOMPARE(r.state.outcome, 0);
    QVERIFY(!QFile::exists(r.output()));
    QCOMPARE(QDir(r.paths.dialogDir).entryList(QDir::Files), QStringList({"Horarios.xml"}));
    QVERIFY(r.tablesReleased());
}

void ExportDriverTest::noFile_data() {
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<bool>("hostMode");
    QTest::addColumn<int>("outcome");
    QTest::newRow("cancelled") << true << false << 0;
    QTest::newRow("cancelled in host mode") << true << true << -1;
    QTest::newRow("file gone") << false << false << 0;
    QTest::newRow("file gone in host mode") << false << true << -1;
}

void ExportDriverTest::noFile() {
    QFETCH(bool, cancel);
    QFETCH(bool, hostMode);
    QFETCH(int, outcome);
    Run r;
    r.state = RunState(r.paths);
    r.state.hostMode = hostMode;
    QFile::remove(r.input);
    r.click(cancel ? std::nullopt : std::optional<QString>(r.input));
    QStringList events{"choose:" + r.paths.dialogDir, "message:" + Msg::NoFile};
    if (hostMode)
        events << QStringLiteral("close");
    QCOMPARE(r.ui.events, events);
    QCOMPARE(r.state.outcome, outcome);
    QVERIFY(!r.ui.buttonsDisabled);
}

// After the periods message the file stays remembered: cancelling the next dialog exports it.
void ExportDriverTest::rememberedFileAfterFailure() {
    Run r;
    r.state = RunState(r.paths);
    const QString periods = DbfTable::findFile(r.work(), QStringLiteral("PERIODOS"));
    QVERIFY(QFile::rename(periods, periods + QStringLiteral(".bak")));
    r.click();
    QCOMPARE(r.ui.messages, QStringList({Msg::NoPeriods}));
    QVERIFY(QFile::rename(periods + QStringLiteral(".bak"), periods));
    r.click(std::nullopt);
    QCOMPARE(r.ui.messages, QStringList({Msg::Finished}));
    QVERIFY(QFile::exists(r.output()));
}

void ExportDriverTest::tableMissingOrHeld_data() {
    QTest::addColumn<QString>("table");
    QTest::addColumn<bool>("held");
    for (const char *name : TableNames)
        QTest::newRow(name) << QString::fromLatin1(name) << false;
    QTest::newRow("SOLUC held by the host") << QStringLiteral("SOLUC") << true;
    QTest::newRow("ASIGT held by the host") << QStringLiteral("ASIGT") << true;
}

// The error names the table; nothing is written; the other tables are released; outcome and
// buttons stay as they were.
void ExportDriverTest::tableMissingOrHeld() {
    QFETCH(QString, table);
    QFETCH(bool, held);
    Run r;
    r.state = RunState(r.paths);
    r.state.hostMode = true;
    teacher(r.work(), QStringLiteral("ANA"), QStringLiteral("1001"));
    DbfTable holder;
    if (held)
        holder.open(r.work(), table, DbfTable::Mode::Exclusive);
    else
        QVERIFY(QFile::remove(DbfTable::findFile(r.work(), table)));
    r.click();
    QCOMPARE(r.ui.messages, QStringList());
    QCOMPARE(r.ui.errors.size(), 1);
    QVERIFY2(r.ui.errors[0].contains(table, Qt::CaseInsensitive), qPrintable(r.ui.errors[0]));
    QCOMPARE(r.ui.events.last(), QStringLiteral("error:") + r.ui.errors[0]);
    QVERIFY(!r.ui.busy);
    QCOMPARE(r.state.outcome, 0);
    QVERIFY(!r.ui.buttonsDisabled);
    QVERIFY(!r.ui.closed);
    QVERIFY(!QFile::exists(r.output()));
    if (held)
        holder.close();
    else
        createTables(r.work()); // every table back, so the check below covers the others
    QVERIFY(r.tablesReleased());
}

void ExportDriverTest::notSeneca_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("not XML") << QByteArray("PROF;DIA;HORA\nANA;1;1\n");
    QTest::newRow("broken XML") << QByteArray("<SERVICIO><BLOQUE_DATOS><grupo_datos></BLOQUE_DATOS>");
    QTest::newRow("other root") << QByteArray("<HORARIO><BLOQUE_DATOS><x>2025</x></BLOQUE_DATOS></HORARIO>");
    QTest::newRow("no BLOQUE_DATOS") << QByteArray("<SERVICIO><DATOS/></SERVICIO>");
    QTest::newRow("empty BLOQUE_DATOS") << QByteArray("<SERVICIO><BLOQUE_DATOS>\n  </BLOQUE_DATOS></SERVICIO>");
}

// Left open by the host's behaviour; here the run ends with a message naming the file, before
// anything is written.
void ExportDriverTest::notSeneca() {
    QFETCH(QByteArray, content);
    Run r;
    r.state = RunState(r.paths);
    writeFile(r.input, content);
    r.click();
    QCOMPARE(r.ui.errors.size(), 1);
    QVERIFY2(r.ui.errors[0].startsWith(QStringLiteral("El archivo «%1» no es un documento de Séneca")
                                           .arg(QDir::toNativeSeparators(r.input))),
             qPrintable(r.ui.errors[0]));
    QCOMPARE(r.state.outcome, 0);
    QVERIFY(!QFile::exists(r.output()));
    QVERIFY(r.tablesReleased());
}

void ExportDriverTest::schoolYearCode_data() {
    QTest::addColumn<QString>("firstGroup");
    QTest::addColumn<QString>("year");
    QTest::newRow("longer") << QStringLiteral("<grupo_datos><dato>2025/26</dato><dato>x</dato></grupo_datos>")
                            << QStringLiteral("2025");
    QTest::newRow("spread over values") << QStringLiteral("<grupo_datos><dato>20</dato><dato>25</dato></grupo_datos>")
                                        << QStringLiteral("2025");
    QTest::newRow("shorter") << QStringLiteral("<grupo_datos><dato>99</dato></grupo_datos>") << QStringLiteral("99");
    QTest::newRow("characters, not bytes") << QStringLiteral("<grupo_datos><dato>Añño€</dato></grupo_datos>")
                                           << QStringLiteral("Añño");
    QTest::newRow("no text") << QStringLiteral("<grupo_datos seq=\"X\"/>") << QString();
}

void ExportDriverTest::schoolYearCode() {
    QFETCH(QString, firstGroup);
    QFETCH(QString, year);
    Run r;
    r.state = RunState(r.paths);
    writeFile(r.input, (QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<SERVICIO><BLOQUE_DATOS>\n  ") +
                        firstGroup + QStringLiteral("\n</BLOQUE_DATOS></SERVICIO>"))
                           .toUtf8());
    r.click();
    QCOMPARE(r.ui.errors, QStringList());
    XmlDocument doc;
    QVERIFY(doc.load(r.output()));
    QCOMPARE(QString::fromStdString(doc.selectOne("//dato[@nombre_dato=\"C_ANNO\"]").text()), year);
}

// A result chosen as input: its first group is the school-year group, so the same year and
// the same records come out, under a name that starts with the word twice.
void ExportDriverTest::previousOutputAsInput() {
    Run r;
    r.state = RunState(r.paths);
    teacher(r.work(), QStringLiteral("ANA"), QStringLiteral("1001"));
    entry(r.work(), QStringLiteral("ANA"), 1, 1, QStringLiteral("MAT"), QStringLiteral("ESO1A"));
    r.click();
    QCOMPARE(r.state.outcome, 1);
    r.click(r.output());
    QCOMPARE(r.ui.messages, QStringList({Msg::Finished}));
    const QString second =
        QDir(r.paths.dialogDir).filePath(QStringLiteral("ResultadoVelkorResultadoVelkorHorarios.xml"));
    static const QRegularExpression fecha(QStringLiteral("fecha=\"[^\"]*\""));
    QCOMPARE(QString::fromLatin1(readAll(second)).replace(fecha, QString()),
             QString::fromLatin1(readAll(r.output())).replace(fecha, QString()));
}

void ExportDriverTest::noDeclarationWritesUtf8() {
    Run r;
    r.state = RunState(r.paths);
    writeFile(r.input, "<SERVICIO><BLOQUE_DATOS><grupo_datos><dato>2025</dato></grupo_datos></BLOQUE_DATOS></SERVICIO>");
    teacher(r.work(), QStringLiteral("ÑOÑO"), QStringLiteral("Müller€"));
    r.click();
    const QByteArray out = readAll(r.output());
    QVERIFY2(out.contains("<dato nombre_dato=\"X_EMPLEADO\">M\xC3\xBCller\xE2\x82\xAC</dato>"), out.constData());
}

// The result goes through a temporary file: a save that fails half-way leaves the earlier
// result as it was and no stray file. The failure is provoked with a file-size limit, which
// holds for every user.
void ExportDriverTest::failedSaveKeepsEarlierOutput() {
    Run r;
    r.state = RunState(r.paths);
    for (int day = 1; day <= 5; ++day)
        for (int hour = 1; hour <= 6; ++hour)
            slot(r.work(), QStringLiteral("%1%2").arg(day).arg(hour), QString::number(day),
                 QStringLiteral("T%1").arg(hour), QStringLiteral("0800"), QStringLiteral("0900"));
    for (int t = 0; t < 40; ++t) {
        const QString abbreviation = QStringLiteral("P%1").arg(t);
        teacher(r.work(), abbreviation, QString::number(1000 + t));
        for (int e = 0; e < 5; ++e)
            entry(r.work(), abbreviation, 1 + e, 1 + t % 6, QStringLiteral("MAT"), QStringLiteral("ESO1A"));
    }
    writeFile(r.output(), "anterior");

    if (!TestSupport::LimitFileSize(8192))
        QSKIP("this system cannot make a write fail part-way");
    r.click();
    TestSupport::UnlimitFileSize();

    QCOMPARE(r.ui.errors.size(), 1);
    QVERIFY2(r.ui.errors[0].contains(QStringLiteral("ResultadoVelkorHorarios.xml")), qPrintable(r.ui.errors[0]));
    QCOMPARE(readAll(r.output()), QByteArray("anterior"));
    QCOMPARE(QDir(r.paths.dialogDir).entryList(QDir::Files),
             QStringList({"Horarios.xml", "ResultadoVelkorHorarios.xml"}));
    QCOMPARE(r.state.outcome, 0);
    QVERIFY(!r.ui.buttonsDisabled);
    QVERIFY(r.tablesReleased());
}

QTEST_GUILESS_MAIN(ExportDriverTest)
#include "test_export_driver.moc"
