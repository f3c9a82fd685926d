#include "platform/linux/X11Presence.h"

#include "platform/DesktopPresence.h"
#include "platform/linux/ScreenSaverDBus.h"
#include "platform/linux/X11WindowHints.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QSocketNotifier>
#include <QWindow>

#include <xcb/screensaver.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace mnemora {
namespace {

template <typename T> using Reply = std::unique_ptr<T, decltype(&std::free)>;

constexpr uint32_t kIdleRecheckMs = 1000;

void Report(const QString& what) {
    std::fprintf(stderr, "mnemora: %s\n", what.toUtf8().constData());
    std::fflush(stderr);
}

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
    Reply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr),
        &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

} // namespace

CX11Presence::CX11Presence(QWindow* floatWindow, QObject* parent)
    : IPresenceSource(parent), floatWindow_(floatWindow) {
    idleTimer_.setSingleShot(true);
    idleTimer_.setTimerType(Qt::CoarseTimer);
    connect(&idleTimer_, &QTimer::timeout, this, &CX11Presence::CheckIdle);

    dbus_ = new CScreenSaverDBus(this);
    const QString busOff = dbus_->Start();
    if (!busOff.isEmpty())
        Report(busOff);
    connect(dbus_, &CScreenSaverDBus::activeChanged, this, [this] {
        PresenceState next = state_;
        next.locked = saverOn_ || dbus_->IsActive();
        Update(next);
    });

    if (!Connect()) {
        Report(QStringLiteral("no X display: idle time, the X screen saver and full-screen windows are not "
                              "watched"));
        return;
    }
    if (!hasSaver_)
        Report(QStringLiteral("the X server has no MIT-SCREEN-SAVER extension: idle time and the X screen "
                              "saver are not watched"));
    PresenceState next = state_;
    saverOn_ = SaverOn();
    next.locked = saverOn_ || dbus_->IsActive();
    Update(next);
}

CX11Presence::~CX11Presence() {
    delete notifier_;
    if (connection_ != nullptr)
        xcb_disconnect(connection_);
}

bool CX11Presence::Connect() {
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return false;
    int screenNumber = 0;
    connection_ = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(connection_) != 0) {
        xcb_disconnect(connection_);
        connection_ = nullptr;
        return false;
    }
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection_));
    for (int i = 0; i < screenNumber && it.rem > 0; ++i)
        xcb_screen_next(&it);
    root_ = it.data->root;
    atomActive_ = Atom(connection_, "_NET_ACTIVE_WINDOW");
    atomState_ = Atom(connection_, "_NET_WM_STATE");
    atomFullScreen_ = Atom(connection_, "_NET_WM_STATE_FULLSCREEN");

    const xcb_query_extension_reply_t* ext = xcb_get_extension_data(connection_, &xcb_screensaver_id);
    hasSaver_ = ext != nullptr && ext->present != 0;
    if (hasSaver_) {
        saverEvent_ = ext->first_event;
        Reply<xcb_screensaver_query_version_reply_t> version(
            xcb_screensaver_query_version_reply(connection_, xcb_screensaver_query_version(connection_, 1, 1),
                                                nullptr),
            &std::free);
        xcb_screensaver_select_input(connection_, root_, XCB_SCREENSAVER_EVENT_NOTIFY_MASK);
    }
    xcb_flush(connection_);
    notifier_ = new QSocketNotifier(xcb_get_file_descriptor(connection_), QSocketNotifier::Read);
    connect(notifier_, &QSocketNotifier::activated, this, &CX11Presence::ReadEvents);
    return true;
}

void CX11Presence::SetIdleLimit(uint32_t ms) {
    idleLimit_ = hasSaver_ ? ms : 0;
    if (idleLimit_ == 0) {
        idleTimer_.stop();
        PresenceState next = state_;
        next.idle = false;
        Update(next);
        return;
    }
    CheckIdle();
}

void CX11Presence::NoteActivity() {
    if (state_.idle)
        CheckIdle();
}

// While someone works, the next look comes when the idle time could first reach the
// limit; once idle, a look a second catches the return.
void CX11Presence::CheckIdle() {
    if (connection_ == nullptr || idleLimit_ == 0)
        return;
    Reply<xcb_screensaver_query_info_reply_t> info(
        xcb_screensaver_query_info_reply(connection_, xcb_screensaver_query_info(connection_, root_),
                                         nullptr),
        &std::free);
    if (!info)
        return;
    const uint32_t idleMs = info->ms_since_user_input;
    PresenceState next = state_;
    next.idle = idleMs >= idleLimit_;
    idleTimer_.start(int(next.idle ? kIdleRecheckMs : std::max(idleLimit_ - idleMs, kIdleRecheckMs)));
    Update(next);
}

bool CX11Presence::SaverOn() {
    if (!hasSaver_)
        return false;
    Reply<xcb_screensaver_query_info_reply_t> info(
        xcb_screensaver_query_info_reply(connection_, xcb_screensaver_query_info(connection_, root_),
                                         nullptr),
        &std::free);
    return info && info->state == XCB_SCREENSAVER_STATE_ON;
}

