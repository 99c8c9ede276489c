#include "help/HelpSystem.h"

#include "help/WinHelpViewer.h"

#include <QApplication>
#include <QMessageBox>
#include <QWidget>

#include <algorithm>

// The help manager handed to viewers. It outlives neither purpose nor owner: when the help system
// goes, the manager is cut off and answers as if there were no request.
class HelpSystem::Manager final : public IHelpManager {
public:
    explicit Manager(HelpSystem *system) : m_system(system) {}
    void Detach() { m_system = nullptr; }

    QWidget *GetHandle() const override { return m_system ? m_system->m_requestWindow.data() : nullptr; }
    QString GetHelpFile() const override { return m_system ? m_system->m_requestFile : QString(); }
    void Release(int viewerId) override {
        if (m_system)
            m_system->Release(viewerId);
    }

private:
    HelpSystem *m_system;
};

// Sets the file and window that the help manager reports for the length of one request.
class HelpSystem::RequestScope {
public:
    RequestScope(HelpSystem &system, const QString &helpFile, QWidget *window)
        : m_system(system), m_file(system.m_requestFile), m_window(system.m_requestWindow) {
        system.m_requestFile = helpFile;
        system.m_requestWindow = window;
    }
    ~RequestScope() {
        m_system.m_requestFile = m_file;
        m_system.m_requestWindow = m_window;
    }
    RequestScope(const RequestScope &) = delete;
    RequestScope &operator=(const RequestScope &) = delete;

private:
    HelpSystem &m_system;
    QString m_file;
    QPointer<QWidget> m_window;
};

HelpSystem::HelpSystem() : m_manager(std::make_shared<Manager>(this)) {}

HelpSystem::~HelpSystem() { m_manager->Detach(); }

std::shared_ptr<IHelpManager> HelpSystem::RegisterViewer(const std::shared_ptr<ICustomHelpViewer> &viewer) {
    if (!viewer)
        return nullptr;
    const int id = ++m_lastId;
    m_viewers.push_back({id, viewer});
    viewer->NotifyID(id);
    return m_manager;
}

void HelpSystem::AssignHelpSelector(std::shared_ptr<IHelpSelector> selector) { m_selector = std::move(selector); }

void HelpSystem::SetMessageHook(MessageHook hook) { m_messageHook = std::move(hook); }

void HelpSystem::Release(int viewerId) {
    const auto it = std::find_if(m_viewers.begin(), m_viewers.end(),
                                 [viewerId](const Registration &r) { return r.id == viewerId; });
    if (it == m_viewers.end())
        return;
    // Keep the viewer alive while it shuts down: ShutDown may release it again.
    const std::shared_ptr<ICustomHelpViewer> viewer = it->viewer;
    m_viewers.erase(it);
    viewer->ShutDown();
}

std::vector<std::shared_ptr<ICustomHelpViewer>> HelpSystem::Viewers() const {
    // A copy, so that a viewer may register or release while a request runs.
    std::vector<std::shared_ptr<ICustomHelpViewer>> viewers;
    for (const Registration &r : m_viewers)
        viewers.push_back(r.viewer);
    return viewers;
}

void HelpSystem::Report(const QString &message) const {
    if (m_messageHook) {
        m_messageHook(message);
        return;
    }
    if (qobject_cast<QApplication *>(QCoreApplication::instance()))
        QMessageBox::warning(QApplication::activeWindow(), QApplication::applicationDisplayName(), message);
    else
        qWarning("%s", qPrintable(message));
}

bool HelpSystem::ShowContextHelp(int context, const QString &helpFile, QWidget *window) {
    RequestScope scope(*this, helpFile, window);
    for (const auto &viewer : Viewers()) {
        auto *extended = dynamic_cast<IExtendedHelpViewer *>(viewer.get());
        if (extended && extended->UnderstandsContext(context, helpFile)) {
            extended->DisplayHelpByContext(context, helpFile);
            return true;
        }
    }
    Report(HelpMsg::NoContextViewer);
    return false;
}

