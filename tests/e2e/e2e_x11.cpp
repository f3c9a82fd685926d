// Helper of the desktop tests for what xdotool cannot do:
//   e2e_x11 close WINDOW   asks a window to close as a window manager does (WM_DELETE_WINDOW)
//   e2e_x11 clipboard      prints the clipboard's text (UTF-8), or fails when it has none
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

int PrintClipboard(xcb_connection_t* c, xcb_screen_t* screen) {
    // The selection owner writes the text into a property of a window of ours.
    const xcb_window_t own = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, own, screen->root, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                      XCB_COPY_FROM_PARENT, 0, nullptr);
    const xcb_atom_t utf8 = Atom(c, "UTF8_STRING");
    const xcb_atom_t target = Atom(c, "E2E_CLIPBOARD");
    xcb_convert_selection(c, own, Atom(c, "CLIPBOARD"), utf8, target, XCB_CURRENT_TIME);
    xcb_flush(c);
    for (;;) {
        Reply<xcb_generic_event_t> event(xcb_wait_for_event(c), &std::free);
        if (!event)
            return 1;
        if ((event->response_type & 0x7F) != XCB_SELECTION_NOTIFY)
            continue;
        if (reinterpret_cast<xcb_selection_notify_event_t*>(event.get())->property == XCB_ATOM_NONE)
            return 1;
        Reply<xcb_get_property_reply_t> reply(
            xcb_get_property_reply(c, xcb_get_property(c, 1, own, target, utf8, 0, 1 << 20), nullptr),
            &std::free);
        if (!reply)
            return 1;
        const std::string text(static_cast<const char*>(xcb_get_property_value(reply.get())),
                               static_cast<size_t>(xcb_get_property_value_length(reply.get())));
        std::printf("%s\n", text.c_str());
        return 0;
    }
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
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < screenNumber; ++i)
        xcb_screen_next(&screens);
    int rc = 2;
    if (argc == 3 && std::strcmp(argv[1], "close") == 0)
        rc = Close(c, static_cast<xcb_window_t>(std::strtoul(argv[2], nullptr, 0)));
    else if (argc == 2 && std::strcmp(argv[1], "clipboard") == 0)
        rc = PrintClipboard(c, screens.data);
    else if (argc == 2 && std::strcmp(argv[1], "tray") == 0)
        rc = TrayManaged(c, screenNumber);
    else
        std::fprintf(stderr, "usage: e2e_x11 close WINDOW | clipboard | tray\n");
    xcb_disconnect(c);
    return rc;
}
