#include "platform/DesktopPresence.h"

#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include <windows.h>

#include <shellapi.h>
#include <wtsapi32.h>

namespace mnemora {
namespace {

constexpr wchar_t kWatchClass[] = L"MnemoraSessionWatch";

// While the session is locked the input desktop is the logon screen's, which a user's
// program cannot open.
bool InputDesktopTaken() {
    HDESK desk = OpenInputDesktop(0, FALSE, DESKTOP_READOBJECTS);
    if (desk == nullptr)
        return true;
    CloseDesktop(desk);
    return false;
}

// The desktop's signs of absence: the session's lock and unlock as WTS notifications to a
// message-only window of its own (until the first one, and where they cannot be had, the
// input desktop read once a second), and once a second the screen saver flag, the input
// clock for idle time and the shell's notification state for a full-screen program or
// presentation mode.
class WinPresence final : public IPresenceSource {
public:
    explicit WinPresence(QWindow* floatWindow) : window_(floatWindow) {
        WatchSession();
        timer_.setInterval(1000);
        connect(&timer_, &QTimer::timeout, this, &WinPresence::Check);
        timer_.start();
        Check();
    }

    ~WinPresence() override {
        if (watch_ != nullptr) {
            WTSUnRegisterSessionNotification(watch_);
            DestroyWindow(watch_);
        }
    }
    WinPresence(const WinPresence&) = delete;
    WinPresence& operator=(const WinPresence&) = delete;

    PresenceState State() const override { return state_; }
    void SetIdleLimit(uint32_t ms) override {
        idleLimit_ = ms;
        Check();
    }
    void SetWatchFullScreen(bool on) override {
        watchFullScreen_ = on;
        Check();
    }
    void NoteActivity() override { Check(); }

private:
    static uint32_t IdleMs() {
        LASTINPUTINFO info{};
        info.cbSize = sizeof info;
        if (!GetLastInputInfo(&info))
            return 0;
        return GetTickCount() - info.dwTime; // both wrap together after 49.7 days
    }

    void WatchSession() {
        const HINSTANCE module = GetModuleHandleW(nullptr);
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &WinPresence::WatchProc;
        windowClass.hInstance = module;
        windowClass.lpszClassName = kWatchClass;
        RegisterClassW(&windowClass); // fails harmlessly when already registered
        // A message-only window: it takes the session's notifications but no broadcasts.
        watch_ = CreateWindowExW(0, kWatchClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, module, nullptr);
        if (watch_ == nullptr)
            return;
        SetWindowLongPtrW(watch_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        if (!WTSRegisterSessionNotification(watch_, NOTIFY_FOR_THIS_SESSION)) {
            DestroyWindow(watch_);
            watch_ = nullptr;
            return;
        }
    }

    static LRESULT CALLBACK WatchProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_WTSSESSION_CHANGE && (wParam == WTS_SESSION_LOCK || wParam == WTS_SESSION_UNLOCK)) {
            if (auto* self = reinterpret_cast<WinPresence*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA))) {
                self->sessionLocked_ = wParam == WTS_SESSION_LOCK;
                self->notified_ = true;
                self->Check();
            }
            return 0;
        }
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }

    bool Locked() const {
        BOOL saverRunning = FALSE;
        if (SystemParametersInfoW(SPI_GETSCREENSAVERRUNNING, 0, &saverRunning, 0) && saverRunning)
            return true;
        // Notifications tell changes only: until the first one the input desktop says it.
        return notified_ ? sessionLocked_ : InputDesktopTaken();
    }

    bool FullScreen() const {
        QUERY_USER_NOTIFICATION_STATE state{};
        if (SHQueryUserNotificationState(&state) != S_OK)
            return false;
        if (state != QUNS_BUSY && state != QUNS_RUNNING_D3D_FULL_SCREEN && state != QUNS_PRESENTATION_MODE)
            return false;
        // Only a full-screen window on the float window's own screen counts.
        HWND foreground = GetForegroundWindow();
        if (foreground == nullptr || window_.isNull() || window_->screen() == nullptr)
            return state == QUNS_PRESENTATION_MODE;
        RECT rect{};
        GetWindowRect(foreground, &rect);
        const QRect screen = window_->screen()->geometry();
        const qreal ratio = window_->screen()->devicePixelRatio();
        const QRect native(QPoint(qRound(screen.x() * ratio), qRound(screen.y() * ratio)),
                           QSize(qRound(screen.width() * ratio), qRound(screen.height() * ratio)));
        return native.contains(
            QPoint(rect.left + (rect.right - rect.left) / 2, rect.top + (rect.bottom - rect.top) / 2));
    }

    void Check() {
        PresenceState next;
        next.locked = Locked();
        next.idle = idleLimit_ > 0 && IdleMs() >= idleLimit_;
        next.fullScreen = watchFullScreen_ && FullScreen();
        if (next == state_)
            return;
        state_ = next;
        emit changed(state_);
    }

    QPointer<QWindow> window_;
    HWND watch_ = nullptr;
    bool sessionLocked_ = false;
    bool notified_ = false;
    QTimer timer_;
    PresenceState state_;
    uint32_t idleLimit_ = 0;
    bool watchFullScreen_ = false;
};

} // namespace

std::unique_ptr<IPresenceSource> CreatePresenceSource(QWindow* floatWindow, QString* whyOff) {
    if (whyOff != nullptr)
        whyOff->clear();
    return std::make_unique<WinPresence>(floatWindow);
}

} // namespace mnemora
