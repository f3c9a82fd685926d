#pragma once

#include "study/ProgressData.h"

#include <QtPlugin>

class QWidget;

namespace mnemora {

// The progress window "学习进度". It lives in an optional module (mnemora-progress) that
// is loaded the first time the window is opened, so that its drawing code costs nothing
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

// The progress module's root object (platform/ModuleLoader.h).
class IProgressModule {
public:
    virtual ~IProgressModule() = default;
    // A new window owned by the caller, parented to parent.
    virtual IProgressWindow* CreateWindow(QWidget* parent) = 0;
};

inline constexpr char kProgressModuleName[] = "mnemora-progress";

} // namespace mnemora

// The version after the slash changes whenever either interface above changes.
#define MNEMORA_PROGRESS_MODULE_IID "io.github.mnemora.ProgressModule/1"
Q_DECLARE_INTERFACE(mnemora::IProgressModule, MNEMORA_PROGRESS_MODULE_IID)
