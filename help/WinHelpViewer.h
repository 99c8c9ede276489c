#pragma once
// The help system's viewer for the older WinHelp format (.hlp). There is no WinHelp engine on the
// systems this program runs on, so it never shows anything; it only answers the help system's
// questions. A program can install a global tester that decides for it which requests it takes.

#include "help/HelpSystem.h"

#include <memory>

class IWinHelpTester {
public:
    virtual ~IWinHelpTester() = default;
    virtual bool CanShowALink(const QString &link, const QString &helpFile) = 0;
    virtual bool CanShowTopic(const QString &topic, const QString &helpFile) = 0;
    virtual bool CanShowContext(int context, const QString &helpFile) = 0;
    virtual QStringList GetHelpStrings(const QString &link) = 0;
    virtual QString GetHelpPath() = 0;
    virtual QString GetDefaultHelpFile() = 0;
};

// The tester that every WinHelp viewer consults; none by default.
extern std::shared_ptr<IWinHelpTester> WinHelpTester;

class TWinHelpViewer final : public IExtendedHelpViewer {
public:
    static inline const QString ViewerName = QStringLiteral("WinHelp");

    QString GetViewerName() override { return ViewerName; }
    // Without a tester: a keyword, topic or context is taken when the help file is a .hlp.
    int UnderstandsKeyword(const QString &keyword) override;
    QStringList GetHelpStrings(const QString &keyword) override;
    bool CanShowTableOfContents() override { return true; }
    void ShowTableOfContents() override {}
    void ShowHelp(const QString &) override {}
    void NotifyID(int viewerId) override { m_viewerId = viewerId; }
    void SoftShutDown() override {}
    void ShutDown() override { m_manager.reset(); }
    bool UnderstandsTopic(const QString &topic) override;
    void DisplayTopic(const QString &) override {}
    bool UnderstandsContext(int context, const QString &helpFile) override;
    void DisplayHelpByContext(int, const QString &) override {}

    void SetManager(std::shared_ptr<IHelpManager> manager) { m_manager = std::move(manager); }
    int ViewerId() const { return m_viewerId; }

private:
    QString HelpFile() const;

    int m_viewerId = 0;
    std::shared_ptr<IHelpManager> m_manager;
};

void RegisterWinHelpViewer(HelpSystem &system);
