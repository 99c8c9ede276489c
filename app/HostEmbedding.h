#pragma once
// Living as a borderless child of the host's native window. Each windowing system has its own
// implementation file: X11 (HostEmbedding_x11.cpp) and Windows (HostEmbedding_win.cpp).

#include <QString>
#include <QtGlobal>

class QWidget;
class QWindow;

// Whether `id` names a window that exists now. False where the platform cannot tell.
bool ForeignWindowExists(quintptr id);

// Makes the top-level `window` a borderless child of the native window `id`, placed at its
// top-left corner, before it is first shown. Returns the foreign window, which is the parent
// of `window`'s native window and must outlive it; on failure returns nullptr with a Spanish
// message in `error` and leaves `window` a top-level window.
QWindow *EmbedInForeignWindow(QWidget *window, quintptr id, QString *error);

// Keeps the embedded `window` as large as the inside of the host's window, where the platform's
// hosts expect their child to fill it (Windows); elsewhere the window keeps its own size.
void FollowHostSize(QWidget *window, QWindow *host);

// Gives the keyboard focus to the native window of `window`, inside the host's window. The
// host does not hand it over by itself (it knows nothing of the child it holds), so a click
// in the embedded window calls this, as a click in a Windows child window would.
void TakeKeyboardFocus(QWidget *window);
