#include "help/ChmHelpEngine.h"

#include "help/ChmArchive.h"
#include "help/ChmHelpWindow.h"

#include <QApplication>
#include <QFileInfo>

namespace {
bool haveWidgets() { return qobject_cast<QApplication *>(QCoreApplication::instance()) != nullptr; }

bool samePath(const QString &a, const QString &b) {
    return QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath();
}
} // namespace

ChmHelpEngine::ChmHelpEngine() = default;

ChmHelpEngine::~ChmHelpEngine() { CloseWindow(); }

ChmHelpWindow *ChmHelpEngine::Window() const { return m_window.data(); }

void ChmHelpEngine::CloseWindow() {
    // Without the application object a widget can no longer be destroyed safely; the process
    // is ending then anyway.
    if (m_window && haveWidgets())
        delete m_window.data();
}

ChmHelpWindow *ChmHelpEngine::WindowFor(const QString &path, QWidget *owner, bool &created) {
    created = false;
    QWidget *parent = owner ? owner->window() : nullptr;
    if (m_window && !samePath(m_window->Archive().Path(), path))
        CloseWindow();
    if (!m_window) {
        std::shared_ptr<ChmArchive> archive = ChmArchive::Open(path);
        if (!archive)
            return nullptr;
        m_window = new ChmHelpWindow(std::move(archive), parent);
        created = true;
    } else if (m_window->parentWidget() != parent) {
        // Follow the requesting window, so that the help stays usable over its modal dialogs.
        const QRect geometry = m_window->geometry();
        m_window->setParent(parent, Qt::Window);
        m_window->setGeometry(geometry);
    }
    return m_window;
}

void ChmHelpEngine::HtmlHelp(QWidget *window, const QString &file, HtmlHelpCommand command, const HtmlHelpData &data) {
    if (command == HtmlHelpCommand::CloseAll) {
        CloseWindow();
        return;
    }
    if (!haveWidgets())
        return;
    const qsizetype separator = file.indexOf(QLatin1String("::"));
    const QString path = separator < 0 ? file : file.left(separator);
    const QString topic = separator < 0 ? QString() : file.mid(separator + 2);
    bool created = false;
    ChmHelpWindow *help = WindowFor(path, window, created);
    if (!help)
        return;
    const QString defaultTopic = help->Archive().DefaultTopic();
    const auto showDefaultIfBlank = [&] {
        if (help->CurrentTopic().isEmpty())
            help->ShowTopic(defaultTopic);
    };

    switch (command) {
    case HtmlHelpCommand::DisplayTopic:
        if (topic.isEmpty() || !help->ShowTopic(topic))
            showDefaultIfBlank();
        break;
    case HtmlHelpCommand::DisplayToc:
        help->ShowContents();
        showDefaultIfBlank();
        break;
    case HtmlHelpCommand::DisplayIndex:
        help->ShowIndex(data.text);
        showDefaultIfBlank();
        break;
    case HtmlHelpCommand::HelpContext: {
        const QString mapped = data.number < 0 ? QString() : help->Archive().ContextTopic(quint32(data.number));
        if (mapped.isEmpty() || !help->ShowTopic(mapped)) {
            if (created)
                CloseWindow();
            return;
        }
        break;
    }
    case HtmlHelpCommand::CloseAll:
        break;
    }
    help->show();
    help->raise();
    help->activateWindow();
}
