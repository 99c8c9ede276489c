// The converter started as the host starts it, on an X server of the test's own: a native
// host window, the program given a direction word and that window's id, keys pressed as a
// user would, and Zetarium.ini read afterwards.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#ifdef TVS_HAVE_X11
#include <X11/Xlib.h>
#endif

namespace {

constexpr int ProcessTimeoutMs = 30000;
constexpr int WaitMs = 15000;

QByteArray readAll(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestE2eHostEmbedding : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void cancelledDialogHandsBackMinusOne_data();
    void cancelledDialogHandsBackMinusOne();
    void otherWordEmbedsAndSalirWritesZero();
    void errorRunStaysInTheHost();
    void hostWindowGoneEndsTheConverter_data();
    void hostWindowGoneEndsTheConverter();
    void unusableHandleRunsStandAlone_data();
    void unusableHandleRunsStandAlone();

#ifdef TVS_HAVE_X11
private:
    unsigned long makeHostWindow();
    QList<unsigned long> children(unsigned long window);
    bool isMapped(unsigned long window);
    QProcess *startConverter(const QTemporaryDir &dir, const QStringList &parameters);
    QString xdotool(const QStringList &arguments);
    unsigned long waitForWindow(const QString &nameRegex);
    void pressKey(unsigned long window, const QString &key);
    bool waitForExit(QProcess *process);

    QProcess m_xvfb;
    QString m_display;
    Display *m_x = nullptr;
#endif
};

#ifndef TVS_HAVE_X11
void TestE2eHostEmbedding::initTestCase() {
    QSKIP("built without Xlib");
}
void TestE2eHostEmbedding::cleanupTestCase() {}
void TestE2eHostEmbedding::cancelledDialogHandsBackMinusOne_data() {}
void TestE2eHostEmbedding::cancelledDialogHandsBackMinusOne() {}
void TestE2eHostEmbedding::otherWordEmbedsAndSalirWritesZero() {}
void TestE2eHostEmbedding::errorRunStaysInTheHost() {}
void TestE2eHostEmbedding::hostWindowGoneEndsTheConverter_data() {}
void TestE2eHostEmbedding::hostWindowGoneEndsTheConverter() {}
void TestE2eHostEmbedding::unusableHandleRunsStandAlone_data() {}
void TestE2eHostEmbedding::unusableHandleRunsStandAlone() {}
#else

void TestE2eHostEmbedding::initTestCase() {
    const QString xvfb = QStandardPaths::findExecutable("Xvfb");
    if (xvfb.isEmpty())
        QSKIP("Xvfb is not installed");
    if (QStandardPaths::findExecutable("xdotool").isEmpty())
        QSKIP("xdotool is not installed");

    // A display number no other server holds.
    for (int n = 90; n < 200 && !m_x; ++n) {
        if (QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(n)) ||
            QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n)))
            continue;
        m_display = QStringLiteral(":%1").arg(n);
        m_xvfb.start(xvfb, {m_display, "-nolisten", "tcp", "-screen", "0", "1024x768x24"});
        if (!m_xvfb.waitForStarted())
            QFAIL("Xvfb does not start");
        for (int tries = 0; tries < 100 && !m_x && m_xvfb.state() == QProcess::Running; ++tries) {
            QTest::qWait(100);
            m_x = XOpenDisplay(m_display.toLatin1().constData());
        }
        if (!m_x) {
            m_xvfb.kill();
            m_xvfb.waitForFinished();
        }
    }
    QVERIFY2(m_x, "no X server could be started");
}

void TestE2eHostEmbedding::cleanupTestCase() {
    if (m_x)
        XCloseDisplay(m_x);
    if (m_xvfb.state() != QProcess::NotRunning) {
        m_xvfb.terminate();
        if (!m_xvfb.waitForFinished(5000))
            m_xvfb.kill();
        m_xvfb.waitForFinished();
    }
}

