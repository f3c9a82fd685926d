#pragma once

#include "store/SaveWarning.h"

#include <QString>
#include <cstdint>

namespace mnemora {

// The scheduler's clock, "RunTimes" in the settings file. Normally every read goes to
// the file and every change is written at once. When a write fails the value is kept
// in memory and read from there, and every later write or Flush tries the file again, so
// scheduling never waits on a clock that cannot advance; the learner is told once per
// failure spell, in the words of every failed save of counters.
class CRunTimesCounter final {
public:
    uint32_t Read();
    void Write(uint32_t value);
    // Writes the value kept in memory, if any (every save of the counters does).
    void Flush();

    // The notice of the current failure spell, once; empty otherwise.
    QString TakeWarning() { return warning_.Take(); }
    // The user has already been told that nothing is saved: no warning of its own.
    void Quiet() { warning_.Quiet(); }
    // True while the value lives only in memory.
    bool Unsaved() const { return unsaved_; }

private:
    bool unsaved_ = false;
    uint32_t value_ = 0;
    CSaveWarning warning_{QStringLiteral("设置文件"), QStringLiteral("复习计数 RunTimes ")};
};

} // namespace mnemora
