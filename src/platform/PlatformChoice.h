#pragma once

namespace mnemora {

// Always-on-top, placement and opacity of the float window need X11. In a Wayland session
// with XWayland present this picks the xcb platform plugin, unless the user chose one.
// Call before the application object is built. True when it set QT_QPA_PLATFORM.
bool PreferXcbOnWayland();

} // namespace mnemora
