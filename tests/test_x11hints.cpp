#include "platform/linux/X11WindowHints.h"

#include <QGuiApplication>
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
    void initTestCase() {
        if (!IsX11Platform())
            QSKIP("needs an X server (run under xvfb-run with QT_QPA_PLATFORM=xcb)");
        m_wm = xcb_connect(nullptr, nullptr);
        QVERIFY(xcb_connection_has_error(m_wm) == 0);
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_wm, xcb_setup_roots_iterator(xcb_get_setup(m_wm)).data->root,
                                     XCB_CW_EVENT_MASK, &mask);
        xcb_flush(m_wm);
    }
    void cleanupTestCase() {
        if (m_wm != nullptr)
            xcb_disconnect(m_wm);
    }

    // On the first show (tests/e2e/float_window.sh) and on every later one: a window manager
    // drops the property when the window is withdrawn, and a state cleared meanwhile stays off.
    // On a mapped window each call is a request to the window manager instead.
    void statesReachTheWindowMappedOrNot() {
        QWindow window;
        window.setFlags(Qt::Tool | Qt::FramelessWindowHint);
        window.resize(200, 50);
        KeepOutOfTaskbar(&window);
        SetKeepAbove(&window, true);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QByteArrayList skip{"_NET_WM_STATE_SKIP_PAGER", "_NET_WM_STATE_SKIP_TASKBAR"};
        for (const bool above : {true, false}) {
            window.hide();
            QTRY_VERIFY(!IsMapped(window));
            SetKeepAbove(&window, above);
            xcb_delete_property(m_wm, xcb_window_t(window.winId()), Atom("_NET_WM_STATE"));
            xcb_flush(m_wm);
            QTRY_VERIFY(NetWmStateNames(&window).isEmpty());
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            QByteArrayList states = NetWmStateNames(&window);
            std::sort(states.begin(), states.end());
            QCOMPARE(states, above ? QByteArrayList{"_NET_WM_STATE_ABOVE"} + skip : skip);
        }
        QTRY_VERIFY(IsMapped(window));
        KeepOutOfTaskbar(&window);
        SetKeepAbove(&window, true);
        SetKeepAbove(&window, false);
        // The requests reach the root window, where the stand-in sees them.
        QList<QList<uint32_t>> requests;
        const auto collect = [&] {
            while (xcb_generic_event_t* event = xcb_poll_for_event(m_wm)) {
                const auto* message = reinterpret_cast<xcb_client_message_event_t*>(event);
                if ((event->response_type & 0x7f) == XCB_CLIENT_MESSAGE &&
                    message->window == window.winId() && message->type == Atom("_NET_WM_STATE") &&
                    message->format == 32)
                    requests.append(QList<uint32_t>(message->data.data32, message->data.data32 + 4));
                std::free(event);
            }
            return requests.size() >= 3;
        };
        QTRY_VERIFY_WITH_TIMEOUT(collect(), 10000);
        QCOMPARE(requests, (QList<QList<uint32_t>>{
                               {1, Atom("_NET_WM_STATE_SKIP_TASKBAR"), Atom("_NET_WM_STATE_SKIP_PAGER"), 1},
                               {1, Atom("_NET_WM_STATE_ABOVE"), 0, 1},
                               {0, Atom("_NET_WM_STATE_ABOVE"), 0, 1}}));
    }

private:
    template <typename T> using Reply = std::unique_ptr<T, void (*)(void*)>;
    xcb_atom_t Atom(const char* name) {
        Reply<xcb_intern_atom_reply_t> reply(
            xcb_intern_atom_reply(m_wm, xcb_intern_atom(m_wm, 0, uint16_t(qstrlen(name)), name), nullptr),
            std::free);
        return reply ? reply->atom : 0;
    }
    bool IsMapped(const QWindow& window) {
        Reply<xcb_get_window_attributes_reply_t> reply(
            xcb_get_window_attributes_reply(
                m_wm, xcb_get_window_attributes(m_wm, xcb_window_t(window.winId())), nullptr),
            std::free);
        return reply && reply->map_state != XCB_MAP_STATE_UNMAPPED;
    }

    xcb_connection_t* m_wm = nullptr;
};

QTEST_MAIN(TestX11Hints)
#include "test_x11hints.moc"
