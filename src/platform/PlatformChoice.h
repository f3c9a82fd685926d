#pragma once

namespace mnemora {

// Picks the Qt platform plugin the float window needs, unless the user chose one
// (QT_QPA_PLATFORM). On Linux: always-on-top, placement and opacity need X11, so in a
// Wayland session with XWayland present this picks xcb. Call before the application
// object is built. True when it set QT_QPA_PLATFORM.
bool ChooseGuiPlatform();

} // namespace mnemora
