#include "VirtualClock.h"

void VirtualClock::Arm(int key, uint64_t delay, uint64_t period, Callback callback) {
    events_.insert(key, Event{now_ + delay, period, nextOrder_++, std::move(callback)});
}

void VirtualClock::AdvanceTo(uint64_t t) {
    for (;;) {
        auto next = events_.end();
        for (auto it = events_.begin(); it != events_.end(); ++it) {
            if (it->due <= t && (next == events_.end() || it->due < next->due ||
                                 (it->due == next->due && it->order < next->order)))
                next = it;
        }
        if (next == events_.end())
            break;
        now_ = next->due;
        Callback callback = next->callback; // the event may be re-armed or cancelled by it
        if (next->period > 0)
            next->due += next->period;
        else
            events_.erase(next);
        callback();
    }
    now_ = t;
}
