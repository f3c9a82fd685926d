#include "study/StudyCycle.h"
#include "study/StudyView.h"

#include "settings/SettingsFile.h"
#include "store/WordStore.h"

namespace mnemora {

void CStudyCycle::OnTimer(int id) {
    if (id != kWordTimerId && id != kMeaningTimerId)
        return;
    meaningDue_ = id == kWordTimerId;
    if (!HasBatch())
        return;
    if (batchCursor == store_.batch.end())
        EndOfBatch();
    if (id == kWordTimerId)
        StepDisplay();
    else
        RevealMeaning();
}

void CStudyCycle::LoadWordTimings() {
    const WordTimings timings = ReadWordTimings();
    wordPeriod = timings.wordPeriod;
    meaningDelay = timings.meaningDelay;
}

void CStudyCycle::KillTimers() {
    view_.KillTimer(kWordTimerId);
    view_.KillTimer(kMeaningTimerId);
    view_.CancelMeaningDelay();
    timersWanted_ = false;
    meaningDue_ = false;
    meaningTickAfterDelay_ = false;
}

// The meaning timer runs meaningDelay behind the word timer. The delay is a pending
// one-shot rather than a wait, so the window stays responsive; KillTimers cancels it.
void CStudyCycle::RestartTimers() {
    KillTimers();
    LoadWordTimings();
    timersWanted_ = true;
    if (!away_)
        ArmTimers(false);
}

// meaningTickFirst: the period resumes between its word tick and its meaning tick, so
// the meaning comes after the delay and the word tick a whole period after now.
void CStudyCycle::ArmTimers(bool meaningTickFirst) {
    view_.ArmTimer(kWordTimerId, wordPeriod);
    meaningTickAfterDelay_ = meaningTickFirst;
    if (meaningDelay == 0)
        OnMeaningDelayElapsed();
    else
        view_.StartMeaningDelay(meaningDelay);
}

void CStudyCycle::OnMeaningDelayElapsed() {
    view_.ArmTimer(kMeaningTimerId, wordPeriod);
    if (meaningTickAfterDelay_) {
        meaningTickAfterDelay_ = false;
        OnTimer(kMeaningTimerId);
    }
}

void CStudyCycle::SetAway(bool away) {
    if (away == away_)
        return;
    away_ = away;
    if (away) {
        // Not KillTimers: the timers stay wanted, and the period keeps its place.
        view_.KillTimer(kWordTimerId);
        view_.KillTimer(kMeaningTimerId);
        view_.CancelMeaningDelay();
        meaningTickAfterDelay_ = false;
        return;
    }
    if (!timersWanted_)
        return;
    LoadWordTimings();
    ArmTimers(meaningDue_);
}

void CStudyCycle::NextWord() {
    if (!HasBatch())
        return;
    const WordBatch& batch = store_.batch;
    if (!showSentence) {
        phase = kPhaseWord;
        batchCursor = WordBatch::Next(batchCursor); // from the end position to the first entry
        if (batchCursor == batch.end())
            EndOfBatch();
        StepDisplay();
        return;
    }
    if (batchCursor == batch.end())
        EndOfBatch();
    if (autoPlay && phase == kPhaseWord) {
        meaningPending = true; // the meaning now, without waiting for its timer
        RevealMeaning();
        return;
    }
    StepDisplay();
}

void CStudyCycle::PrevWord() {
    if (!HasBatch())
        return;
    phase = kPhaseWord;
    if (batchCursor != store_.batch.begin())
        batchCursor = WordBatch::Prev(batchCursor);
    StepDisplay();
}

void CStudyCycle::OnAutoPlay() {
    if (autoPlay)
        return;
    autoPlay = true;
    RestartTimers();
}

void CStudyCycle::OnManualPlay() {
    if (!autoPlay)
        return;
    autoPlay = false;
    KillTimers();
    view_.ShowDesktopAlert(20, QStringLiteral("        手动模式：        \n"
                                              "        下一个单词： ->        \n"
                                              "        上一个单词： <-        \n"));
}

void CStudyCycle::OnToggleFloat() {
    if (view_.IsFloatVisible()) {
        KillTimers();
        view_.HideFloat();
        floatVisible = false;
        return;
    }
    view_.ShowFloat();
    RestartTimers();
    floatVisible = true;
}

void CStudyCycle::OnTrayDoubleClick() {
    view_.ShowFloat();
    floatVisible = true;
    RestartTimers();
}

void CStudyCycle::OpenOptions() {
    KillTimers();
    view_.RunOptionsSheet();
    RestartTimers();
}

} // namespace mnemora
