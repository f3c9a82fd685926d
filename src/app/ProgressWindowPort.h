#pragma once

#include "study/ProgressData.h"

class QWidget;

namespace mnemora {

// The progress window "学习进度". It lives in a module (libmnemora-progress.so) that is
// loaded the first time the window is opened, so that the charts library costs nothing
// until then. The main program works out the figures and hands them over.
class IProgressWindow {
public:
    virtual ~IProgressWindow() = default;
    // Shows the window (raised, in front) with report.
    virtual void ShowReport(const ProgressReport& report) = 0;
    // Replaces the figures of an open window (after the other lists were counted).
    virtual void UpdateReport(const ProgressReport& report) = 0;
    virtual QWidget* Widget() = 0;
};

inline constexpr char kProgressModuleFile[] = "libmnemora-progress.so";
inline constexpr char kProgressFactorySymbol[] = "MnemoraCreateProgressWindow";
// The module's factory: a new window owned by the caller, parented to parent.
using ProgressWindowFactory = IProgressWindow* (*)(QWidget* parent);

} // namespace mnemora
