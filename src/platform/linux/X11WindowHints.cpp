#include "platform/linux/X11WindowHints.h"

#include <QEvent>
#include <QGuiApplication>
#include <QSet>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace mnemora {
namespace {
constexpr uint32_t kNetWmStateRemove = 0;
constexpr uint32_t kNetWmStateAdd = 1;
constexpr uint32_t kSourceApplication = 1;

template <typename T> using XcbReply = std::unique_ptr<T, decltype(&std::free)>;

xcb_connection_t* Connection() {
    auto* x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 != nullptr ? x11->connection() : nullptr;
}

xcb_atom_t Atom(xcb_connection_t* c, const QByteArray& name) {
    XcbReply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(name.size()), name.constData()), nullptr),
        &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

xcb_window_t RootOf(xcb_connection_t* c, xcb_window_t window) {
    XcbReply<xcb_get_geometry_reply_t> reply(xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr),
                                             &std::free);
    return reply ? reply->root : xcb_window_t(XCB_WINDOW_NONE);
}

bool IsMapped(xcb_connection_t* c, xcb_window_t window) {
    XcbReply<xcb_get_window_attributes_reply_t> reply(
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr), &std::free);
    return reply && reply->map_state != XCB_MAP_STATE_UNMAPPED;
}

QList<xcb_atom_t> StateAtoms(xcb_connection_t* c, xcb_window_t window, xcb_atom_t netWmState) {
    XcbReply<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(c, xcb_get_property(c, 0, window, netWmState, XCB_ATOM_ATOM, 0, 1024),
                               nullptr),
        &std::free);
    QList<xcb_atom_t> atoms;
    if (reply && reply->format == 32 && reply->type == XCB_ATOM_ATOM) {
        const auto* data = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
        const int count = xcb_get_property_value_length(reply.get()) / int(sizeof(xcb_atom_t));
        atoms = QList<xcb_atom_t>(data, data + count);
    }
    return atoms;
}

// Remembers which states a window wants and writes them into _NET_WM_STATE whenever the
// window is about to be mapped: Qt sends the Show event before it maps, and merges its own
// states into the property it finds.
class CNetWmStateKeeper final : public QObject {
public:
    explicit CNetWmStateKeeper(QWindow* window) : QObject(window), m_window(window) {
        setObjectName(QStringLiteral("mnemora-netwmstate"));
        window->installEventFilter(this);
    }

    static CNetWmStateKeeper* For(QWindow* window) {
        auto* keeper = window->findChild<CNetWmStateKeeper*>(QStringLiteral("mnemora-netwmstate"),
                                                             Qt::FindDirectChildrenOnly);
        return keeper != nullptr ? keeper : new CNetWmStateKeeper(window);
    }

    void Want(const QByteArrayList& states, bool on) {
        for (const QByteArray& state : states) {
            (on ? m_wanted : m_unwanted).insert(state);
            (on ? m_unwanted : m_wanted).remove(state);
        }
        xcb_connection_t* c = Connection();
        if (c == nullptr)
            return;
        const xcb_window_t window = xcb_window_t(m_window->winId());
        if (IsMapped(c, window))
            SendRequest(c, window, states, on);
        else
            WriteProperty(c, window);
        xcb_flush(c);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_window && event->type() == QEvent::Show) {
            if (xcb_connection_t* c = Connection()) {
                WriteProperty(c, xcb_window_t(m_window->winId()));
                xcb_flush(c);
            }
        }
        return false;
    }

private:
    // Before mapping the property is the client's to set.
    void WriteProperty(xcb_connection_t* c, xcb_window_t window) const {
        const xcb_atom_t netWmState = Atom(c, QByteArrayLiteral("_NET_WM_STATE"));
        QList<xcb_atom_t> atoms = StateAtoms(c, window, netWmState);
        for (const QByteArray& state : m_unwanted)
            atoms.removeAll(Atom(c, state));
        for (const QByteArray& state : m_wanted) {
            const xcb_atom_t atom = Atom(c, state);
            if (!atoms.contains(atom))
                atoms.append(atom);
        }
        if (atoms.isEmpty())
            xcb_delete_property(c, window, netWmState);
        else
            xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, netWmState, XCB_ATOM_ATOM, 32,
                                uint32_t(atoms.size()), atoms.constData());
    }

    // Once mapped the window manager owns the property; it takes change requests sent to
    // the root window, two states per message.
    static void SendRequest(xcb_connection_t* c, xcb_window_t window, const QByteArrayList& states, bool on) {
        const xcb_window_t root = RootOf(c, window);
        const xcb_atom_t netWmState = Atom(c, QByteArrayLiteral("_NET_WM_STATE"));
        for (qsizetype i = 0; i < states.size(); i += 2) {
            xcb_client_message_event_t event{};
            event.response_type = XCB_CLIENT_MESSAGE;
            event.format = 32;
            event.window = window;
            event.type = netWmState;
            event.data.data32[0] = on ? kNetWmStateAdd : kNetWmStateRemove;
            event.data.data32[1] = Atom(c, states[i]);
            event.data.data32[2] = i + 1 < states.size() ? Atom(c, states[i + 1]) : 0;
            event.data.data32[3] = kSourceApplication;
            xcb_send_event(c, 0, root,
                           XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                           reinterpret_cast<const char*>(&event));
        }
    }

    QWindow* m_window;
    QSet<QByteArray> m_wanted;
    QSet<QByteArray> m_unwanted;
};
} // namespace

bool IsX11Platform() {
    return Connection() != nullptr;
}

bool CanKeepAboveInPlace() {
    return IsX11Platform();
}

void KeepOutOfTaskbar(QWindow* window) {
    if (window != nullptr)
        CNetWmStateKeeper::For(window)->Want(
            {QByteArrayLiteral("_NET_WM_STATE_SKIP_TASKBAR"), QByteArrayLiteral("_NET_WM_STATE_SKIP_PAGER")},
            true);
}

void SetKeepAbove(QWindow* window, bool above) {
    if (window != nullptr)
        CNetWmStateKeeper::For(window)->Want({QByteArrayLiteral("_NET_WM_STATE_ABOVE")}, above);
}

QByteArrayList NetWmStateNames(QWindow* window) {
    xcb_connection_t* c = Connection();
    if (c == nullptr || window == nullptr)
        return {};
    QByteArrayList names;
    const xcb_window_t id = xcb_window_t(window->winId());
    for (const xcb_atom_t atom : StateAtoms(c, id, Atom(c, QByteArrayLiteral("_NET_WM_STATE")))) {
        XcbReply<xcb_get_atom_name_reply_t> reply(
            xcb_get_atom_name_reply(c, xcb_get_atom_name(c, atom), nullptr), &std::free);
        if (reply)
            names.append(
                QByteArray(xcb_get_atom_name_name(reply.get()), xcb_get_atom_name_name_length(reply.get())));
    }
    return names;
}

} // namespace mnemora
