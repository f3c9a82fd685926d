#pragma once

class QWindow;

namespace mnemora {

// Window-manager states of the float window that Qt's window flags do not cover, or cover
// only by re-creating the window. Each platform folder implements these; where the
// platform cannot do it, a call does nothing.

// Keeps window out of taskbars and pagers.
void KeepOutOfTaskbar(QWindow* window);

// True when SetKeepAbove changes the stacking of a live window by itself; otherwise the
// caller toggles Qt::WindowStaysOnTopHint (which re-creates the window).
bool CanKeepAboveInPlace();

// Keeps window above others, or stops doing so, without re-creating it.
void SetKeepAbove(QWindow* window, bool above);

} // namespace mnemora
