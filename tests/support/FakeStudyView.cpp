#include "FakeStudyView.h"

#include "study/StudyCycle.h"

void FakeStudyView::ArmTimer(int id, uint32_t periodMs) {
    Log(QStringLiteral("arm %1 %2").arg(id).arg(periodMs));
    const uint64_t period = periodMs == 0 ? 1 : periodMs;
    clock_.Arm(id, period, period, [this, id] {
        Log(QStringLiteral("tick %1").arg(id));
        cycle_->OnTimer(id);
    });
}

void FakeStudyView::KillTimer(int id) {
    Log(QStringLiteral("kill %1").arg(id));
    clock_.Cancel(id);
}

void FakeStudyView::StartMeaningDelay(uint32_t delayMs) {
    Log(QStringLiteral("delay %1").arg(delayMs));
    clock_.Arm(kDelayKey, delayMs, 0, [this] { cycle_->OnMeaningDelayElapsed(); });
}

void FakeStudyView::CancelMeaningDelay() {
    if (clock_.IsArmed(kDelayKey))
        Log(QStringLiteral("cancel"));
    clock_.Cancel(kDelayKey);
}

void FakeStudyView::RunOptionsSheet() {
    Log(QStringLiteral("sheet"));
    timersKilledDuringSheet = !clock_.IsArmed(mnemora::kWordTimerId) &&
                              !clock_.IsArmed(mnemora::kMeaningTimerId) && !DelayPending();
    if (onOptionsSheet)
        onOptionsSheet();
}
