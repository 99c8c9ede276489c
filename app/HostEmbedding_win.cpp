#include "app/HostEmbedding.h"

#include <QWidget>
#include <QWindow>

#include <windows.h>

namespace {
HWND hwndOf(quintptr id) { return reinterpret_cast<HWND>(id); }
QString handleText(quintptr id) { return QString::number(quint64(id), 16).toUpper(); }
} // namespace

bool ForeignWindowExists(quintptr id) { return id != 0 && IsWindow(hwndOf(id)); }

QWindow *EmbedInForeignWindow(QWidget *window, quintptr id, QString *error) {
    if (!ForeignWindowExists(id)) {
        *error = QStringLiteral("No existe la ventana %1 en la que se debía abrir el programa; "
                                "se abre como ventana independiente.")
                     .arg(handleText(id));
        return nullptr;
    }
    QWindow *host = QWindow::fromWinId(WId(id));
    if (!host) {
        *error = QStringLiteral("No se puede abrir el programa dentro de la ventana %1; "
                                "se abre como ventana independiente.")
                     .arg(handleText(id));
        return nullptr;
    }
    window->setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    window->winId(); // the native window, to be given its foreign parent
    // Qt turns the window into a child (WS_CHILD instead of WS_POPUP) when it gets a parent.
    window->windowHandle()->setParent(host);
    window->move(0, 0);
    FollowHostSize(window, host);
    return host;
}

void FollowHostSize(QWidget *window, QWindow *host) {
    RECT inside{};
    if (!host || !GetClientRect(hwndOf(quintptr(host->winId())), &inside))
        return;
    // Client pixels are device pixels; the widget counts in device-independent ones.
    const qreal ratio = window->devicePixelRatioF();
    const QSize size(qRound((inside.right - inside.left) / ratio), qRound((inside.bottom - inside.top) / ratio));
    if (!size.isEmpty() && size != window->size())
        window->setFixedSize(size);
}

void TakeKeyboardFocus(QWidget *window) { SetFocus(reinterpret_cast<HWND>(window->winId())); }
