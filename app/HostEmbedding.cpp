#include "app/HostEmbedding.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

#if defined(Q_OS_WIN)
#include <windows.h>
#elif defined(TVS_HAVE_XCB)
#include <xcb/xcb.h>
#include <cstdlib>
#endif

namespace {

#if defined(TVS_HAVE_XCB) && !defined(Q_OS_WIN)
xcb_connection_t *x11Connection() {
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    auto *x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}
#endif

// Whether this platform can tell whether a foreign window exists and take it as a parent.
bool CanEmbed() {
#if defined(Q_OS_WIN)
    return true;
#elif defined(TVS_HAVE_XCB)
    return x11Connection() != nullptr;
#else
    return false;
#endif
}

} // namespace

bool ForeignWindowExists(quintptr id) {
    if (id == 0)
        return false;
#if defined(Q_OS_WIN)
    return IsWindow(reinterpret_cast<HWND>(id));
#elif defined(TVS_HAVE_XCB)
    xcb_connection_t *connection = x11Connection();
    if (!connection)
        return false;
    // A checked request: a BadWindow error comes back here instead of reaching Qt's handler.
    const auto cookie = xcb_get_window_attributes(connection, xcb_window_t(id));
    xcb_generic_error_t *error = nullptr;
    xcb_get_window_attributes_reply_t *reply = xcb_get_window_attributes_reply(connection, cookie, &error);
    const bool exists = reply != nullptr;
    std::free(reply);
    std::free(error);
    return exists;
#else
    return false;
#endif
}

QWindow *EmbedInForeignWindow(QWidget *window, quintptr id, QString *error) {
    const QString handle = QString::number(quint64(id), 16).toUpper();
    if (CanEmbed() && !ForeignWindowExists(id)) {
        *error = QStringLiteral("No existe la ventana %1 en la que se debía abrir el programa; "
                                "se abre como ventana independiente.")
                     .arg(handle);
        return nullptr;
    }
    QWindow *host = CanEmbed() ? QWindow::fromWinId(WId(id)) : nullptr;
    if (!host) {
        *error = QStringLiteral("No se puede abrir el programa dentro de la ventana %1; "
                                "se abre como ventana independiente.")
                     .arg(handle);
        return nullptr;
    }
    window->setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    window->winId(); // the native window, to be given its foreign parent
    window->windowHandle()->setParent(host);
    window->move(0, 0);
    return host;
}

void TakeKeyboardFocus(QWidget *window) {
#if defined(Q_OS_WIN)
    SetFocus(reinterpret_cast<HWND>(window->winId()));
#elif defined(TVS_HAVE_XCB)
    if (xcb_connection_t *connection = x11Connection()) {
        xcb_set_input_focus(connection, XCB_INPUT_FOCUS_PARENT, xcb_window_t(window->winId()), XCB_CURRENT_TIME);
        xcb_flush(connection);
    }
#else
    Q_UNUSED(window);
#endif
}