void CX11Presence::SetWatchFullScreen(bool on) {
    if (connection_ == nullptr || on == watchFullScreen_)
        return;
    watchFullScreen_ = on;
    const uint32_t rootMask = on ? XCB_EVENT_MASK_PROPERTY_CHANGE : 0;
    xcb_change_window_attributes(connection_, root_, XCB_CW_EVENT_MASK, &rootMask);
    CheckActiveWindow();
}

void CX11Presence::ReadEvents() {
    while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
        HandleEvent(event);
        std::free(event);
    }
    if (xcb_connection_has_error(connection_) != 0) {
        notifier_->setEnabled(false); // the server is gone; the program ends with it
    }
}

void CX11Presence::HandleEvent(const void* raw) {
    const auto* event = static_cast<const xcb_generic_event_t*>(raw);
    const uint8_t type = event->response_type & 0x7F;
    if (hasSaver_ && type == saverEvent_ + XCB_SCREENSAVER_NOTIFY) {
        const auto* notify = reinterpret_cast<const xcb_screensaver_notify_event_t*>(event);
        saverOn_ = notify->state == XCB_SCREENSAVER_STATE_ON;
        PresenceState next = state_;
        next.locked = saverOn_ || dbus_->IsActive();
        Update(next);
        return;
    }
    if (type != XCB_PROPERTY_NOTIFY || !watchFullScreen_)
        return;
    const auto* notify = reinterpret_cast<const xcb_property_notify_event_t*>(event);
    if ((notify->window == root_ && notify->atom == atomActive_) ||
        (notify->window == watched_ && notify->atom == atomState_))
        CheckActiveWindow();
}

void CX11Presence::CheckActiveWindow() {
    xcb_connection_t* c = connection_;
    xcb_window_t active = XCB_WINDOW_NONE;
    if (watchFullScreen_) {
        Reply<xcb_get_property_reply_t> reply(
            xcb_get_property_reply(c, xcb_get_property(c, 0, root_, atomActive_, XCB_ATOM_WINDOW, 0, 1),
                                   nullptr),
            &std::free);
        if (reply && reply->type == XCB_ATOM_WINDOW && xcb_get_property_value_length(reply.get()) >= 4)
            active = *static_cast<const xcb_window_t*>(xcb_get_property_value(reply.get()));
    }
    if (active != watched_) {
        // Our mask on a window is ours alone; the window may already be gone.
        const uint32_t none = 0;
        const uint32_t props = XCB_EVENT_MASK_PROPERTY_CHANGE;
        if (watched_ != XCB_WINDOW_NONE)
            xcb_change_window_attributes(c, watched_, XCB_CW_EVENT_MASK, &none);
        watched_ = active;
        if (watched_ != XCB_WINDOW_NONE)
            xcb_change_window_attributes(c, watched_, XCB_CW_EVENT_MASK, &props);
    }
    bool fullScreen = false;
    if (active != XCB_WINDOW_NONE) {
        Reply<xcb_get_property_reply_t> states(
            xcb_get_property_reply(c, xcb_get_property(c, 0, active, atomState_, XCB_ATOM_ATOM, 0, 64),
                                   nullptr),
            &std::free);
        if (states && states->type == XCB_ATOM_ATOM) {
            const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(states.get()));
            const int count = xcb_get_property_value_length(states.get()) / int(sizeof(xcb_atom_t));
            fullScreen = std::find(atoms, atoms + count, atomFullScreen_) != atoms + count;
        }
        // Full screen on another monitor leaves the float window in sight.
        if (fullScreen && floatWindow_ != nullptr && floatWindow_->screen() != nullptr) {
            Reply<xcb_get_geometry_reply_t> geometry(
                xcb_get_geometry_reply(c, xcb_get_geometry(c, active), nullptr), &std::free);
            Reply<xcb_translate_coordinates_reply_t> at(
                xcb_translate_coordinates_reply(c, xcb_translate_coordinates(c, active, root_, 0, 0),
                                                nullptr),
                &std::free);
            if (geometry && at) {
                const QScreen* screen = floatWindow_->screen();
                const qreal ratio = screen->devicePixelRatio();
                const QRect g = screen->geometry();
                const QRect native(QPoint(int(g.x() * ratio), int(g.y() * ratio)),
                                   QSize(int(g.width() * ratio), int(g.height() * ratio)));
                const QPoint centre(at->dst_x + geometry->width / 2, at->dst_y + geometry->height / 2);
                fullScreen = native.contains(centre);
            }
        }
    }
    xcb_flush(c);
    PresenceState next = state_;
    next.fullScreen = fullScreen;
    Update(next);
}

void CX11Presence::Update(PresenceState next) {
    if (next == state_)
        return;
    state_ = next;
    emit changed(state_);
}

std::unique_ptr<IPresenceSource> CreatePresenceSource(QWindow* floatWindow, QString* whyOff) {
    if (!IsX11Platform()) {
        if (whyOff != nullptr)
            *whyOff = QStringLiteral(
                "not on X11: the study does not pause when the screen is locked, idle or covered");
        return nullptr;
    }
    return std::make_unique<CX11Presence>(floatWindow);
}

} // namespace mnemora
