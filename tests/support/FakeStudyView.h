#pragma once

#include "study/StudyCycle.h"
#include "study/StudyView.h"

#include <QList>
#include <QMap>
#include <QPair>
#include <QStringList>
#include <algorithm>
#include <cstdint>
#include <functional>

// Virtual time for timer-driven code: one-shot events are kept by key and fire only when
// the test advances the clock. Events due at the same moment fire in the order they were
// armed; a callback may arm, re-arm or cancel any event.
class VirtualClock final {
public:
    using Callback = std::function<void()>;

    uint64_t Now() const { return now_; }
    // Arms key to fire once after delay.
    void Arm(int key, uint64_t delay, Callback callback) {
        events_.insert(key, Event{now_ + delay, nextOrder_++, std::move(callback)});
    }
    void Cancel(int key) { events_.remove(key); }
    bool IsArmed(int key) const { return events_.contains(key); }
    // Fires every event due up to and including time t, then stands at t.
    void AdvanceTo(uint64_t t) {
        for (;;) {
            const auto next =
                std::min_element(events_.begin(), events_.end(), [](const Event& a, const Event& b) {
                    return std::pair(a.due, a.order) < std::pair(b.due, b.order);
                });
            if (next == events_.end() || next->due > t)
                break;
            now_ = next->due;
            const Callback callback = next->callback;
            events_.erase(next);
            callback();
        }
        now_ = t;
    }
    void AdvanceBy(uint64_t ms) { AdvanceTo(now_ + ms); }

private:
    struct Event {
        uint64_t due, order;
        Callback callback;
    };
    uint64_t now_ = 0;
    uint64_t nextOrder_ = 0;
    QMap<int, Event> events_;
};

// The float window as the study cycle sees it, on virtual time. Records what is shown
// and the timers armed and ticking; ticks and the meaning delay reach the attached cycle.
class FakeStudyView final : public mnemora::IStudyView {
public:
    struct Shown {
        uint64_t at;
        QString text;
    };

    explicit FakeStudyView(VirtualClock& clock) : clock_(clock) {}
    void Attach(mnemora::CStudyCycle* cycle) { cycle_ = cycle; }

    void ShowMessage(const QString& text, mnemora::MessageIcon icon) override {
        messages.append({text, icon});
    }
    void ShowWordText(const QString& text) override { shown.append({clock_.Now(), text}); }
    bool IsFloatVisible() const override { return visible; }
    void ShowFloat() override { visible = true; }
    void HideFloat() override { visible = false; }
    void ArmTimer(int id, uint32_t periodMs) override {
        Log(QStringLiteral("arm %1 %2").arg(id).arg(periodMs));
        ArmTick(id, clock_.Now() + std::max(periodMs, 1u), std::max(periodMs, 1u));
    }
    void KillTimer(int id) override { clock_.Cancel(id); }
    void StartMeaningDelay(uint32_t delayMs) override {
        Log(QStringLiteral("delay %1").arg(delayMs));
        clock_.Arm(kDelayKey, delayMs, [this] { cycle_->OnMeaningDelayElapsed(); });
    }
    void CancelMeaningDelay() override { clock_.Cancel(kDelayKey); }
    void ShowDesktopAlert(int seconds, const QString& text) override { alerts.append({seconds, text}); }
    void RunOptionsSheet() override {
        ++sheets;
        timersKilledDuringSheet = !AnyTimerArmed();
        if (onOptionsSheet)
            onOptionsSheet();
    }

    bool AnyTimerArmed() const {
        return clock_.IsArmed(mnemora::kWordTimerId) || clock_.IsArmed(mnemora::kMeaningTimerId) ||
               clock_.IsArmed(kDelayKey);
    }

    QList<Shown> shown;
    QList<QPair<QString, mnemora::MessageIcon>> messages;
    QList<QPair<int, QString>> alerts;
    QStringList timerLog; // "t arm 1124 8000", "t delay 4000", "t tick 1124"
    int sheets = 0;
    bool visible = true;
    bool timersKilledDuringSheet = false;
    std::function<void()> onOptionsSheet; // what the user does in the sheet
    // When set, each tick of a timer comes this many ms (may be negative) off its ideal
    // time, as the system's timer slack does; the ideal times do not drift.
    std::function<int(int id)> jitter;

private:
    static constexpr int kDelayKey = -1;
    // The next tick of timer id, due at ideal (off by the jitter when set); the one after it
    // is armed before the tick is handled, which may kill or re-arm the timer.
    void ArmTick(int id, uint64_t ideal, uint64_t period) {
        const int64_t at =
            std::max<int64_t>(int64_t(clock_.Now()), int64_t(ideal) + (jitter ? jitter(id) : 0));
        clock_.Arm(id, uint64_t(at) - clock_.Now(), [this, id, ideal, period] {
            Log(QStringLiteral("tick %1").arg(id));
            ArmTick(id, ideal + period, period);
            cycle_->OnTimer(id);
        });
    }
    void Log(const QString& entry) { timerLog.append(QString::number(clock_.Now()) + u' ' + entry); }

    VirtualClock& clock_;
    mnemora::CStudyCycle* cycle_ = nullptr;
};
