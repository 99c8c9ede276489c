// The HTML help viewer on its own (file resolution, topic paths, keywords, selection) and the
// routing of the program's help requests through the help system to the HTML Help engine, with a
// recording engine in place of the real one.

#include "help/HelpRequests.h"
#include "help/HelpSystem.h"
#include "help/NelHtmlHelp.h"
#include "help/WinHelpViewer.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

namespace {
struct EngineCall {
    QWidget *window;
    QString file;
    int command;
    qintptr number;
    QString text;
};

struct EngineLog {
    std::vector<EngineCall> calls;
    bool destroyed = false;
};

class RecordingEngine final : public HtmlHelpEngine {
public:
    explicit RecordingEngine(std::shared_ptr<EngineLog> log) : m_log(std::move(log)) {}
    ~RecordingEngine() override { m_log->destroyed = true; }
    void HtmlHelp(QWidget *window, const QString &file, HtmlHelpCommand command, const HtmlHelpData &data) override {
        m_log->calls.push_back({window, file, int(command), data.number, data.text});
    }

private:
    std::shared_ptr<EngineLog> m_log;
};

class FakeManager final : public IHelpManager {
public:
    QWidget *GetHandle() const override { return handle; }
    QString GetHelpFile() const override { return file; }
    void Release(int) override {}
    QWidget *handle = nullptr;
    QString file;
};

// A second viewer that takes every keyword and can show contents, to make the selector choose.
class OtherViewer final : public ICustomHelpViewer {
public:
    explicit OtherViewer(QString name) : m_name(std::move(name)) {}
    QString GetViewerName() override { return m_name; }
    int UnderstandsKeyword(const QString &) override { return 1; }
    QStringList GetHelpStrings(const QString &keyword) override { return {m_name + QStringLiteral(": ") + keyword}; }
    bool CanShowTableOfContents() override { return true; }
    void ShowTableOfContents() override { shown.append(QStringLiteral("contents")); }
    void ShowHelp(const QString &helpString) override { shown.append(helpString); }
    void NotifyID(int) override {}
    void SoftShutDown() override {}
    void ShutDown() override {}
    QStringList shown;

private:
    QString m_name;
};

const QString WindowsExe = QStringLiteral("C:\\Prog\\TransVelkorSeneca.exe");
const QString ResolvedOnWindows = QStringLiteral("C:\\Prog\\SENECA.chm");
} // namespace

class TestHelpViewer : public QObject {
    Q_OBJECT

    std::shared_ptr<EngineLog> m_log;
    QString m_appFile;
    QStringList m_messages;

    // A viewer that believes it runs as C:\Prog\TransVelkorSeneca.exe with m_appFile as the
    // application's help file.
    std::unique_ptr<TNelHtmlHelpViewer> makeViewer(std::shared_ptr<IHelpManager> manager = nullptr) {
        auto viewer = std::make_unique<TNelHtmlHelpViewer>(
            std::make_unique<RecordingEngine>(m_log),
            TNelHtmlHelpViewer::Environment{[this] { return m_appFile; }, [] { return WindowsExe; }});
        viewer->SetManager(std::move(manager));
        return viewer;
    }

    QString besideTest() const { return QCoreApplication::applicationDirPath() + QStringLiteral("/SENECA.chm"); }

private slots:
    void init() {
        m_log = std::make_shared<EngineLog>();
        m_appFile = QStringLiteral("SENECA.chm");
        m_messages.clear();
    }

    // --- the viewer on its own ---