unsigned long TestE2eHostEmbedding::makeHostWindow() {
    const Window root = DefaultRootWindow(m_x);
    const Window host = XCreateSimpleWindow(m_x, root, 50, 50, 800, 600, 0, 0, 0xC0C0C0);
    XStoreName(m_x, host, "Zetarium");
    // Its children's mapping shows up as events: the converter's window must not be seen
    // before the run in it is over.
    XSelectInput(m_x, host, SubstructureNotifyMask);
    XMapWindow(m_x, host);
    XSync(m_x, False);
    return host;
}

QList<unsigned long> TestE2eHostEmbedding::children(unsigned long window) {
    Window root = 0, parent = 0, *list = nullptr;
    unsigned int count = 0;
    QList<unsigned long> result;
    if (XQueryTree(m_x, window, &root, &parent, &list, &count)) {
        for (unsigned int i = 0; i < count; ++i)
            result << list[i];
        XFree(list);
    }
    return result;
}

bool TestE2eHostEmbedding::isMapped(unsigned long window) {
    XWindowAttributes attributes;
    return XGetWindowAttributes(m_x, window, &attributes) && attributes.map_state == IsViewable;
}

QProcess *TestE2eHostEmbedding::startConverter(const QTemporaryDir &dir, const QStringList &parameters) {
    // A copy of the program in a folder of its own, so Zetarium.ini lands there.
    QDir(dir.path()).mkpath("exe");
    QDir(dir.path()).mkpath("ZTEMP/seneca");
    const QString exe = dir.filePath("exe/TransVelkorSeneca");
    if (!QFile::copy(QStringLiteral(TVS_GUI_EXE), exe))
        return nullptr;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", m_display);
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.insert("ZTEMP", dir.filePath("ZTEMP"));
    env.insert("HOME", dir.path());
    // X and font libraries keep caches for the life of the process; that is not ours to judge.
    env.insert("ASAN_OPTIONS", "detect_leaks=0");
    auto *process = new QProcess(this);
    process->setProcessEnvironment(env);
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->start(exe, parameters);
    if (!process->waitForStarted()) {
        delete process;
        return nullptr;
    }
    return process;
}

QString TestE2eHostEmbedding::xdotool(const QStringList &arguments) {
    QProcess tool;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", m_display);
    tool.setProcessEnvironment(env);
    tool.start("xdotool", arguments);
    tool.waitForFinished(10000);
    return QString::fromLocal8Bit(tool.readAllStandardOutput()).trimmed();
}

unsigned long TestE2eHostEmbedding::waitForWindow(const QString &nameRegex) {
    for (int waited = 0; waited < WaitMs; waited += 100) {
        const QString found = xdotool({"search", "--onlyvisible", "--name", nameRegex});
        if (!found.isEmpty())
            return found.split('\n').first().toULong();
        QTest::qWait(100);
    }
    return 0;
}

void TestE2eHostEmbedding::pressKey(unsigned long window, const QString &key) {
    // No window manager runs here: the test gives the keyboard focus itself.
    XSetInputFocus(m_x, window, RevertToParent, CurrentTime);
    XSync(m_x, False);
    QTest::qWait(200);
    xdotool({"key", key});
}

bool TestE2eHostEmbedding::waitForExit(QProcess *process) {
    return process->waitForFinished(ProcessTimeoutMs) && process->exitStatus() == QProcess::NormalExit &&
           process->exitCode() == 0;
}

void TestE2eHostEmbedding::cancelledDialogHandsBackMinusOne_data() {
    QTest::addColumn<QString>("word");
    QTest::newRow("exportar") << "exportar";
    QTest::newRow("IMPORTAR") << "IMPORTAR";
}

