#pragma once
// The application's help system. Help viewers register with it and get a help manager back;
// it routes every help request of the program (context number, keyword, topic, table of
// contents, or a WinHelp-style command) to the viewer that takes it, and when none does it
// says so in its own words through its message hook. Viewers are shared objects: the help
// system keeps each registered viewer (and its selector) alive until it is released.

#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class QWidget;

// What a viewer may ask of the help system that it registered with.
class IHelpManager {
public:
    virtual ~IHelpManager() = default;
    // The window that help windows of the current request belong to; null when none.
    virtual QWidget *GetHandle() const = 0;
    // The help file named by the current request; empty outside a request or when it named none.
    virtual QString GetHelpFile() const = 0;
    // Unregisters the viewer with that number; the viewer is told to shut down first.
    virtual void Release(int viewerId) = 0;
};

class ICustomHelpViewer {
public:
    virtual ~ICustomHelpViewer() = default;
    virtual QString GetViewerName() = 0;
    // Above 0 when the viewer can show help for the keyword.
    virtual int UnderstandsKeyword(const QString &keyword) = 0;
    // Entries for the keyword, for the selector to choose from when several viewers understand it.
    virtual QStringList GetHelpStrings(const QString &keyword) = 0;
    virtual bool CanShowTableOfContents() = 0;
    virtual void ShowTableOfContents() = 0;
    virtual void ShowHelp(const QString &helpString) = 0;
    virtual void NotifyID(int viewerId) = 0;
    // Close the viewer's windows.
    virtual void SoftShutDown() = 0;
    // Close the windows and let go of the help manager.
    virtual void ShutDown() = 0;
};

class IExtendedHelpViewer : public ICustomHelpViewer {
public:
    virtual bool UnderstandsTopic(const QString &topic) = 0;
    virtual void DisplayTopic(const QString &topic) = 0;
    virtual bool UnderstandsContext(int context, const QString &helpFile) = 0;
    virtual void DisplayHelpByContext(int context, const QString &helpFile) = 0;
};

// Chooses when several viewers could answer a request.
class IHelpSelector {
public:
    virtual ~IHelpSelector() = default;
    // Index of the chosen entry among the entries of all viewers that understand a keyword.
    virtual int SelectKeyword(const QStringList &entries) = 0;
    // Index of the chosen viewer among the names, sorted, of those that can show contents; -1 for none.
    virtual int TableOfContents(const QStringList &viewerNames) = 0;
};

// The help system's own texts, shown when no viewer takes a request.
namespace HelpMsg {
inline const QString NoContextViewer = QStringLiteral("No hay ningún visor de ayuda para esta petición");
// %1: the keyword.
inline const QString NoKeywordViewer = QStringLiteral("No se encontró ayuda para «%1»");
inline const QString NoTopicViewer = QStringLiteral("No hay ningún visor de ayuda por temas para esta petición");
inline const QString NoTableOfContents = QStringLiteral("No se encontró ningún índice de contenido de la ayuda");
} // namespace HelpMsg

// WinHelp command numbers that Hook understands.
namespace HelpCommand {
constexpr int Context = 0x0001;
constexpr int Quit = 0x0002;
constexpr int Contents = 0x0003;
constexpr int ContextPopup = 0x0008;
constexpr int Finder = 0x000B;
constexpr int Key = 0x0101;
constexpr int PartialKey = 0x0105;
} // namespace HelpCommand

class HelpSystem {
public:
    using MessageHook = std::function<void(const QString &message)>;

    HelpSystem();
    ~HelpSystem();
    HelpSystem(const HelpSystem &) = delete;
    HelpSystem &operator=(const HelpSystem &) = delete;

    // Registers a viewer, tells it its number and hands back the help manager it talks to.
    std::shared_ptr<IHelpManager> RegisterViewer(const std::shared_ptr<ICustomHelpViewer> &viewer);
    void AssignHelpSelector(std::shared_ptr<IHelpSelector> selector);
    const std::shared_ptr<IHelpSelector> &HelpSelector() const { return m_selector; }

    // Each request returns true when a viewer took it; otherwise the message hook has been told.
    // `window` is what the help manager reports as the handle while the request runs.
    bool ShowContextHelp(int context, const QString &helpFile, QWidget *window = nullptr);
    bool ShowHelp(const QString &keyword, const QString &helpFile, QWidget *window = nullptr);
    bool ShowTopicHelp(const QString &topic, const QString &helpFile, QWidget *window = nullptr);
    bool ShowTableOfContents(const QString &helpFile = QString(), QWidget *window = nullptr);
    // A WinHelp-style command: contents (and finder) become a table-of-contents request, context
    // and context-popup a context request with `data` as the number, key and partial key a
    // keyword request for `keyword`; quit succeeds without doing anything. Other commands: false.
    bool Hook(QWidget *window, const QString &helpFile, int command, qintptr data, const QString &keyword = QString());

    // Where the help system's own messages go; by default a warning box over the active window.
    void SetMessageHook(MessageHook hook);

    int ViewerCount() const { return int(m_viewers.size()); }

private:
    class Manager;
    struct Registration {
        int id;
        std::shared_ptr<ICustomHelpViewer> viewer;
    };
    class RequestScope;

    void Release(int viewerId);
    void Report(const QString &message) const;
    std::vector<std::shared_ptr<ICustomHelpViewer>> Viewers() const;

    std::shared_ptr<Manager> m_manager;
    std::vector<Registration> m_viewers;
    std::shared_ptr<IHelpSelector> m_selector;
    MessageHook m_messageHook;
    int m_lastId = 0;
    QString m_requestFile;
    QPointer<QWidget> m_requestWindow;
};

// The help system of this program, with the WinHelp viewer already registered on first use.
HelpSystem &ApplicationHelpSystem();

// The application's current help file, as the program set it ("SENECA.chm" at start).
QString ApplicationHelpFile();
void SetApplicationHelpFile(const QString &helpFile);
