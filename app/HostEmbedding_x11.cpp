#include "app/HostEmbedding.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

#include <xcb/xcb.h>

#include <cstdlib>

namespace {
// The X server's connection, when the program runs on X11 (not offscreen, not Wayland).
xcb_connection_t *x11Connection() {
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    auto *x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

QString handleText(quintptr id) { return QString::number(quint64(id), 16).toUpper(); }
} // namespace

bool ForeignWindowExists(quintptr id) {
    xcb_connection_t *connection = x11Connection();
    if (id == 0 || !connection)
        return false;
    // A checked request: a BadWindow error comes back here instead of reaching Qt's handler.
    const auto cookie = xcb_get_window_attributes(connection, xcb_window_t(id));
    xcb_generic_error_t *error = nullptr;
    xcb_get_window_attributes_reply_t *reply = xcb_get_window_attributes_reply(connection, cookie, &error);
    const bool exists = reply != nullptr;
    std::free(reply);
    std::free(error);
    return exists;
}

QWindow *EmbedInForeignWindow(QWidget *window, quintptr id, QString *error) {
    if (!x11Connection()) {
        *error = QStringLiteral("No se puede abrir el programa dentro de la ventana %1; "
                                "se abre como ventana independiente.")
                     .arg(handleText(id));
        return nullptr;
    }
    if (!ForeignWindowExists(id)) {
        *error = QStringLiteral("No existe la ventana %1 en la que se debía abrir el programa; "
                                "se abre como ventana independiente.")
                     .arg(handleText(id));
        return nullptr;
    }
    QWindow *host = QWindow::fromWinId(WId(id));
    window->setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    window->winId(); // the native window, to be given its foreign parent
    window->windowHandle()->setParent(host);
    window->move(0, 0);
    return host;
}

void FollowHostSize(QWidget *, QWindow *) {
    // X11 hosts lay out their children themselves: the window keeps its own size.
}

void TakeKeyboardFocus(QWidget *window) {
    if (xcb_connection_t *connection = x11Connection()) {
        xcb_set_input_focus(connection, XCB_INPUT_FOCUS_PARENT, xcb_window_t(window->winId()), XCB_CURRENT_TIME);
        xcb_flush(connection);
    }
}
