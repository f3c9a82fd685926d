#include "study/RunTimesCounter.h"

#include "settings/SettingsFile.h"

namespace mnemora {

uint32_t CRunTimesCounter::Read() {
    return unsaved_ ? value_ : ReadRunTimes();
}

void CRunTimesCounter::Write(uint32_t value) {
    value_ = value;
    unsaved_ = !WriteRunTimes(value);
    if (unsaved_)
        warning_.Failed(GetSettingsPath());
    else
        warning_.Saved();
}

void CRunTimesCounter::Flush() {
    if (unsaved_)
        Write(value_);
}

} // namespace mnemora