void TestE2eHostEmbedding::cancelledDialogHandsBackMinusOne() {
    QFETCH(QString, word);
    QTemporaryDir dir;
    const unsigned long host = makeHostWindow();
    QProcess *converter = startConverter(dir, {word, QString::number(host, 16)});
    QVERIFY(converter);
    auto cleanup = qScopeGuard([&] {
        converter->kill();
        converter->waitForFinished();
        XDestroyWindow(m_x, host);
        XSync(m_x, False);
    });

    const unsigned long dialog = waitForWindow("^Archivo XML");
    QVERIFY2(dialog, "the file dialog did not appear");
    // The converter's window is already the host's child, and not shown while the run goes on.
    const QList<unsigned long> inHost = children(host);
    QCOMPARE(inHost.size(), 1);
    QVERIFY(!isMapped(inHost[0]));

    pressKey(dialog, "Escape");
    const unsigned long message = waitForWindow("^TransVelkorSeneca$");
    QVERIFY2(message, "\"No existe archivo\" was not shown");
    pressKey(message, "Return");

    QVERIFY(waitForExit(converter));
    QCOMPARE(readAll(dir.filePath("exe/Zetarium.ini")), QByteArray("[Transformadores]\r\nTransformado=-1\r\n"));
    // A run that found no file closes the window without it ever being shown.
    XSync(m_x, False);
    while (XPending(m_x)) {
        XEvent event;
        XNextEvent(m_x, &event);
        QVERIFY2(event.type != MapNotify, "the converter's window was shown");
    }
}

void TestE2eHostEmbedding::otherWordEmbedsAndSalirWritesZero() {
    QTemporaryDir dir;
    const unsigned long host = makeHostWindow();
    QProcess *converter = startConverter(dir, {"nada", QString::number(host, 16).toUpper()});
    QVERIFY(converter);
    auto cleanup = qScopeGuard([&] {
        converter->kill();
        converter->waitForFinished();
        XDestroyWindow(m_x, host);
        XSync(m_x, False);
    });

    QList<unsigned long> inHost;
    QTRY_VERIFY_WITH_TIMEOUT((inHost = children(host)).size() == 1 && isMapped(inHost[0]), WaitMs);
    // A direct child, without frame, at the host's top-left corner, of the window's size.
    XWindowAttributes attributes;
    QVERIFY(XGetWindowAttributes(m_x, inHost[0], &attributes));
    QCOMPARE(QRect(attributes.x, attributes.y, attributes.width, attributes.height), QRect(0, 0, 632, 266));
    QCOMPARE(attributes.border_width, 0);
    QVERIFY(!QFile::exists(dir.filePath("exe/Zetarium.ini")));

    // The host holds the focus, as its window manager gives it; a click in the converter's
    // window takes it, and keys then reach it wherever the pointer is.
    XSetInputFocus(m_x, host, RevertToParent, CurrentTime);
    XSync(m_x, False);
    xdotool({"mousemove", "--window", QString::number(inHost[0]), "20", "200", "click", "1"});
    QTRY_COMPARE_WITH_TIMEOUT(xdotool({"getwindowfocus"}).toULong(), inHost[0], WaitMs);
    xdotool({"mousemove", "--window", QString::number(host), "700", "500"});
    xdotool({"key", "alt+s"});
    QVERIFY(waitForExit(converter));
    QCOMPARE(readAll(dir.filePath("exe/Zetarium.ini")), QByteArray("[Transformadores]\r\nTransformado=0\r\n"));
}

