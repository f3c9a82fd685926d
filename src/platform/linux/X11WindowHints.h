#pragma once

#include "platform/WindowHints.h"

#include <QByteArrayList>

class QWindow;

namespace mnemora {

// Window-manager hints Qt does not set for us. Each call takes effect at once on a mapped
// window (a request to the window manager) and is applied again to the window's
// _NET_WM_STATE before every later mapping, since window managers drop that property when
// a window is hidden. Off X11 (offscreen, Wayland) the calls do nothing.

// True when the application talks to an X server.
bool IsX11Platform();

// KeepOutOfTaskbar sets _NET_WM_STATE_SKIP_TASKBAR and _SKIP_PAGER; Qt sets neither for
// Qt::Tool windows. SetKeepAbove sets or clears _NET_WM_STATE_ABOVE (on X11 only:
// CanKeepAboveInPlace); leave Qt::WindowStaysOnTopHint off a window toggled this way, Qt
// would add the state back at the next show.

// The atom names in the window's _NET_WM_STATE as the server holds it; empty off X11.
QByteArrayList NetWmStateNames(QWindow* window);

} // namespace mnemora
