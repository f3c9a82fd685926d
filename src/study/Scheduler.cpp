#include "study/DueRounds.h"
#include "study/StudyCycle.h"
#include "study/StudyView.h"

#include "store/WordStore.h"

#include <algorithm>
#include <utility>

namespace mnemora {

// What one LoadNextBatch did, for the scheduling loop that called it. Each call fills
// its own, so a nested scheduling (a change of list inside the options sheet) cannot
// mislead the suspended one.
struct CStudyCycle::WalkSummary {
    bool completion = false;  // the completion steps ran instead of a walk
    bool wholeTable = false;  // the walk began at the first row with nothing counted yet
    bool anyUnlearnt = false; // it passed at least one row that is not learnt
    uint32_t firstDue = ~0u;  // smallest toShowTime among the unlearnt rows it passed over
};

uint32_t CStudyCycle::CountStart() {
    const uint32_t value = runTimes_.Read() + 1;
    cachedRunTimes = value;
    runTimes_.Write(value);
    ShowPendingWarning();
    return value;
}

uint32_t CStudyCycle::IntervalFor(uint32_t n) const {
    static constexpr uint32_t kIntervals[] = {1, 2, 3, 8, 16, 31, 90};
    const uint32_t interval = n >= 1 && n <= 7 ? kIntervals[n - 1] : 5;
    return cachedRunTimes + interval;
}

int CStudyCycle::LoadNextBatch() {
    WalkSummary walk;
    return LoadNextBatch(walk);
}

int CStudyCycle::LoadNextBatch(WalkSummary& walk) {
    if (store_.isOpen() == 0 || store_.recordCount() == 0)
        return 0;
    if (store_.learntCount() == store_.recordCount()) {
        walk.completion = true;
        CompleteList();
        return 1; // the store may belong to another list by now; leave it alone
    }
    uint32_t runTimes = runTimes_.Read();
    if (store_.tableCursor() == store_.recordCount()) {
        ++runTimes;
        runTimes_.Write(runTimes);
        store_.RewindWalk();
    }
    store_.batch.Clear();
    Walk(runTimes, walk);
    return 1;
}

void CStudyCycle::CompleteList() {
    view_.ShowMessage(QStringLiteral("恭喜你！！该单词表已经背诵完毕，请选择新的单词表。"),
                      MessageIcon::Plain);
    if (!store_.ResetTable())
        view_.ShowMessage(store_.LastError(), MessageIcon::Plain);
    OpenOptions();
}

void CStudyCycle::Walk(uint32_t runTimes, WalkSummary& walk) {
    walk.wholeTable = store_.tableCursor() == 0 && store_.learntCount() == 0;
    if (!store_.WalkAtEnd())
        ++walkStats_.walks;
    WordRecord record;
    while (!store_.WalkAtEnd()) {
        ++walkStats_.rowsPassed;
        // A counter or index that cannot be read counts as 0 and the row is still used;
        // the failure is counted for diagnostics.
        uint32_t showTimes = 0;
        uint32_t toShowTime = 0;
        if (!store_.ReadCounters(showTimes, toShowTime))
            ++walkStats_.unreadable;
        if (showTimes >= kLearntShowTimes) {
            store_.PassRow(true);
            continue;
        }
        walk.anyUnlearnt = true;
        if (toShowTime > runTimes) {
            walk.firstDue = std::min(walk.firstDue, toShowTime);
            store_.PassRow(false);
            continue;
        }
        record.showTimes = showTimes;
        record.toShowTime = toShowTime;
        // The next row starts from empty texts anyway.
        if (!store_.AppendRow(std::move(record)))
            ++walkStats_.unreadable;
        if (store_.batch.size() == kBatchSize)
            break;
    }
}

// The empty-batch increase. Done one round at a time this would walk the whole table
// twice per round until a word falls due, which for a far-off toShowTime is practically
// forever. After a whole walk that found nothing due, the rounds in which nothing can
// change are skipped arithmetically: every one of them would have raised the clock by
// two and left the walk, the batch and every counter as they are. False when no round
// will ever make a word due.
bool CStudyCycle::EmptyBatchStep(const WalkSummary& walk) {
    const uint32_t runTimes = runTimes_.Read();
    uint64_t skipped = 0;
    if (walk.wholeTable && walk.anyUnlearnt) {
        const std::optional<uint64_t> rounds = RoundsUntilDue(runTimes, walk.firstDue);
        if (!rounds)
            return false;
        skipped = *rounds - 1;
    }
    cachedRunTimes = static_cast<uint32_t>(runTimes + 1 + 2 * skipped);
    runTimes_.Write(cachedRunTimes);
    return true;
}

void CStudyCycle::ScheduleNextBatch() {
    // Each round is one level of the retry the empty-batch step asks for. Once a round
    // has loaded anything, a later round that cannot load still ends with the cursor
    // placed (on the empty batch), as the outer retry levels would.
    bool loaded = false;
    for (;;) {
        WalkSummary walk;
        if (LoadNextBatch(walk) == 0) {
            if (loaded)
                break;
            ShowPendingWarning();
            return;
        }
        loaded = true;
        if (!store_.batch.empty())
            break;
        // A list still complete after the completion steps (its reset failed, and no
        // other list was chosen) would be congratulated, fail and open the sheet again
        // in every further round; stop, and let the next scheduling report it again.
        // Likewise stop when no word of the list can ever fall due.
        const bool stillComplete = walk.completion && store_.isOpen() != 0 && store_.recordCount() > 0 &&
                                   store_.learntCount() == store_.recordCount();
        if (stillComplete || !EmptyBatchStep(walk)) {
            batchCursor = store_.batch.end(); // the walk emptied the batch the cursor was in
            ShowPendingWarning();
            return;
        }
    }
    batchCursor = store_.batch.begin();
    secondPass = false;
    phase = kPhaseWord;
    ShowPendingWarning();
    if (autoPlay)
        RestartTimers();
}

void CStudyCycle::EndOfBatch() {
    if (!secondPass) {
        batchCursor = store_.batch.begin();
        secondPass = true;
        return;
    }
    KillTimers();
    SaveBatch();
    ScheduleNextBatch();
}

void CStudyCycle::ShowPendingWarning() {
    for (const QString& warning : {runTimes_.TakeWarning(), store_.TakeSaveWarning()}) {
        if (!warning.isEmpty())
            view_.ShowMessage(warning, MessageIcon::Error);
    }
}

} // namespace mnemora
