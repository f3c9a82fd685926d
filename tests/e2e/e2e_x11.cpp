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
xcb_connection_t* c = nullptr;

template <typename T> std::unique_ptr<T, decltype(&std::free)> Reply(T* reply) {
    return {reply, &std::free};
}

xcb_atom_t Atom(const std::string& name) {
    const auto reply =
        Reply(xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(name.size()), name.c_str()), nullptr));
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

// Sends a client message of type about window (format 32) to destination and waits until the
// server has handled it: 1 on an error (a bad window).
int Send(xcb_window_t destination, uint32_t mask, xcb_window_t window, const char* type,
         xcb_client_message_data_t data) {
    const xcb_client_message_event_t event{XCB_CLIENT_MESSAGE, 32, 0, window, Atom(type), data};
    const auto sent = xcb_send_event_checked(c, 0, destination, mask, reinterpret_cast<const char*>(&event));
    return Reply(xcb_request_check(c, sent)) ? 1 : 0;
}

int Show(const xcb_screen_t* screen, const char* title, bool fullScreen) {
    const xcb_window_t w = xcb_generate_id(c);
    const uint32_t values[] = {screen->white_pixel, XCB_EVENT_MASK_EXPOSURE};
    xcb_create_window(c, XCB_COPY_FROM_PARENT, w, screen->root, 100, 100, 400, 300, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                      XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);
    const auto length = static_cast<uint32_t>(std::strlen(title));
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8, length, title);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, Atom("_NET_WM_NAME"), Atom("UTF8_STRING"), 8, length,
                        title);
    const xcb_atom_t state = Atom("_NET_WM_STATE_FULLSCREEN");
    if (fullScreen)
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, Atom("_NET_WM_STATE"), XCB_ATOM_ATOM, 32, 1, &state);
    xcb_map_window(c, w);
    xcb_flush(c);
    std::printf("%u\n", w);
    std::fflush(stdout);
    while (xcb_generic_event_t* event = xcb_wait_for_event(c))
        std::free(event);
    return 0;
}
} // namespace

int main(int argc, char** argv) {
    int screenNumber = 0;
    c = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "e2e_x11: no X display\n");
        return 2;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < screenNumber; ++i)
        xcb_screen_next(&screens);
    const std::string command = argc > 1 ? argv[1] : "";
    const auto window = [&] { return static_cast<xcb_window_t>(std::strtoul(argv[2], nullptr, 0)); };
    int rc = 2;
    if (command == "close" && argc == 3) {
        rc = Send(window(), XCB_EVENT_MASK_NO_EVENT, window(), "WM_PROTOCOLS",
                  {.data32 = {Atom("WM_DELETE_WINDOW"), XCB_CURRENT_TIME, 0, 0}});
    } else if (command == "tray" && argc == 2) {
        const auto tray = Atom("_NET_SYSTEM_TRAY_S" + std::to_string(screenNumber));
        const auto owner = Reply(xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, tray), nullptr));
        rc = owner && owner->owner != XCB_WINDOW_NONE ? 0 : 1;
    } else if (command == "show" && (argc == 3 || argc == 4)) {
        rc = Show(screens.data, argv[2], argc == 4 && std::strcmp(argv[3], "fullscreen") == 0);
    } else if (command == "fullscreen" && argc == 4) {
        const uint32_t on = std::strcmp(argv[3], "on") == 0 ? 1 : 0; // source 2: a pager or the user
        rc = Send(screens.data->root,
                  XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY, window(),
                  "_NET_WM_STATE", {.data32 = {on, Atom("_NET_WM_STATE_FULLSCREEN"), 0, 2}});
    } else {
        std::fprintf(stderr, "usage: e2e_x11 close WINDOW | tray | show TITLE [fullscreen] |"
                             " fullscreen WINDOW on|off\n");
    }
    xcb_disconnect(c);
    return rc;
}
