// The window's offer to open the report: asked after "Proceso finalizado" when the report has
// errors or avisos, never without them, never inside the host's window; a yes opens the report.

#include "app/MainForm.h"
#include "export/ExportDriver.h"
#include "seneca/Messages.h"
#include "support/ExportFixture.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QFileDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace TestSupport;

namespace {

// Everything the window would show or open, in order.
struct Recorded {
    QStringList events;
    bool answer = true;
    Recorded() {
        TMForm::MessageBoxHook = [this](const QString &text, bool error) {
            events << (error ? QStringLiteral("error:") : QStringLiteral("message:")) + text;
        };
        TMForm::ReportQuestionHook = [this](const QString &question) {
            events << QStringLiteral("question:") + question;
            return answer;
        };
        TMForm::OpenReportHook = [this](const QString &path) {
            events << QStringLiteral("open:") + path;
            return true;
        };
    }
    ~Recorded() {
        TMForm::MessageBoxHook = nullptr;
        TMForm::ReportQuestionHook = nullptr;
        TMForm::OpenReportHook = nullptr;
    }
};

// A one-teacher school whose only lesson is in the given room; the Séneca export knows A1.
QString school(const Paths &paths, const QString &room) {
    using namespace ExportFixture;
    createTables(paths.workDir);
    teacher(paths.workDir, QStringLiteral("ANA"), QStringLiteral("E1"));
    slot(paths.workDir, QStringLiteral("11"), QStringLiteral("1"), QStringLiteral("T1"), QStringLiteral("480"),
         QStringLiteral("540"));
    entry(paths.workDir, QStringLiteral("ANA"), 1, 1, QStringLiteral("GUA"), QString(), QString(), room);
    return writeSeneca(paths.dialogDir, QStringLiteral("Horarios.xml"),
                       {yearGroup("2025", "15/09/2025", "22/06/2026"),
                        group("ACTIVIDADES", {{"S", "1", "Docencia", "N", "N"}}),
                        group("DEPENDENCIAS", {{"A1", "Aula 1"}}),
                        group("TRAMOS_HORARIOS", {{"T1", "1ª hora", "480", "540", "J"}}),
                        group("EMPLEADOS", {{"E1", "01/09/2020", "Lengua", "Alba", "Nieto", "Ana"}})});
}

} // namespace

class TestGuiReportOffer : public QObject {
    Q_OBJECT

private slots:
    void offer_data();
    void offer();
};

void TestGuiReportOffer::offer_data() {
    QTest::addColumn<QString>("room");
    QTest::addColumn<bool>("hostMode");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<bool>("asked");
    QTest::newRow("report with an error") << "ZZ" << false << true << true;
    QTest::newRow("declined") << "ZZ" << false << false << true;
    QTest::newRow("clean report") << "A1" << false << true << false;
    QTest::newRow("inside the host's window") << "ZZ" << true << true << false;
}

void TestGuiReportOffer::offer() {
    QFETCH(QString, room);
    QFETCH(bool, hostMode);
    QFETCH(bool, answer);
    QFETCH(bool, asked);
    QTemporaryDir dir;
    const Paths paths = pathsIn(dir.path());
    const QString input = school(paths, room);
    Recorded recorded;
    recorded.answer = answer;

    TMForm form({}, paths);
    form.state().hostMode = hostMode;
    form.state().rememberedFile = input; // the dialog is cancelled: the remembered file is used
    QFileDialog *dialog = form.findChild<QFileDialog *>(QStringLiteral("OpenDialogXML"));
    QTimer::singleShot(0, dialog, &QDialog::reject);
    form.BImportarClick();

    const QString report = QDir(paths.dialogDir).filePath(QStringLiteral("ResultadoVelkorHorarios.informe.html"));
    QVERIFY(QFile::exists(report));
    QStringList expected{QStringLiteral("message:") + Msg::Finished};
    if (asked) {
        expected << QStringLiteral("question:El informe de comprobación tiene 1 error y 0 avisos:\n%1\n\n"
                                   "¿Desea abrirlo en el navegador?")
                        .arg(QDir::toNativeSeparators(report));
        if (answer)
            expected << QStringLiteral("open:") + report;
    }
    QCOMPARE(recorded.events, expected);
    QVERIFY(!form.BImportar->isEnabled());
    if (hostMode) {
        // The host reads the outcome and nothing else.
        QFile ini(paths.iniPath);
        QVERIFY(ini.open(QIODevice::ReadOnly));
        const QByteArray text = ini.readAll();
        QCOMPARE(text.count('='), 1);
        QVERIFY(text.contains("Transformado=1"));
    }
}

QTEST_MAIN(TestGuiReportOffer)
#include "test_gui_report_offer.moc"
