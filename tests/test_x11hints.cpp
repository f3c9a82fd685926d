#include "platform/x11/X11WindowHints.h"

#include <QGuiApplication>
#include <QTest>
#include <QWindow>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>

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
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_wm)).data->root;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_wm, m_root, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(m_wm);
    }
    void cleanupTestCase() {
        if (m_wm != nullptr)
            xcb_disconnect(m_wm);
    }

    void statesAreOnTheWindowWhenItMaps() {
        QWindow window;
        window.setFlags(Qt::Tool | Qt::FramelessWindowHint);
        window.resize(200, 50);
        KeepOutOfTaskbar(&window);
        SetKeepAbove(&window, true);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QByteArrayList states = NetWmStateNames(&window);
        QVERIFY(states.contains("_NET_WM_STATE_SKIP_TASKBAR"));
        QVERIFY(states.contains("_NET_WM_STATE_SKIP_PAGER"));
        QVERIFY(states.contains("_NET_WM_STATE_ABOVE"));

        // A window manager drops the property when the window is withdrawn; it must come
        // back with the next show.
        window.hide();
        QTRY_VERIFY(!IsMapped(window));
        xcb_delete_property(m_wm, xcb_window_t(window.winId()), Atom("_NET_WM_STATE"));
        xcb_flush(m_wm);
        QTRY_VERIFY(NetWmStateNames(&window).isEmpty());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(Sorted(NetWmStateNames(&window)),
                 (QByteArrayList{"_NET_WM_STATE_ABOVE", "_NET_WM_STATE_SKIP_PAGER",
                                 "_NET_WM_STATE_SKIP_TASKBAR"}));

        // Cleared while hidden, the state stays off when the window maps again.
        window.hide();
        QTRY_VERIFY(!IsMapped(window));
        SetKeepAbove(&window, false);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(Sorted(NetWmStateNames(&window)),
                 (QByteArrayList{"_NET_WM_STATE_SKIP_PAGER", "_NET_WM_STATE_SKIP_TASKBAR"}));
    }

    void mappedWindowAsksTheWindowManager() {
        QWindow window;
        window.resize(200, 50);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_VERIFY(IsMapped(window));

        KeepOutOfTaskbar(&window);
        SetKeepAbove(&window, true);
        SetKeepAbove(&window, false);
        const xcb_window_t id = xcb_window_t(window.winId());
        const xcb_atom_t state = Atom("_NET_WM_STATE");
        QList<QList<uint32_t>> requests;
        QTRY_VERIFY_WITH_TIMEOUT((CollectRequests(id, state, requests), requests.size() >= 3), 10000);
        QCOMPARE(requests[0], (QList<uint32_t>{1, Atom("_NET_WM_STATE_SKIP_TASKBAR"),
                                               Atom("_NET_WM_STATE_SKIP_PAGER"), 1}));
        QCOMPARE(requests[1], (QList<uint32_t>{1, Atom("_NET_WM_STATE_ABOVE"), 0, 1}));
        QCOMPARE(requests[2], (QList<uint32_t>{0, Atom("_NET_WM_STATE_ABOVE"), 0, 1}));
    }

private:
    static QByteArrayList Sorted(QByteArrayList names) {
        std::sort(names.begin(), names.end());
        return names;
    }

    xcb_atom_t Atom(const char* name) {
        xcb_intern_atom_reply_t* reply =
            xcb_intern_atom_reply(m_wm, xcb_intern_atom(m_wm, 0, uint16_t(qstrlen(name)), name), nullptr);
        const xcb_atom_t atom = reply != nullptr ? reply->atom : 0;
        std::free(reply);
        return atom;
    }

    bool IsMapped(const QWindow& window) {
        xcb_get_window_attributes_reply_t* reply = xcb_get_window_attributes_reply(
            m_wm, xcb_get_window_attributes(m_wm, xcb_window_t(window.winId())), nullptr);
        const bool mapped = reply != nullptr && reply->map_state != XCB_MAP_STATE_UNMAPPED;
        std::free(reply);
        return mapped;
    }

    // Appends the data of every _NET_WM_STATE request for window that has arrived so far.
    void CollectRequests(xcb_window_t window, xcb_atom_t state, QList<QList<uint32_t>>& requests) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(m_wm)) {
            if ((event->response_type & 0x7f) == XCB_CLIENT_MESSAGE) {
                const auto* message = reinterpret_cast<xcb_client_message_event_t*>(event);
                if (message->window == window && message->type == state && message->format == 32)
                    requests.append(QList<uint32_t>(message->data.data32, message->data.data32 + 4));
            }
            std::free(event);
        }
    }

    xcb_connection_t* m_wm = nullptr;
    xcb_window_t m_root = 0;
};

QTEST_MAIN(TestX11Hints)
#include "test_x11hints.moc"