    void resolvesHelpFile_data() {
        QTest::addColumn<QString>("executable");
        QTest::addColumn<QString>("applicationFile");
        QTest::addColumn<QString>("requestFile");
        QTest::addColumn<QString>("expected");
        QTest::newRow("bare name beside a Windows executable") << WindowsExe << "SENECA.chm" << "" << ResolvedOnWindows;
        QTest::newRow("bare name beside a Linux executable")
            << "/opt/tvs/TransVelkorSeneca" << "SENECA.chm" << "" << "/opt/tvs/SENECA.chm";
        QTest::newRow("Windows folder kept") << WindowsExe << "D:\\Ayuda\\SENECA.chm" << "" << "D:\\Ayuda\\SENECA.chm";
        QTest::newRow("relative folder kept") << "/opt/tvs/x" << "doc/SENECA.chm" << "" << "doc/SENECA.chm";
        QTest::newRow("request's file before the application's") << WindowsExe << "SENECA.chm" << "OTRA.chm"
                                                                  << "C:\\Prog\\OTRA.chm";
        QTest::newRow("empty stays empty") << WindowsExe << "" << "" << "";
    }
    void resolvesHelpFile() {
        QFETCH(QString, executable);
        QFETCH(QString, applicationFile);
        QFETCH(QString, requestFile);
        QFETCH(QString, expected);
        auto manager = std::make_shared<FakeManager>();
        manager->file = requestFile;
        TNelHtmlHelpViewer viewer(nullptr, {[&] { return applicationFile; }, [&] { return executable; }});
        viewer.SetManager(manager);
        QCOMPARE(viewer.HelpFile(), expected);
    }

