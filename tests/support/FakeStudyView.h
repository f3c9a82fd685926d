#pragma once

#include "VirtualClock.h"
#include "study/StudyCycle.h"
#include "study/StudyView.h"

#include <QList>
#include <QPair>
#include <QStringList>
#include <algorithm>
#include <functional>

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
        const uint64_t period = periodMs == 0 ? 1 : periodMs;
        if (jitter) {
            ArmJittered(id, clock_.Now() + period, period);
            return;
        }
        clock_.Arm(id, period, period, [this, id] {
            Log(QStringLiteral("tick %1").arg(id));
            cycle_->OnTimer(id);
        });
    }
    void KillTimer(int id) override { clock_.Cancel(id); }
    void StartMeaningDelay(uint32_t delayMs) override {
        Log(QStringLiteral("delay %1").arg(delayMs));
        clock_.Arm(kDelayKey, delayMs, 0, [this] { cycle_->OnMeaningDelayElapsed(); });
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
    void ArmJittered(int id, uint64_t ideal, uint64_t period) {
        const int64_t at = std::max<int64_t>(int64_t(clock_.Now()), int64_t(ideal) + jitter(id));
        clock_.Arm(id, uint64_t(at) - clock_.Now(), 0, [this, id, ideal, period] {
            Log(QStringLiteral("tick %1").arg(id));
            ArmJittered(id, ideal + period, period); // before the tick, which may kill or re-arm it
            cycle_->OnTimer(id);
        });
    }
    void Log(const QString& entry) { timerLog.append(QString::number(clock_.Now()) + u' ' + entry); }

    VirtualClock& clock_;
    mnemora::CStudyCycle* cycle_ = nullptr;
};