void TestE2eHostEmbedding::errorRunStaysInTheHost() {
    QTemporaryDir dir;
    const QString broken = dir.filePath("roto.xml");
    {
        QFile file(broken);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("<?xml version=\"1.0\"?>\n<SERVICIO><BLOQUE_DATOS>");
    }
    const unsigned long host = makeHostWindow();
    QProcess *converter = startConverter(dir, {"exportar", QString::number(host, 16)});
    QVERIFY(converter);
    auto cleanup = qScopeGuard([&] {
        converter->kill();
        converter->waitForFinished();
        XDestroyWindow(m_x, host);
        XSync(m_x, False);
    });

    const unsigned long dialog = waitForWindow("^Archivo XML");
    QVERIFY2(dialog, "the file dialog did not appear");
    XSetInputFocus(m_x, dialog, RevertToParent, CurrentTime);
    XSync(m_x, False);
    QTest::qWait(200);
    xdotool({"type", "--delay", "5", broken});
    xdotool({"key", "Return"});
    const unsigned long error = waitForWindow("^TransVelkorSeneca$");
    QVERIFY2(error, "the error was not shown");
    QVERIFY(!isMapped(children(host).value(0)));
    pressKey(error, "Return");

    // The run ended by an error: the window shows inside the host, the outcome unchanged.
    QList<unsigned long> inHost;
    QTRY_VERIFY_WITH_TIMEOUT((inHost = children(host)).size() == 1 && isMapped(inHost[0]), WaitMs);
    QCOMPARE(converter->state(), QProcess::Running);
    QVERIFY(!QFile::exists(dir.filePath("exe/Zetarium.ini")));
    pressKey(inHost[0], "alt+s");
    QVERIFY(waitForExit(converter));
    QCOMPARE(readAll(dir.filePath("exe/Zetarium.ini")), QByteArray("[Transformadores]\r\nTransformado=0\r\n"));
}

void TestE2eHostEmbedding::hostWindowGoneEndsTheConverter_data() {
    QTest::addColumn<QString>("word");
    QTest::newRow("window shown") << "nada";
    QTest::newRow("file dialog open, window not yet shown") << "exportar";
}

void TestE2eHostEmbedding::hostWindowGoneEndsTheConverter() {
    QFETCH(QString, word);
    QTemporaryDir dir;
    const unsigned long host = makeHostWindow();
    QProcess *converter = startConverter(dir, {word, QString::number(host, 16)});
    QVERIFY(converter);
    auto cleanup = qScopeGuard([&] {
        converter->kill();
        converter->waitForFinished();
    });

    if (word == "exportar")
        QVERIFY2(waitForWindow("^Archivo XML"), "the file dialog did not appear");
    else
        QTRY_VERIFY_WITH_TIMEOUT(children(host).size() == 1 && isMapped(children(host)[0]), WaitMs);
    XDestroyWindow(m_x, host);
    XSync(m_x, False);
    QVERIFY(waitForExit(converter));
    QCOMPARE(readAll(dir.filePath("exe/Zetarium.ini")), QByteArray("[Transformadores]\r\nTransformado=0\r\n"));
}

void TestE2eHostEmbedding::unusableHandleRunsStandAlone_data() {
    QTest::addColumn<QString>("handle");
    QTest::newRow("not hexadecimal") << "0x1F";
    // X ids never use the top three bits, so this one names no window.
    QTest::newRow("no such window") << "7FFFFFFF";
}

void TestE2eHostEmbedding::unusableHandleRunsStandAlone() {
    QFETCH(QString, handle);
    QTemporaryDir dir;
    QProcess *converter = startConverter(dir, {"nada", handle});
    QVERIFY(converter);
    auto cleanup = qScopeGuard([&] {
        converter->kill();
        converter->waitForFinished();
    });

    const unsigned long message = waitForWindow("^TransVelkorSeneca$");
    QVERIFY2(message, "the handle's failure was not shown");
    pressKey(message, "Return");
    const unsigned long window = waitForWindow("^Exportar e importar datos entre Zetarium y Séneca");
    QVERIFY2(window, "the stand-alone window did not appear");
    QVERIFY(children(DefaultRootWindow(m_x)).contains(window));

    pressKey(window, "alt+s");
    QVERIFY(waitForExit(converter));
    QVERIFY(!QFile::exists(dir.filePath("exe/Zetarium.ini")));
}

#endif

QTEST_GUILESS_MAIN(TestE2eHostEmbedding)
#include "test_e2e_host_embedding.moc"
