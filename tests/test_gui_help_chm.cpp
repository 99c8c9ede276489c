// Our HTML Help engine on the user guide as built (SENECA.chm beside the executables): the file's
// own tables as chmlib leaves them to us, the contents and index sitemaps, page decoding, the
// guide's integrity, and the help window that each command opens.

#include "help/ChmArchive.h"
#include "help/ChmHelpEngine.h"
#include "help/ChmHelpWindow.h"
#include "help/ChmSitemap.h"
#include "help/HtmlText.h"

#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTreeWidget>

namespace {
// The guide this build compiled, or the one TVS_GUIDE names (the Windows zip's, for instance).
const QString GuidePath = qEnvironmentVariableIsSet("TVS_GUIDE") ? qEnvironmentVariable("TVS_GUIDE")
                                                                 : QStringLiteral(TVS_BINARY_DIR "/SENECA.chm");

QString pageText(const ChmHelpWindow &window) { return window.TopicPane()->toPlainText(); }

void collectLocals(const QList<ChmSitemapItem> &items, QStringList &locals, int &count) {
    for (const ChmSitemapItem &item : items) {
        ++count;
        locals += item.locals;
        collectLocals(item.children, locals, count);
    }
}
} // namespace

class TestHelpChm : public QObject {
    Q_OBJECT

    std::unique_ptr<ChmArchive> openGuide() {
        auto archive = ChmArchive::Open(GuidePath);
        if (!archive)
            qWarning("cannot open %s", qPrintable(GuidePath));
        return archive;
    }

private slots:
    void initTestCase() {
        QVERIFY2(QFile::exists(GuidePath), "SENECA.chm was not built (fpc, Debian fp-compiler and fp-units-misc)");
    }

    // --- the file's own tables ---

    void guideTables() {
        auto archive = openGuide();
        QVERIFY(archive);
        QCOMPARE(archive->Title(), QStringLiteral("Ayuda de TransVelkorSeneca"));
        QCOMPARE(archive->DefaultTopic(), QStringLiteral("/inicio.htm"));
        QCOMPARE(archive->ContentsFile(), QStringLiteral("/SENECA.hhc"));
        QCOMPARE(archive->IndexFile(), QStringLiteral("/SENECA.hhk"));
        // Context 1 (F1) is recorded as a name inside the archive, which is all Windows' HTML
        // Help can open; an absolute path from the building machine would open nothing there.
        QCOMPARE(archive->ContextMap().value(1), QStringLiteral("inicio.htm"));
        QCOMPARE(archive->ContextTopic(1), QStringLiteral("/inicio.htm"));
        QCOMPARE(archive->ContextTopic(2), QString());
    }

