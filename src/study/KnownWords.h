#pragma once

#include "store/WordRecord.h"
#include "study/StudyObserver.h"

#include <deque>
#include <functional>

namespace mnemora {

class CStudyCycle;
class CWordStore;

// "I know this word": marks the word on show as learnt, writes its row at once and
// steps on; an undo puts the counters it had back. The marked entry leaves the batch, so
// neither its second-pass showing nor the batch write-back can bring the old counters back.
//
// Marks are undone while the walk that passed them goes on. Once the table has been
// selected again (the walk started over, or another list was chosen) the walk counters
// have been rebuilt from the file and no longer hold the mark, so older marks are dropped.
class CKnownWords final : public IStudyObserver {
public:
    static constexpr int kUndoDepth = 20;

    // Told after each mark (marked true) and undo (false) that reached the file.
    using ChangeHandler = std::function<void(const WordRecord& record, bool marked)>;

    CKnownWords(CStudyCycle& cycle, CWordStore& store);
    void SetChangeHandler(ChangeHandler handler) { onChange_ = std::move(handler); }

    // Marks the word on show and shows the next one; false (and nothing changed) when no
    // word of the current batch is on show, or its row could not be written.
    bool MarkShownWord();
    // Restores the last mark and shows that word again; false when there is none.
    bool UndoLastMark();
    bool CanUndo();

    void OnWordShown(const WordRecord& record, bool firstPass) override;

private:
    struct Mark {
        WordRecord before; // the record as it was just before the mark
        uint32_t selection = 0;
    };
    void DropStaleMarks();

    CStudyCycle& cycle_;
    CWordStore& store_;
    const WordRecord* shown_ = nullptr; // entry of the last word shown; checked against the batch before use
    int32_t shownIndex_ = 0;
    std::deque<Mark> marks_;
    ChangeHandler onChange_;
};

} // namespace mnemora
