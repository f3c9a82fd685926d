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
    for (IStudyObserver* observer : observers_)
        observer->OnBatchSaved();
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