    void openRefusesWhatIsNotAHelpFile() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QFile junk(dir.filePath(QStringLiteral("roto.chm")));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write(QByteArray(4096, 'x'));
        junk.close();
        QVERIFY(!ChmArchive::Open(junk.fileName()));
        QVERIFY(!ChmArchive::Open(dir.filePath(QStringLiteral("no-existe.chm"))));
        QVERIFY(!ChmArchive::Open(QString()));
    }

    void entryNames_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("entry");
        QTest::newRow("bare") << "inicio.htm" << "/inicio.htm";
        QTest::newRow("backslashes") << "dir\\page.htm" << "/dir/page.htm";
        QTest::newRow("dot and dot-dot") << "./dir/x/../page.htm" << "/dir/page.htm";
        QTest::newRow("absolute Windows path") << "C:\\build\\inicio.htm" << "/C:/build/inicio.htm";
    }
    void entryNames() {
        QFETCH(QString, path);
        QFETCH(QString, entry);
        QCOMPARE(ChmArchive::EntryName(path), entry);
    }

    // --- sitemaps and page text ---

    void parsesSitemaps() {
        // Lower-case tags, unquoted and single-quoted values, no </LI>, an entity, an item without
        // a Name, a site-properties object, a Local given as a full "file.chm::/path" reference.
        const QByteArray hhc = "<html><body><object type=\"text/site properties\"><param name=Name value=Nada></object>"
                               "<ul><li><object type=text/sitemap><param name=Name value='Inicio &amp; gu&#237;a'>"
                               "<param name=Local value=inicio.htm></object>"
                               "<ul><li><OBJECT type=\"text/sitemap\"><PARAM name=\"Local\" value=\"sin-nombre.htm\"></OBJECT>"
                               "<li><OBJECT type=\"text/sitemap\"><PARAM name=\"Name\" value=\"Cursos\">"
                               "<PARAM name=\"Local\" value=\"SENECA.chm::/cursos.htm\"><PARAM name=\"Local\" value=\"b.htm\"></OBJECT>"
                               "</ul><li><object type=\"text/sitemap\"><param name=\"Name\" value=\"Final\"></object></ul>";
        const QList<ChmSitemapItem> items = ParseSitemap(hhc);
        QCOMPARE(items.size(), 2);
        QCOMPARE(items[0].name, QStringLiteral("Inicio & guía"));
        QCOMPARE(items[0].locals, QStringList{QStringLiteral("inicio.htm")});
        QCOMPARE(items[0].children.size(), 1);
        QCOMPARE(items[0].children[0].name, QStringLiteral("Cursos"));
        QCOMPARE(items[0].children[0].locals, (QStringList{"SENECA.chm::/cursos.htm", "b.htm"}));
        QCOMPARE(items[1].name, QStringLiteral("Final"));
        QVERIFY(items[1].locals.isEmpty());
    }

    void decodesByDeclaredCharset_data() {
        QTest::addColumn<QByteArray>("html");
        QTest::addColumn<QString>("text");
        QTest::newRow("no declaration is Windows-1252")
            << QByteArray("<p>Gu\xed" "a \x80</p>") << QStringLiteral("<p>Guía €</p>");
        QTest::newRow("http-equiv utf-8")
            << QByteArray("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\"><p>Gu\xc3\xad" "a</p>")
            << QStringLiteral("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\"><p>Guía</p>");
        QTest::newRow("meta charset UTF-8") << QByteArray("<meta charset=\"UTF-8\">\xc3\xb1") << QStringLiteral("<meta charset=\"UTF-8\">ñ");
        QTest::newRow("windows-1252 declared") << QByteArray("<META CONTENT='text/html; charset=Windows-1252'>\xf1")
                                               << QStringLiteral("<META CONTENT='text/html; charset=Windows-1252'>ñ");
        QTest::newRow("iso-8859-1 read as Windows-1252") << QByteArray("<meta charset=iso-8859-1>\x80")
                                                         << QStringLiteral("<meta charset=iso-8859-1>€");
        QTest::newRow("byte-order mark") << QByteArray("\xef\xbb\xbf\xc3\xa9") << QStringLiteral("é");
    }
    void decodesByDeclaredCharset() {
        QFETCH(QByteArray, html);
        QFETCH(QString, text);
        QCOMPARE(DecodeHtmlText(html), text);
    }

    // --- the guide as shipped ---

    void guideIsWhole() {
        auto archive = openGuide();
        QVERIFY(archive);
        const QList<ChmSitemapItem> contents = ParseSitemap(*archive->Read(archive->ContentsFile()));
        QCOMPARE(contents.size(), 1);
        QCOMPARE(contents[0].name, QStringLiteral("Guía de TransVelkorSeneca"));
        QCOMPARE(contents[0].locals, QStringList{QStringLiteral("inicio.htm")});
        QVERIFY(contents[0].children.size() >= 8);
        QStringList locals;
        int contentsEntries = 0;
        collectLocals(contents, locals, contentsEntries);
        int indexEntries = 0;
        collectLocals(ParseSitemap(*archive->Read(archive->IndexFile())), locals, indexEntries);
        QVERIFY(indexEntries >= 20);

        // Every page's links and images lead somewhere inside the file, and every page says how
        // it is encoded and decodes cleanly.
        static const QRegularExpression reference(QStringLiteral("(?:href|src)=\"([^\"#:]+)"));
        for (const QString &entry : archive->Entries()) {
            if (!entry.endsWith(QLatin1String(".htm")))
                continue;
            const QByteArray bytes = *archive->Read(entry);
            QVERIFY2(!DeclaredCharset(bytes).isEmpty(), qPrintable(entry));
            QVERIFY2(!DecodeHtmlText(bytes).contains(QChar::ReplacementCharacter), qPrintable(entry));
            for (auto m = reference.globalMatch(QString::fromLatin1(bytes)); m.hasNext();)
                locals.append(m.next().captured(1));
        }
        for (const QString &local : locals) {
            const QString path = local.section(QLatin1Char('#'), 0, 0);
            QVERIFY2(archive->Contains(path), qPrintable(local));
        }
    }

    // --- the engine and its window ---

    void contextOneOpensTheStartPage() {
        ChmHelpEngine engine;
        engine.HtmlHelp(nullptr, GuidePath, HtmlHelpCommand::HelpContext, {1, QString()});
        ChmHelpWindow *window = engine.Window();
        QVERIFY(window);
        QVERIFY(window->isVisible());
        QCOMPARE(window->windowTitle(), QStringLiteral("Ayuda de TransVelkorSeneca"));
        QCOMPARE(window->CurrentTopic(), QStringLiteral("/inicio.htm"));
        QVERIFY(pageText(*window).contains(QStringLiteral("En qué orden se usa durante el curso")));
        // The page's image comes out of the archive.
        const QVariant image = window->TopicPane()->loadResource(QTextDocument::ImageResource, QUrl(QStringLiteral("flujo.png")));
        QVERIFY(!QImage::fromData(image.toByteArray()).isNull());

        // A link followed inside the pane.
        emit window->TopicPane()->anchorClicked(QUrl(QStringLiteral("cursos.htm")));
        QCOMPARE(window->CurrentTopic(), QStringLiteral("/cursos.htm"));

        engine.HtmlHelp(nullptr, QString(), HtmlHelpCommand::CloseAll, {});
        QVERIFY(!engine.Window());
    }

    void commandsShowWhatTheySay() {
        ChmHelpEngine engine;
        engine.HtmlHelp(nullptr, GuidePath + QStringLiteral("::/cursos.htm"), HtmlHelpCommand::DisplayTopic, {});
        ChmHelpWindow *window = engine.Window();
        QVERIFY(window);
        QCOMPARE(window->CurrentTopic(), QStringLiteral("/cursos.htm"));
        QVERIFY(pageText(*window).contains(QStringLiteral("ESO1A")));

        engine.HtmlHelp(nullptr, GuidePath, HtmlHelpCommand::DisplayToc, {});
        QCOMPARE(engine.Window(), window);
        QCOMPARE(window->ContentsTree()->topLevelItemCount(), 1);
        QVERIFY(window->ContentsTree()->topLevelItem(0)->childCount() >= 8);
        QCOMPARE(window->CurrentTopic(), QStringLiteral("/cursos.htm")); // the page shown stays

        engine.HtmlHelp(nullptr, GuidePath, HtmlHelpCommand::DisplayIndex, {0, QStringLiteral("tabla en")});
        QVERIFY(window->IndexList()->count() >= 20);
        QVERIFY(window->IndexList()->currentItem());
        QCOMPARE(window->IndexList()->currentItem()->text(), QStringLiteral("Tabla en uso"));
        QCOMPARE(window->CurrentTopic(), QStringLiteral("/mensajes.htm"));

        // A topic that the file lacks leaves the page as it was.
        engine.HtmlHelp(nullptr, GuidePath + QStringLiteral("::/falta.htm"), HtmlHelpCommand::DisplayTopic, {});
        QCOMPARE(window->CurrentTopic(), QStringLiteral("/mensajes.htm"));
    }

    void contentsOpenOnTheDefaultTopic() {
        ChmHelpEngine engine;
        engine.HtmlHelp(nullptr, GuidePath, HtmlHelpCommand::DisplayToc, {});
        QVERIFY(engine.Window());
        QCOMPARE(engine.Window()->CurrentTopic(), QStringLiteral("/inicio.htm"));
    }

    void nothingToShowOpensNothing() {
        ChmHelpEngine engine;
        engine.HtmlHelp(nullptr, GuidePath, HtmlHelpCommand::HelpContext, {99, QString()});
        QVERIFY(!engine.Window());
        engine.HtmlHelp(nullptr, QStringLiteral(TVS_BINARY_DIR "/NOEXISTE.chm"), HtmlHelpCommand::DisplayToc, {});
        QVERIFY(!engine.Window());
    }

    void windowBelongsToTheRequestingWindow() {
        ChmHelpEngine engine;
        auto owner = std::make_unique<QWidget>();
        QLineEdit *control = new QLineEdit(owner.get());
        engine.HtmlHelp(control, GuidePath, HtmlHelpCommand::HelpContext, {1, QString()});
        QVERIFY(engine.Window());
        QCOMPARE(engine.Window()->parentWidget(), owner.get());
        QVERIFY(engine.Window()->isWindow());
        owner.reset(); // the help window goes with its owner
        QVERIFY(!engine.Window());
    }
};

QTEST_MAIN(TestHelpChm)
#include "test_gui_help_chm.moc"
