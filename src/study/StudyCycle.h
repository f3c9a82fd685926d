#pragma once

#include "store/WordBatch.h"
#include "study/RunTimesCounter.h"
#include "study/StudyIds.h"

#include <QString>
#include <cstdint>
#include <vector>

namespace mnemora {

class CWordStore;
class IStudyObserver;
class IStudyView;

// The study cycle of the float window: which word is shown when (scheduler), what the
// window says at each step (presentation), when it moves on (playback) and how far the
// list has been learnt (statistics). The window owns one, passes it its word store and
// itself as the view, forwards timer ticks, keys and the study commands, and reads the
// state below for its check marks.
//
// Everything runs on the user-interface thread. Modal boxes and the options sheet are
// opened from inside some operations, and while the sheet is open a change of list may
// run a whole ScheduleNextBatch of its own; no operation holds a batch position or a
// walk result across such a call.
class CStudyCycle final {
public:
    static constexpr int kBatchSize = 50;
    static constexpr uint32_t kLearntShowTimes = 7;
    static constexpr int kPhaseWord = 0;
    static constexpr int kPhaseFirstSentence = 2;
    static constexpr int kPhaseSecondSentence = 3;
    static constexpr int kPhaseNoBatch = 4;

    // The menu commands handled here; the menus send the same numbers.
    static constexpr int kCmdToggleFloat = cmd::kFloatWindow;
    static constexpr int kCmdOptions = cmd::kOptions;
    static constexpr int kCmdLearningStats = cmd::kLearningStats;
    static constexpr int kCmdAutoPlay = cmd::kAutoPlay;
    static constexpr int kCmdManualPlay = cmd::kManualPlay;

    CStudyCycle(CWordStore& store, IStudyView& view);
    CStudyCycle(const CStudyCycle&) = delete;
    CStudyCycle& operator=(const CStudyCycle&) = delete;

    // --- the list ---
    // Opens a list and selects its table (start-up, a change of list), then schedules its
    // first batch. A list that cannot be opened (the store has said why in a message box)
    // leaves no batch and no timers, and the window says what to do instead; false then.
    bool OpenList(int listIndex, int category);
    // The last OpenList failed: there are no words, and no figures of the list to show.
    bool ListUnavailable() const { return listUnavailable_; }
    // What the window, the statistics and the progress command say meanwhile.
    static QString ListUnavailableText();

    // --- scheduler ---
    // Counts a program start in RunTimes and makes it the base of new due values;
    // returns the new value (1 on the first start on this machine).
    uint32_t CountStart();
    // Walks the open table for the next batch; 0 when no list is open or it has no rows.
    int LoadNextBatch();
    // Loads the next non-empty batch, puts batchCursor on its first entry and, in
    // automatic playback, restarts the timers.
    void ScheduleNextBatch();
    // Called with batchCursor at the end position: second pass, or save and reload.
    void EndOfBatch();
    // The new toShowTime after a first-pass show raised showTimes to n.
    uint32_t IntervalFor(uint32_t n) const;

    // --- presentation ---
    void StepDisplay();
    void ShowWord();
    void RevealMeaning();
    void ShowFirstSentence();
    void ShowSecondSentence();

    // --- playback ---
    // Timer ticks of kWordTimerId and kMeaningTimerId; other ids are ignored.
    void OnTimer(int id);
    // The delay started by RestartTimers has elapsed: arm the meaning timer.
    void OnMeaningDelayElapsed();
    void RestartTimers();
    // Kills both timers and cancels a pending arming of the meaning timer.
    void KillTimers();
    void LoadWordTimings();
    void NextWord();
    void PrevWord();
    void OnAutoPlay();
    void OnManualPlay();
    void OnToggleFloat();
    // The tray icon's double click: show the window and restart the timers in either mode.
    void OnTrayDoubleClick();
    // The options command: the sheet runs with the timers stopped; they restart after it.
    void OpenOptions();

    // --- away ---
    // While away the timers are stopped, the text on show stays and nothing is counted;
    // whatever would restart the timers meanwhile only notes that they are wanted. On
    // return the schedule starts afresh from the step on show: the next word tick comes
    // one word period later, and a meaning still due for the word on show comes
    // meaningDelay after the return. Keys keep working (someone pressing them is there).
    void SetAway(bool away);
    bool IsAway() const { return away_; }
    // Nothing can be saved and the user has been told so: no second warning about RunTimes.
    void QuietSaveWarnings() { runTimes_.Quiet(); }
    // The timers run, or would run but for the pause.
    bool TimersWanted() const { return timersWanted_; }

    // --- statistics ---
    void ShowLearningStats();
    QString LearningStatsText() const;

    // Observers are told of every word and sentence shown and every batch written back,
    // in the order they were added; they must outlive the cycle or be removed first.
    void AddObserver(IStudyObserver* observer);
    void RemoveObserver(IStudyObserver* observer);
    // Writes the counters of the words shown so far back to the list and tells the
    // observers: the end of a batch, a checkpoint, a change of list, an orderly end.
    void SaveBatch();

    // Runs a study command; false for ids that are not study commands.
    bool OnCommand(int id);

    bool HasBatch() const { return phase != kPhaseNoBatch; }
    // The RunTimes value the scheduler works with (the file's, or the one kept in
    // memory after a failed write).
    uint32_t CurrentRunTimes() { return runTimes_.Read(); }
    bool RunTimesUnsaved() const { return runTimes_.Unsaved(); }

    // Shows the warnings of failed writes (RunTimes, the word counters) not shown yet.
    void ShowPendingWarning();

    // Work counters for benchmarks and tests: walks that passed rows, rows passed, and
    // rows with a counter or index that could not be read.
    struct WalkStats {
        uint64_t walks = 0;
        uint64_t rowsPassed = 0;
        uint64_t unreadable = 0;
    };
    const WalkStats& GetWalkStats() const { return walkStats_; }

    WordBatch::Position batchCursor;
    bool secondPass = false;
    int phase = kPhaseNoBatch;
    bool meaningPending = false;
    bool showSentence = true;
    bool autoPlay = true;
    uint32_t cachedRunTimes = 0;
    uint32_t wordPeriod = 0;   // milliseconds, both timers
    uint32_t meaningDelay = 0; // milliseconds from arming the word timer to arming the meaning timer
    bool floatVisible = true;
    QString displayText;

private:
    struct WalkSummary;
    int LoadNextBatch(WalkSummary& walk);
    void CompleteList();
    void Walk(uint32_t runTimes, WalkSummary& walk);
    bool EmptyBatchStep(const WalkSummary& walk);
    void Show(QString text);
    WordRecord& Current() const;
    QString MeaningText() const;
    void ShowSentence(int n);

    void ArmTimers(bool meaningTickFirst);
    void TimerStep(int id);
    void RephaseMeaningTimer();
    void BeginMeaningDelay(bool tickAfter);

    bool listUnavailable_ = false;
    bool away_ = false;
    bool timersWanted_ = false;
    // The word tick of the current period has come, its meaning tick not yet.
    bool meaningDue_ = false;
    // A meaning tick came before its period's word tick.
    bool meaningOutOfStep_ = false;
    // The pending meaning delay ends with a meaning tick (a resumed period).
    bool meaningTickAfterDelay_ = false;

    CWordStore& store_;
    IStudyView& view_;
    CRunTimesCounter runTimes_;
    WalkStats walkStats_;
    std::vector<IStudyObserver*> observers_;
};

} // namespace mnemora