    void chmTest_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("isChm");
        QTest::newRow("upper case") << "SENECA.CHM" << true;
        QTest::newRow("lower case with folder") << "C:\\Prog\\SENECA.chm" << true;
        QTest::newRow("backup") << "SENECA.chm.bak" << false;
        QTest::newRow("no dot") << "SENECA" << false;
        QTest::newRow("WinHelp") << "SENECA.hlp" << false;
        QTest::newRow("empty") << "" << false;
    }
    void chmTest() {
        QFETCH(QString, name);
        QFETCH(bool, isChm);
        QCOMPARE(TNelHtmlHelpViewer::IsChm(name), isChm);
    }

    void displayTopicBuildsThePath_data() {
        QTest::addColumn<QString>("topic");
        QTest::addColumn<QString>("path");
        QTest::newRow("no extension") << "intro" << ResolvedOnWindows + "::/intro.htm";
        QTest::newRow("upper-case .HTML") << "a.HTML" << ResolvedOnWindows + "::/a.HTML";
        QTest::newRow(".htm") << "cursos.htm" << ResolvedOnWindows + "::/cursos.htm";
        QTest::newRow("other extension") << "page.txt" << ResolvedOnWindows + "::/page.txt.htm";
        QTest::newRow("dot in a folder name") << "v1.2\\page" << ResolvedOnWindows + "::/v1.2\\page.htm";
    }
    void displayTopicBuildsThePath() {
        QFETCH(QString, topic);
        QFETCH(QString, path);
        auto viewer = makeViewer();
        QVERIFY(viewer->UnderstandsTopic(topic));
        viewer->DisplayTopic(topic);
        QCOMPARE(m_log->calls.size(), size_t(1));
        QCOMPARE(m_log->calls[0].command, 0);
        QCOMPARE(m_log->calls[0].file, path);
        QCOMPARE(m_log->calls[0].number, qintptr(0));
    }

    void showHelpLooksUpTheKeyword_data() {
        QTest::addColumn<QString>("helpString");
        QTest::addColumn<QString>("keyword");
        QTest::newRow("viewer's own entry") << "NelHtmlHelp: Cursos" << "Cursos";
        QTest::newRow("no colon") << "Cursos" << "Cursos";
        QTest::newRow("several colons") << "a:b:c" << "b:c";
        QTest::newRow("blanks and controls") << "\tNelHtmlHelp:\t Cursos \r\n" << "Cursos";
    }
    void showHelpLooksUpTheKeyword() {
        QFETCH(QString, helpString);
        QFETCH(QString, keyword);
        auto viewer = makeViewer();
        QCOMPARE(viewer->UnderstandsKeyword(helpString), 1);
        viewer->ShowHelp(helpString);
        QCOMPARE(m_log->calls.size(), size_t(1));
        QCOMPARE(m_log->calls[0].command, 2);
        QCOMPARE(m_log->calls[0].file, ResolvedOnWindows);
        QCOMPARE(m_log->calls[0].text, keyword);
    }

    void contentsAndContextUseTheResolvedFile() {
        auto manager = std::make_shared<FakeManager>();
        QWidget owner;
        manager->handle = &owner;
        auto viewer = makeViewer(manager);
        viewer->ShowTableOfContents();
        // The help file named with the context is not used for the display: the resolved one is.
        viewer->DisplayHelpByContext(1, QStringLiteral("X:\\otra\\AYUDA.chm"));
        QCOMPARE(m_log->calls.size(), size_t(2));
        QCOMPARE(m_log->calls[0].command, 1);
        QCOMPARE(m_log->calls[0].file, ResolvedOnWindows);
        QCOMPARE(m_log->calls[0].number, qintptr(0));
        QCOMPARE(m_log->calls[0].window, &owner);
        QCOMPARE(m_log->calls[1].command, 15);
        QCOMPARE(m_log->calls[1].file, ResolvedOnWindows);
        QCOMPARE(m_log->calls[1].number, qintptr(1));
    }

    void contextTestLooksAtTheGivenFileOnly() {
        auto viewer = makeViewer();
        QVERIFY(!viewer->UnderstandsContext(1, QStringLiteral("SENECA.hlp")));
        QVERIFY(viewer->UnderstandsContext(1, QStringLiteral("SENECA.CHM")));
        m_appFile = QStringLiteral("SENECA.hlp");
        QVERIFY(viewer->UnderstandsContext(1, QStringLiteral("SENECA.chm")));
    }

    void notAChmShowsNothing() {
        m_appFile = QStringLiteral("SENECA.hlp");
        auto viewer = makeViewer();
        QCOMPARE(viewer->UnderstandsKeyword(QStringLiteral("Cursos")), 0);
        QVERIFY(!viewer->UnderstandsTopic(QStringLiteral("intro")));
        QVERIFY(viewer->CanShowTableOfContents());
        viewer->ShowTableOfContents();
        viewer->ShowHelp(QStringLiteral("Cursos"));
        viewer->DisplayTopic(QStringLiteral("intro"));
        viewer->DisplayHelpByContext(1, QStringLiteral("SENECA.chm"));
        QCOMPARE(m_log->calls.size(), size_t(0));
    }

    void selectKeyword_data() {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<int>("index");
        QTest::newRow("first is ours") << QStringList{"NelHtmlHelp: Cursos", "WinHelp: Cursos"} << 0;
        QTest::newRow("second is ours") << QStringList{"Alfa: Cursos", "NelHtmlHelp: Cursos"} << 1;
        QTest::newRow("entry without colon") << QStringList{"Alfa: x", "NelHtmlHelp"} << 1;
        QTest::newRow("name must match exactly") << QStringList{"NelHtmlHelpX: a", "nelhtmlhelp: a", "NelHtmlHelp: a"} << 2;
        QTest::newRow("none is ours") << QStringList{"WinHelp: Cursos", "Otro"} << 0;
    }
    void selectKeyword() {
        QFETCH(QStringList, entries);
        QFETCH(int, index);
        QCOMPARE(makeViewer()->SelectKeyword(entries), index);
    }

    void tableOfContents_data() {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<int>("index");
        QTest::newRow("first") << QStringList{"NelHtmlHelp", "WinHelp"} << 0;
        QTest::newRow("second") << QStringList{"Alfa", "NelHtmlHelp"} << 1;
        QTest::newRow("absent") << QStringList{"WinHelp"} << -1;
        QTest::newRow("case differs") << QStringList{"nelhtmlhelp"} << -1;
    }
    void tableOfContents() {
        QFETCH(QStringList, names);
        QFETCH(int, index);
        QCOMPARE(makeViewer()->TableOfContents(names), index);
    }

    void helpStringsAndShutDown() {
        auto viewer = makeViewer(std::make_shared<FakeManager>());
        QCOMPARE(viewer->GetViewerName(), QStringLiteral("NelHtmlHelp"));
        QCOMPARE(viewer->GetHelpStrings(QStringLiteral("Cursos")), QStringList{QStringLiteral("NelHtmlHelp: Cursos")});
        viewer->ShutDown();
        QCOMPARE(m_log->calls.size(), size_t(1));
        QCOMPARE(m_log->calls[0].command, 18);
        QCOMPARE(m_log->calls[0].window, nullptr);
        QCOMPARE(m_log->calls[0].file, QString());
        QVERIFY(!viewer->Manager());
    }

    void winHelpTesterDeclines() {
        TNelWinHelpTester tester;
        QVERIFY(!tester.CanShowALink(QStringLiteral("Cursos"), QStringLiteral("SENECA.hlp")));
        QVERIFY(!tester.CanShowTopic(QStringLiteral("intro"), QStringLiteral("SENECA.hlp")));
        QVERIFY(!tester.CanShowContext(1, QStringLiteral("SENECA.hlp")));
        QCOMPARE(tester.GetHelpStrings(QStringLiteral("Cursos")), QStringList{QStringLiteral(": Cursos")});
        QCOMPARE(tester.GetHelpPath(), QString());
        QCOMPARE(tester.GetDefaultHelpFile(), QString());
    }

    // --- the program's requests, through the application's help system ---

    void startAndEnd() {
        HelpSystem system;
        RegisterWinHelpViewer(system);
        StartNelHtmlHelp(system, std::make_unique<RecordingEngine>(m_log));
        QVERIFY(HelpViewer);
        QCOMPARE(system.ViewerCount(), 2);
        QVERIFY(HelpViewer->Manager());
        QCOMPARE(system.HelpSelector().get(), static_cast<IHelpSelector *>(HelpViewer));
        QVERIFY(dynamic_cast<TNelWinHelpTester *>(WinHelpTester.get()));

        EndNelHtmlHelp(system);
        QCOMPARE(system.ViewerCount(), 1);
        QVERIFY(!HelpViewer);
        QVERIFY(m_log->destroyed);
        QCOMPARE(m_log->calls.size(), size_t(1));
        QCOMPARE(m_log->calls[0].command, 18);
        WinHelpTester.reset();
    }

    void applicationRequests() {
        ApplicationHelpSystem().SetMessageHook([this](const QString &m) { m_messages.append(m); });
        StartNelHtmlHelp(ApplicationHelpSystem(), std::make_unique<RecordingEngine>(m_log));
        SetApplicationHelpFile(QStringLiteral("SENECA.chm"));

        QWidget window;
        window.setProperty(HelpContextProperty, 1);
        auto *layout = new QVBoxLayout(&window);
        auto *edit = new QLineEdit(&window);
        auto *button = new QPushButton(QStringLiteral("F1 AYUDA"), &window);
        layout->addWidget(edit);
        layout->addWidget(button);
        QWidget stranger; // no help context anywhere up its chain
        auto *strangerEdit = new QLineEdit(&stranger);
        InstallHelpKey(*qApp);
        InstallHelpKey(*qApp); // a second call must not make F1 ask twice
        window.show();
        stranger.show();

        // F1 on a control inherits the window's context 1.
        QTest::keyClick(edit, Qt::Key_F1);
        QCOMPARE(m_log->calls.size(), size_t(1));
        QCOMPARE(m_log->calls[0].command, 15);
        QCOMPARE(m_log->calls[0].number, qintptr(1));
        QCOMPARE(m_log->calls[0].file, besideTest());
        QCOMPARE(m_log->calls[0].window, &window);

        // F1 where nothing carries a context: nothing asked.
        QTest::keyClick(strangerEdit, Qt::Key_F1);
        QCOMPARE(m_log->calls.size(), size_t(1));

        // The help button: the contents of SENECA.chm, even after the help file was changed.
        SetApplicationHelpFile(QStringLiteral("OTRA.chm"));
        QObject::connect(button, &QPushButton::clicked, [] { RequestHelpContents(); });
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(ApplicationHelpFile(), QStringLiteral("SENECA.chm"));
        QCOMPARE(m_log->calls.size(), size_t(2));
        QCOMPARE(m_log->calls[1].command, 1);
        QCOMPARE(m_log->calls[1].number, qintptr(0));
        QCOMPARE(m_log->calls[1].file, besideTest());

        // Keyword and topic requests: the WinHelp viewer declines them, ours takes them.
        QVERIFY(ApplicationHelpSystem().ShowHelp(QStringLiteral("Cursos"), ApplicationHelpFile()));
        QVERIFY(ApplicationHelpSystem().ShowTopicHelp(QStringLiteral("cursos"), ApplicationHelpFile()));
        QCOMPARE(m_log->calls.size(), size_t(4));
        QCOMPARE(m_log->calls[2].command, 2);
        QCOMPARE(m_log->calls[2].text, QStringLiteral("Cursos"));
        QCOMPARE(m_log->calls[3].command, 0);
        QCOMPARE(m_log->calls[3].file, besideTest() + QStringLiteral("::/cursos.htm"));
        QVERIFY(m_messages.isEmpty());

        // The help system's own words when no viewer takes a request.
        QVERIFY(!ApplicationHelpSystem().ShowContextHelp(1, QStringLiteral("SENECA.hlp")));
        SetApplicationHelpFile(QStringLiteral("SENECA.hlp"));
        QVERIFY(!ApplicationHelpSystem().ShowHelp(QStringLiteral("Cursos"), ApplicationHelpFile()));
        QVERIFY(!ApplicationHelpSystem().ShowTopicHelp(QStringLiteral("cursos"), ApplicationHelpFile()));
        QCOMPARE(m_messages, (QStringList{HelpMsg::NoContextViewer, HelpMsg::NoKeywordViewer.arg(QStringLiteral("Cursos")),
                                          HelpMsg::NoTopicViewer}));
        QCOMPARE(m_log->calls.size(), size_t(4));

        EndNelHtmlHelp();
        QVERIFY(!HelpViewer);
        QCOMPARE(ApplicationHelpSystem().ViewerCount(), 1);
        // With the viewer gone, F1 reaches the help system, which says that nobody took it.
        SetApplicationHelpFile(QStringLiteral("SENECA.chm"));
        QTest::keyClick(edit, Qt::Key_F1);
        QCOMPARE(m_messages.size(), 4);
        QCOMPARE(m_messages.last(), HelpMsg::NoContextViewer);
        ApplicationHelpSystem().SetMessageHook(nullptr);
        WinHelpTester.reset();
    }

    void selectorChoosesAmongSeveralViewers() {
        HelpSystem system;
        system.SetMessageHook([this](const QString &m) { m_messages.append(m); });
        RegisterWinHelpViewer(system);
        auto other = std::make_shared<OtherViewer>(QStringLiteral("Alfa"));
        system.RegisterViewer(other);
        StartNelHtmlHelp(system, std::make_unique<RecordingEngine>(m_log));

        // Entries "Alfa: Cursos" and "NelHtmlHelp: Cursos", sorted; the selector picks ours.
        QVERIFY(system.ShowHelp(QStringLiteral("Cursos"), QStringLiteral("SENECA.chm")));
        // Viewers that can show contents, sorted by name: Alfa, NelHtmlHelp, WinHelp.
        QVERIFY(system.Hook(nullptr, QStringLiteral("SENECA.chm"), HelpCommand::Contents, 0));
        QVERIFY(other->shown.isEmpty());
        QCOMPARE(m_log->calls.size(), size_t(2));
        QCOMPARE(m_log->calls[0].command, 2);
        QCOMPARE(m_log->calls[0].text, QStringLiteral("Cursos"));
        QCOMPARE(m_log->calls[1].command, 1);
        QVERIFY(m_messages.isEmpty());

        // Without our selector, the WinHelp viewer still declines contexts only through the tester.
        EndNelHtmlHelp(system);
        WinHelpTester.reset();
        QVERIFY(system.ShowContextHelp(1, QStringLiteral("SENECA.hlp")));
        QVERIFY(m_messages.isEmpty());
    }

    void missingEngineShowsNothingAndSaysNothing() {
        HelpSystem system;
        system.SetMessageHook([this](const QString &m) { m_messages.append(m); });
        RegisterWinHelpViewer(system);
        StartNelHtmlHelp(system, nullptr);
        QVERIFY(HelpViewer && !HelpViewer->HasEngine());
        QVERIFY(system.ShowContextHelp(1, QStringLiteral("SENECA.chm")));
        QVERIFY(system.Hook(nullptr, QStringLiteral("SENECA.chm"), HelpCommand::Contents, 0));
        QVERIFY(system.ShowHelp(QStringLiteral("Cursos"), QStringLiteral("SENECA.chm")));
        QVERIFY(system.ShowTopicHelp(QStringLiteral("intro"), QStringLiteral("SENECA.chm")));
        QVERIFY(m_messages.isEmpty());
        EndNelHtmlHelp(system);
        QVERIFY(!HelpViewer);
        WinHelpTester.reset();
    }
};

QTEST_MAIN(TestHelpViewer)
#include "test_gui_help_viewer.moc"
