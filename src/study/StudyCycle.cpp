#include "study/StudyCycle.h"
#include "study/StudyView.h"

#include "store/WordStore.h"

namespace mnemora {

CStudyCycle::CStudyCycle(CWordStore& store, IStudyView& view)
    : batchCursor(store.batch.end()), store_(store), view_(view) {}

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