bool HelpSystem::ShowTopicHelp(const QString &topic, const QString &helpFile, QWidget *window) {
    RequestScope scope(*this, helpFile, window);
    for (const auto &viewer : Viewers()) {
        auto *extended = dynamic_cast<IExtendedHelpViewer *>(viewer.get());
        if (extended && extended->UnderstandsTopic(topic)) {
            extended->DisplayTopic(topic);
            return true;
        }
    }
    Report(HelpMsg::NoTopicViewer);
    return false;
}

bool HelpSystem::ShowHelp(const QString &keyword, const QString &helpFile, QWidget *window) {
    RequestScope scope(*this, helpFile, window);
    std::vector<std::shared_ptr<ICustomHelpViewer>> takers;
    for (const auto &viewer : Viewers())
        if (viewer->UnderstandsKeyword(keyword) > 0)
            takers.push_back(viewer);
    if (takers.size() == 1) {
        takers.front()->ShowHelp(keyword);
        return true;
    }
    if (!takers.empty()) {
        // Every taker's entries, sorted together; the selector picks one and its viewer shows it.
        struct Entry {
            QString text;
            ICustomHelpViewer *viewer;
        };
        std::vector<Entry> entries;
        for (const auto &viewer : takers)
            for (const QString &text : viewer->GetHelpStrings(keyword))
                entries.push_back({text, viewer.get()});
        std::stable_sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) {
            return QString::compare(a.text, b.text, Qt::CaseInsensitive) < 0;
        });
        QStringList texts;
        for (const Entry &e : entries)
            texts.append(e.text);
        const int index = m_selector ? m_selector->SelectKeyword(texts) : 0;
        if (index >= 0 && index < int(entries.size())) {
            entries[size_t(index)].viewer->ShowHelp(entries[size_t(index)].text);
            return true;
        }
    }
    Report(HelpMsg::NoKeywordViewer.arg(keyword));
    return false;
}

bool HelpSystem::ShowTableOfContents(const QString &helpFile, QWidget *window) {
    RequestScope scope(*this, helpFile, window);
    std::vector<std::shared_ptr<ICustomHelpViewer>> able;
    for (const auto &viewer : Viewers())
        if (viewer->CanShowTableOfContents())
            able.push_back(viewer);
    std::stable_sort(able.begin(), able.end(), [](const auto &a, const auto &b) {
        return QString::compare(a->GetViewerName(), b->GetViewerName(), Qt::CaseInsensitive) < 0;
    });
    int index = able.size() == 1 ? 0 : -1;
    if (able.size() > 1) {
        QStringList names;
        for (const auto &viewer : able)
            names.append(viewer->GetViewerName());
        index = m_selector ? m_selector->TableOfContents(names) : 0;
    }
    if (index >= 0 && index < int(able.size())) {
        able[size_t(index)]->ShowTableOfContents();
        return true;
    }
    Report(HelpMsg::NoTableOfContents);
    return false;
}

bool HelpSystem::Hook(QWidget *window, const QString &helpFile, int command, qintptr data, const QString &keyword) {
    switch (command) {
    case HelpCommand::Contents:
    case HelpCommand::Finder:
        return ShowTableOfContents(helpFile, window);
    case HelpCommand::Context:
    case HelpCommand::ContextPopup:
        return ShowContextHelp(int(data), helpFile, window);
    case HelpCommand::Key:
    case HelpCommand::PartialKey:
        return ShowHelp(keyword, helpFile, window);
    case HelpCommand::Quit:
        return true;
    default:
        return false;
    }
}

HelpSystem &ApplicationHelpSystem() {
    static HelpSystem system;
    static const bool winHelpRegistered = (RegisterWinHelpViewer(system), true);
    Q_UNUSED(winHelpRegistered);
    return system;
}

namespace {
QString &applicationHelpFile() {
    static QString file;
    return file;
}
} // namespace

QString ApplicationHelpFile() { return applicationHelpFile(); }

void SetApplicationHelpFile(const QString &helpFile) { applicationHelpFile() = helpFile; }
