// Helper of the desktop tests for what xdotool cannot do:
//   e2e_x11 close WINDOW   asks a window to close as a window manager does (WM_DELETE_WINDOW)
//   e2e_x11 tray           succeeds when a system tray manages the screen
#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

template <typename T> using Reply = std::unique_ptr<T, decltype(&std::free)>;

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
    Reply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name),
                              nullptr),
        &std::free);
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

int Close(xcb_connection_t* c, xcb_window_t window) {
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = Atom(c, "WM_PROTOCOLS");
    event.data.data32[0] = Atom(c, "WM_DELETE_WINDOW");
    event.data.data32[1] = XCB_CURRENT_TIME;
    const xcb_void_cookie_t sent =
        xcb_send_event_checked(c, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&event));
    // Waits until the server has handled the request, and fails on an error (a bad window).
    Reply<xcb_generic_error_t> error(xcb_request_check(c, sent), &std::free);
    return error ? 1 : 0;
}

int TrayManaged(xcb_connection_t* c, int screenNumber) {
    const std::string name = "_NET_SYSTEM_TRAY_S" + std::to_string(screenNumber);
    Reply<xcb_get_selection_owner_reply_t> reply(
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, Atom(c, name.c_str())), nullptr),
        &std::free);
    return reply && reply->owner != XCB_WINDOW_NONE ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    int screenNumber = 0;
    xcb_connection_t* c = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "e2e_x11: no X display\n");
        return 2;
    }
    int rc = 2;
    if (argc == 3 && std::strcmp(argv[1], "close") == 0)
        rc = Close(c, static_cast<xcb_window_t>(std::strtoul(argv[2], nullptr, 0)));
    else if (argc == 2 && std::strcmp(argv[1], "tray") == 0)
        rc = TrayManaged(c, screenNumber);
    else
        std::fprintf(stderr, "usage: e2e_x11 close WINDOW | tray\n");
    xcb_disconnect(c);
    return rc;
}
