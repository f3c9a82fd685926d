#pragma once

#include "platform/PresenceSource.h"

#include <QPointer>
#include <QTimer>
#include <cstdint>

class QSocketNotifier;
class QWindow;

struct xcb_connection_t;

namespace mnemora {

class CScreenSaverDBus;

// Presence on an X11 desktop, on a connection of its own (so the event masks it selects
// never disturb Qt's):
// - locked: the session bus's screen saver service, or the MIT-SCREEN-SAVER state;
// - idle: the extension's time since the last input, checked when the limit could first
//   be reached and then once a second until input comes back;
// - full screen: _NET_ACTIVE_WINDOW on the root window and _NET_WM_STATE of that window,
//   both from PropertyNotify events, compared with the screen of the float window.
// What the desktop lacks is reported in one line on stderr each and stays off.
class CX11Presence final : public IPresenceSource {
    Q_OBJECT
public:
    explicit CX11Presence(QWindow* floatWindow, QObject* parent = nullptr);
    ~CX11Presence() override;

    PresenceState State() const override { return state_; }
    void SetIdleLimit(uint32_t ms) override;
    void SetWatchFullScreen(bool on) override;
    void NoteActivity() override;

private:
    bool Connect();
    void ReadEvents();
    void HandleEvent(const void* event); // an xcb_generic_event_t
    void CheckIdle();
    void CheckActiveWindow();
    bool SaverOn();
    void Update(PresenceState next);

    QPointer<QWindow> floatWindow_;
    xcb_connection_t* connection_ = nullptr;
    uint32_t root_ = 0;
    bool hasSaver_ = false;
    uint8_t saverEvent_ = 0;
    uint32_t atomActive_ = 0;
    uint32_t atomState_ = 0;
    uint32_t atomFullScreen_ = 0;
    uint32_t watched_ = 0; // the active window whose _NET_WM_STATE we follow
    bool watchFullScreen_ = false;
    bool saverOn_ = false;
    uint32_t idleLimit_ = 0;
    QTimer idleTimer_;
    QSocketNotifier* notifier_ = nullptr;
    CScreenSaverDBus* dbus_ = nullptr;
    PresenceState state_;
};

} // namespace mnemora
