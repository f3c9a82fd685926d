// Helper of the desktop tests for what xdotool cannot do:
//   e2e_x11 close WINDOW            asks a window to close as a window manager does (WM_DELETE_WINDOW)
//   e2e_x11 tray                    succeeds when a system tray manages the screen
//   e2e_x11 show TITLE [fullscreen] maps a 400x300 window named TITLE (asking to be full
//                                   screen from the start), prints its id, stays until killed
//   e2e_x11 fullscreen WINDOW on|off asks the window manager to change its full-screen state
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

xcb_client_message_event_t Message(xcb_connection_t* c, xcb_window_t window, const char* type) {
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = Atom(c, type);
    return event;
}

int Close(xcb_connection_t* c, xcb_window_t window) {
    xcb_client_message_event_t event = Message(c, window, "WM_PROTOCOLS");
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

int Show(xcb_connection_t* c, xcb_screen_t* screen, const char* title, bool fullScreen) {
    const xcb_window_t w = xcb_generate_id(c);
    const uint32_t values[] = {screen->white_pixel, XCB_EVENT_MASK_EXPOSURE};
    xcb_create_window(c, XCB_COPY_FROM_PARENT, w, screen->root, 100, 100, 400, 300, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                      XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);
    const auto length = static_cast<uint32_t>(std::strlen(title));
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8, length, title);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, Atom(c, "_NET_WM_NAME"), Atom(c, "UTF8_STRING"), 8,
                        length, title);
    if (fullScreen) {
        const xcb_atom_t state = Atom(c, "_NET_WM_STATE_FULLSCREEN");
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, Atom(c, "_NET_WM_STATE"), XCB_ATOM_ATOM, 32, 1,
                            &state);
    }
    xcb_map_window(c, w);
    xcb_flush(c);
    std::printf("%u\n", w);
    std::fflush(stdout);
    while (xcb_generic_event_t* event = xcb_wait_for_event(c))
        std::free(event);
    return 0;
}

int FullScreen(xcb_connection_t* c, xcb_screen_t* screen, xcb_window_t w, bool on) {
    xcb_client_message_event_t event = Message(c, w, "_NET_WM_STATE");
    event.data.data32[0] = on ? 1 : 0;
    event.data.data32[1] = Atom(c, "_NET_WM_STATE_FULLSCREEN");
    event.data.data32[3] = 2; // a pager or the user, not the application
    xcb_send_event(c, 0, screen->root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
    Reply<xcb_get_input_focus_reply_t> sync(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr),
                                            &std::free);
    return sync ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    int screenNumber = 0;
    xcb_connection_t* c = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "e2e_x11: no X display\n");
        return 2;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < screenNumber; ++i)
        xcb_screen_next(&screens);
    const auto is = [&](const char* command, int minArgs, int maxArgs) {
        return argc >= minArgs && argc <= maxArgs && std::strcmp(argv[1], command) == 0;
    };
    const auto window = [&] { return static_cast<xcb_window_t>(std::strtoul(argv[2], nullptr, 0)); };
    int rc = 2;
    if (is("close", 3, 3))
        rc = Close(c, window());
    else if (is("tray", 2, 2))
        rc = TrayManaged(c, screenNumber);
    else if (is("show", 3, 4))
        rc = Show(c, screens.data, argv[2], argc == 4 && std::strcmp(argv[3], "fullscreen") == 0);
    else if (is("fullscreen", 4, 4))
        rc = FullScreen(c, screens.data, window(), std::strcmp(argv[3], "on") == 0);
    else
        std::fprintf(stderr, "usage: e2e_x11 close WINDOW | tray | show TITLE [fullscreen] |"
                             " fullscreen WINDOW on|off\n");
    xcb_disconnect(c);
    return rc;
}
