#pragma once

#include <QMap>
#include <cstdint>
#include <functional>

// Virtual time for timer-driven code: timers and one-shots are kept by key and fire
// only when the test advances the clock. Events due at the same moment fire in the
// order they were armed; a callback may arm, re-arm or cancel any event.
class VirtualClock final {
public:
    using Callback = std::function<void()>;

    uint64_t Now() const { return now_; }
    // Arms key to fire first after delay and then every period (0: once only).
    void Arm(int key, uint64_t delay, uint64_t period, Callback callback);
    void Cancel(int key) { events_.remove(key); }
    bool IsArmed(int key) const { return events_.contains(key); }
    // Fires every event due up to and including time t, then stands at t.
    void AdvanceTo(uint64_t t);
    void AdvanceBy(uint64_t ms) { AdvanceTo(now_ + ms); }

private:
    struct Event {
        uint64_t due, period, order;
        Callback callback;
    };
    uint64_t now_ = 0;
    uint64_t nextOrder_ = 0;
    QMap<int, Event> events_;
};
