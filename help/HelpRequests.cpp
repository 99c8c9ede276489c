#include "help/HelpRequests.h"

#include "help/HelpSystem.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace {
class HelpKeyFilter final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier)
            return false;
        auto *widget = static_cast<QWidget *>(watched);
        const int context = HelpContextOf(widget);
        if (context <= 0)
            return false;
        RequestContextHelp(widget, context);
        return true;
    }
};
} // namespace

int HelpContextOf(const QWidget *widget) {
    for (; widget; widget = widget->parentWidget()) {
        bool ok = false;
        const int context = widget->property(HelpContextProperty).toInt(&ok);
        if (ok && context > 0)
            return context;
    }
    return 0;
}

void RequestContextHelp(QWidget *from, int context) {
    ApplicationHelpSystem().ShowContextHelp(context, ApplicationHelpFile(), from ? from->window() : nullptr);
}

void RequestHelpContents() {
    SetApplicationHelpFile(QString::fromLatin1(HelpFileName));
    ApplicationHelpSystem().Hook(QApplication::activeWindow(), ApplicationHelpFile(), HelpCommand::Contents, 0);
}

void InstallHelpKey(QApplication &app) {
    // One filter per application, however often this is called.
    const QString name = QStringLiteral("HelpKeyFilter");
    if (app.findChild<QObject *>(name, Qt::FindDirectChildrenOnly))
        return;
    auto *filter = new HelpKeyFilter(&app);
    filter->setObjectName(name);
    app.installEventFilter(filter);
}
