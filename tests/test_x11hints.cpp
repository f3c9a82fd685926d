#include "platform/linux/X11WindowHints.h"

#include <QTest>
#include <QWindow>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

using namespace mnemora;

// Runs against a bare X server (no window manager). A second connection stands in for the
// window manager: it watches the root window for the state requests a mapped window sends.
class TestX11Hints final : public QObject {
    Q_OBJECT
private slots:
    // On the first show (tests/e2e/float_window.sh) and on every later one: a window manager
    // drops the property when the window is withdrawn, and a state cleared meanwhile stays off.
    // On a mapped window each call is a request to the window manager instead.
    void statesReachTheWindowMappedOrNot() {
        if (!IsX11Platform())
            QSKIP("needs an X server (run under xvfb-run with QT_QPA_PLATFORM=xcb)");
        const std::unique_ptr<xcb_connection_t, void (*)(xcb_connection_t*)> connection(
            xcb_connect(nullptr, nullptr), xcb_disconnect);
        xcb_connection_t* wm = connection.get();
        QVERIFY(xcb_connection_has_error(wm) == 0);
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(wm, xcb_setup_roots_iterator(xcb_get_setup(wm)).data->root,
                                     XCB_CW_EVENT_MASK, &mask);
        xcb_flush(wm);
        const auto atom = [wm](const char* name) {
            const std::unique_ptr<xcb_intern_atom_reply_t, void (*)(void*)> reply(
                xcb_intern_atom_reply(wm, xcb_intern_atom(wm, 0, uint16_t(qstrlen(name)), name), nullptr),
                std::free);
            return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        };
        QWindow window;
        window.setFlags(Qt::Tool | Qt::FramelessWindowHint);
        window.resize(200, 50);
        KeepOutOfTaskbar(&window);
        SetKeepAbove(&window, true);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QByteArrayList skip{"_NET_WM_STATE_SKIP_PAGER", "_NET_WM_STATE_SKIP_TASKBAR"};
        for (const bool above : {true, false}) {
            window.hide(); // on a bare server unmapped at once, before the calls below ask
            SetKeepAbove(&window, above);
            xcb_delete_property(wm, xcb_window_t(window.winId()), atom("_NET_WM_STATE"));
            xcb_flush(wm);
            QTRY_VERIFY(NetWmStateNames(&window).isEmpty());
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            QByteArrayList states = NetWmStateNames(&window);
            std::sort(states.begin(), states.end());
            QCOMPARE(states, above ? QByteArrayList{"_NET_WM_STATE_ABOVE"} + skip : skip);
        }
        KeepOutOfTaskbar(&window);
        SetKeepAbove(&window, true);
        SetKeepAbove(&window, false);
        QList<QList<uint32_t>> requests;
        const auto collect = [&] {
            while (xcb_generic_event_t* event = xcb_poll_for_event(wm)) {
                const auto* message = reinterpret_cast<xcb_client_message_event_t*>(event);
                if ((event->response_type & 0x7f) == XCB_CLIENT_MESSAGE &&
                    message->window == window.winId() && message->type == atom("_NET_WM_STATE"))
                    requests.append(QList<uint32_t>(message->data.data32, message->data.data32 + 4));
                std::free(event);
            }
            return requests.size() >= 3;
        };
        QTRY_VERIFY_WITH_TIMEOUT(collect(), 10000);
        QCOMPARE(requests, (QList<QList<uint32_t>>{
                               {1, atom("_NET_WM_STATE_SKIP_TASKBAR"), atom("_NET_WM_STATE_SKIP_PAGER"), 1},
                               {1, atom("_NET_WM_STATE_ABOVE"), 0, 1},
                               {0, atom("_NET_WM_STATE_ABOVE"), 0, 1}}));
    }
};

QTEST_MAIN(TestX11Hints)
#include "test_x11hints.moc"
