#include "study/StudyCycle.h"
#include "study/StudyObserver.h"
#include "study/StudyView.h"

#include "store/WordStore.h"

#include <algorithm>

namespace mnemora {

CStudyCycle::CStudyCycle(CWordStore& store, IStudyView& view)
    : batchCursor(store.batch.end()), store_(store), view_(view) {}

void CStudyCycle::AddObserver(IStudyObserver* observer) {
    if (observer != nullptr && std::find(observers_.begin(), observers_.end(), observer) == observers_.end())
        observers_.push_back(observer);
}

void CStudyCycle::RemoveObserver(IStudyObserver* observer) {
    observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

void CStudyCycle::SaveBatch() {
    store_.SaveBatch();
    runTimes_.Flush();
    for (IStudyObserver* observer : observers_)
        observer->OnBatchSaved();
}

QString CStudyCycle::ListUnavailableText() {
    return QStringLiteral("无法打开所选的词库。\n请在“选项设置”的“词库设置”中选择其他词库，\n"
                          "或重新安装 Mnemora 以恢复词库。");
}

bool CStudyCycle::OpenList(int listIndex, int category) {
    const bool wasUnavailable = listUnavailable_;
    listUnavailable_ = store_.OpenWordList(listIndex, category) == 0;
    store_.OpenWordTable(); // after a failed open the table has no rows
    if (listUnavailable_) {
        // Nothing of the list shown before may go on showing, nor be written anywhere.
        KillTimers();
        store_.batch.Clear();
        batchCursor = store_.batch.end();
        phase = kPhaseNoBatch;
        Show(ListUnavailableText());
        return false;
    }
    ScheduleNextBatch();
    if (wasUnavailable && view_.IsFloatVisible())
        StepDisplay(); // the first word at once, rather than the old complaint until the next tick
    return true;
}

bool CStudyCycle::OnCommand(int id) {
    switch (id) {
    case kCmdToggleFloat:
        OnToggleFloat();
        return true;
    case kCmdOptions:
        OpenOptions();
        return true;
    case kCmdLearningStats:
        ShowLearningStats();
        return true;
    case kCmdAutoPlay:
        OnAutoPlay();
        return true;
    case kCmdManualPlay:
        OnManualPlay();
        return true;
    default:
        return false;
    }
}

} // namespace mnemora
