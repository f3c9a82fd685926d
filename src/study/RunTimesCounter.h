#pragma once

#include <QString>
#include <cstdint>

namespace mnemora {

// The scheduler's clock, "RunTimes" in the settings file. Normally every read goes to
// the file and every change is written at once. When a write fails the value is kept
// in memory and read from there until a later write succeeds, so scheduling never
// waits on a clock that cannot advance; the first failure leaves a warning to show.
class CRunTimesCounter final {
public:
    uint32_t Read();
    void Write(uint32_t value);

    // The warning of the first failed write, once; empty otherwise.
    QString TakeWarning();
    // The user has already been told that nothing is saved: no warning of its own.
    void Quiet() { warned_ = true; }
    // True while the value lives only in memory.
    bool Unsaved() const { return unsaved_; }

private:
    bool unsaved_ = false;
    bool warned_ = false;
    uint32_t value_ = 0;
    QString warning_;
};

// Why the settings file at path cannot be written, for the user.
QString UnwritableReason(const QString& path);

} // namespace mnemora
