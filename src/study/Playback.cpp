#include "study/StudyCycle.h"
#include "study/StudyView.h"

#include "settings/SettingsFile.h"
#include "store/WordStore.h"

#include <utility>

namespace mnemora {

// Two timers of one period drift against each other by the system's timer slack, so
// their ticks may come out of order (with no delay they are due at the same moment).
// The steps keep the order of the periods whatever the ticks do: a meaning tick acts only
// after its period's word tick; a word tick that finds the last period's meaning still due
// takes that meaning step first (it moves the cursor on, so no word is shown and counted
// twice). Either way the meaning timer is then put back in step behind the word timer.
void CStudyCycle::OnTimer(int id) {
    if (id != kWordTimerId && id != kMeaningTimerId)
        return;
    if (id == kMeaningTimerId) {
        if (!meaningDue_) {
            meaningOutOfStep_ = true; // early: the coming word tick re-phases the meaning timer
            return;
        }
        meaningDue_ = false;
        TimerStep(kMeaningTimerId);
        return;
    }
    bool outOfStep = std::exchange(meaningOutOfStep_, false);
    if (meaningDue_) {
        meaningDue_ = false;
        TimerStep(kMeaningTimerId);
        outOfStep = true;
    }
    meaningDue_ = true;
    TimerStep(kWordTimerId);
    // A restart inside the step (a new batch) has armed both timers afresh.
    if (outOfStep && meaningDue_ && timersWanted_ && !away_)
        RephaseMeaningTimer();
}

void CStudyCycle::TimerStep(int id) {
    if (!HasBatch())
        return;
    if (batchCursor == store_.batch.end())
        EndOfBatch();
    if (id == kWordTimerId)
        StepDisplay();
    else
        RevealMeaning();
}

// The meaning timer starts again meaningDelay after this word tick, with a tick then.
void CStudyCycle::RephaseMeaningTimer() {
    view_.KillTimer(kMeaningTimerId);
    view_.CancelMeaningDelay();
    BeginMeaningDelay(true);
}

// The meaning timer is armed meaningDelay from now; tickAfter: with a meaning tick then.
void CStudyCycle::BeginMeaningDelay(bool tickAfter) {
    meaningTickAfterDelay_ = tickAfter;
    if (meaningDelay == 0)
        OnMeaningDelayElapsed();
    else
        view_.StartMeaningDelay(meaningDelay);
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
    meaningOutOfStep_ = false;
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
    BeginMeaningDelay(meaningTickFirst);
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
        meaningOutOfStep_ = false;
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
