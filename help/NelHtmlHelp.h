#pragma once
// The help viewer for compiled HTML help (.chm). It registers with the help system, makes itself
// the selector so that it wins whenever the WinHelp viewer could also answer, and installs a
// WinHelp tester that makes the WinHelp viewer decline keywords, topics and contexts. It shows
// help through the HTML Help engine; without an engine every display does nothing, silently.

#include "help/HelpSystem.h"
#include "help/HtmlHelpEngine.h"
#include "help/WinHelpViewer.h"

#include <functional>
#include <memory>

class TNelHtmlHelpViewer final : public IExtendedHelpViewer, public IHelpSelector {
public:
    static inline const QString ViewerName = QStringLiteral("NelHtmlHelp");

    // Where the viewer looks for the application's help file and the running executable's path.
    struct Environment {
        std::function<QString()> applicationHelpFile;
        std::function<QString()> executableFile;
    };
    static Environment DefaultEnvironment();

    explicit TNelHtmlHelpViewer(std::unique_ptr<HtmlHelpEngine> engine, Environment environment = DefaultEnvironment());
    ~TNelHtmlHelpViewer() override;
    TNelHtmlHelpViewer(const TNelHtmlHelpViewer &) = delete;
    TNelHtmlHelpViewer &operator=(const TNelHtmlHelpViewer &) = delete;

    // ICustomHelpViewer
    QString GetViewerName() override { return m_viewerName; }
    int UnderstandsKeyword(const QString &keyword) override;
    QStringList GetHelpStrings(const QString &keyword) override;
    bool CanShowTableOfContents() override { return true; }
    void ShowTableOfContents() override;
    void ShowHelp(const QString &helpString) override;
    void NotifyID(int viewerId) override { m_viewerId = viewerId; }
    void SoftShutDown() override;
    void ShutDown() override;
    // IExtendedHelpViewer
    bool UnderstandsTopic(const QString &topic) override;
    void DisplayTopic(const QString &topic) override;
    bool UnderstandsContext(int context, const QString &helpFile) override;
    void DisplayHelpByContext(int context, const QString &helpFile) override;
    // IHelpSelector
    int SelectKeyword(const QStringList &entries) override;
    int TableOfContents(const QStringList &viewerNames) override;

    // The help file of the current request, or the application's, with the executable's folder in
    // front when it names no folder; empty stays empty.
    QString HelpFile() const;
    // True when the text from the last "." on is ".chm", whatever the case of its letters.
    static bool IsChm(const QString &fileName);
    // "help file::/topic", with ".htm" appended to a topic whose extension is neither .htm nor .html.
    QString TopicPath(const QString &topic) const;
    // The keyword that ShowHelp looks up: the text after the first colon, trimmed.
    static QString KeywordOf(const QString &helpString);

    void SetManager(std::shared_ptr<IHelpManager> manager) { m_manager = std::move(manager); }
    const std::shared_ptr<IHelpManager> &Manager() const { return m_manager; }
    int ViewerId() const { return m_viewerId; }
    bool HasEngine() const { return bool(m_engine); }

private:
    void CallHtmlHelp(const QString &file, HtmlHelpCommand command, const HtmlHelpData &data);

    int m_viewerId = 0;
    QString m_viewerName;
    std::unique_ptr<HtmlHelpEngine> m_engine;
    std::shared_ptr<IHelpManager> m_manager;
    QString m_defaultTopicExtension;
    Environment m_environment;
};

// Answers no to everything the WinHelp viewer asks, so that requests reach the HTML help viewer.
class TNelWinHelpTester final : public IWinHelpTester {
public:
    bool CanShowALink(const QString &, const QString &) override { return false; }
    bool CanShowTopic(const QString &, const QString &) override { return false; }
    bool CanShowContext(int, const QString &) override { return false; }
    QStringList GetHelpStrings(const QString &link) override { return {QStringLiteral(": ") + link}; }
    QString GetHelpPath() override { return QString(); }
    QString GetDefaultHelpFile() override { return QString(); }
};

// The viewer while it exists; null before start-up and once it has been destroyed.
extern TNelHtmlHelpViewer *HelpViewer;

// Program start, before the main window exists: creates the viewer, registers it, makes it the
// selector and installs the WinHelp tester.
void StartNelHtmlHelp(HelpSystem &system = ApplicationHelpSystem(),
                      std::unique_ptr<HtmlHelpEngine> engine = LoadHtmlHelpEngine());
// Program end, while the application object still exists: releases the viewer from the help
// system (which shuts it down and closes its help windows) and lets it go.
void EndNelHtmlHelp(HelpSystem &system = ApplicationHelpSystem());
