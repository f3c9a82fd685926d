#include "study/KnownWords.h"

#include "store/WordStore.h"
#include "study/StudyCycle.h"

namespace mnemora {

CKnownWords::CKnownWords(CStudyCycle& cycle, CWordStore& store) : cycle_(cycle), store_(store) {}

void CKnownWords::OnWordShown(const WordRecord& record, bool /*firstPass*/) {
    shown_ = &record;
    shownIndex_ = record.index;
}

void CKnownWords::DropStaleMarks() {
    // Selections only grow, so the stale marks are the oldest ones.
    while (!marks_.empty() && marks_.front().selection != store_.selection())
        marks_.pop_front();
}

bool CKnownWords::CanUndo() {
    DropStaleMarks();
    return !marks_.empty();
}

bool CKnownWords::MarkShownWord() {
    if (!cycle_.HasBatch() || shown_ == nullptr)
        return false;
    // The word on show is still an entry of the batch only while the batch that showed it
    // lasts; the address alone could belong to a newer entry, hence the index as well.
    WordBatch& batch = store_.batch;
    WordBatch::Position p = batch.begin();
    while (p != batch.end() && (&WordBatch::At(p) != shown_ || WordBatch::At(p).index != shownIndex_))
        p = WordBatch::Next(p);
    if (p == batch.end())
        return false;

    WordRecord& record = WordBatch::At(p);
    Mark mark{record, store_.selection()};
    WordRecord marked = record;
    marked.showTimes = CStudyCycle::kLearntShowTimes;
    // Due like a word that reached the mark by its seventh showing; a learnt word is
    // never scheduled, so the value matters only once the list is reset or the mark undone.
    marked.toShowTime = cycle_.IntervalFor(CStudyCycle::kLearntShowTimes);
    if (!store_.SaveRecord(marked)) {
        cycle_.ShowPendingWarning();
        return false;
    }

    DropStaleMarks();
    marks_.push_back(std::move(mark));
    if (marks_.size() > kUndoDepth)
        marks_.pop_front();
    store_.CountLearnt(true); // the walk passed this row as unlearnt
    shown_ = nullptr;
    if (onChange_)
        onChange_(marked, true);

    const bool wasCursor = cycle_.batchCursor == p;
    const WordBatch::Position after = batch.Erase(p);
    if (wasCursor)
        cycle_.batchCursor = after; // otherwise it already stands on the word after it
    cycle_.phase = CStudyCycle::kPhaseWord;
    cycle_.meaningPending = false;
    if (batch.empty())
        cycle_.secondPass = true; // nothing is left to show twice: save and load the next batch
    if (cycle_.batchCursor == batch.end())
        cycle_.EndOfBatch();
    cycle_.StepDisplay();
    if (cycle_.autoPlay)
        cycle_.RestartTimers(); // the next word gets its full period
    return true;
}

bool CKnownWords::UndoLastMark() {
    if (!CanUndo())
        return false;
    const Mark mark = marks_.back();
    if (!store_.SaveRecord(mark.before)) {
        cycle_.ShowPendingWarning();
        return false;
    }
    marks_.pop_back();
    store_.CountLearnt(false);
    if (onChange_)
        onChange_(mark.before, false);

    // Back into the batch where the cursor stands, so the word is shown now and its
    // counters go out with the batch again.
    if (!cycle_.HasBatch())
        return true;
    cycle_.batchCursor = store_.batch.InsertBefore(cycle_.batchCursor, mark.before);
    cycle_.phase = CStudyCycle::kPhaseWord;
    cycle_.meaningPending = false;
    cycle_.StepDisplay();
    if (cycle_.autoPlay)
        cycle_.RestartTimers();
    return true;
}

} // namespace mnemora
