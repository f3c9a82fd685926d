#pragma once

#include "platform/MessageBoxPort.h"

#include <QString>
#include <cstdint>

namespace mnemora {

// What the study cycle needs from the float window. The window implements it with its
// label, QTimers and dialogs; tests implement it on virtual time. ShowMessage (from
// IMessageBox) is a modal box.
class IStudyView : public IMessageBox {
public:
    // Puts text into the word label and redraws the whole window at once: the label
    // paints over the window's own background, so the old text has to be erased with it.
    virtual void ShowWordText(const QString& text) = 0;

    virtual bool IsFloatVisible() const = 0;
    virtual void ShowFloat() = 0;
    virtual void HideFloat() = 0;

    // A periodic timer; its ticks go to CStudyCycle::OnTimer(id). Arming an armed id
    // restarts it; the first tick comes one period after arming. Killing an idle id is harmless.
    virtual void ArmTimer(int id, uint32_t periodMs) = 0;
    virtual void KillTimer(int id) = 0;

    // A one-shot delay that replaces any pending one; when it elapses the view calls
    // CStudyCycle::OnMeaningDelayElapsed(). The window keeps painting and taking keys
    // meanwhile. Cancelling when nothing is pending is harmless.
    virtual void StartMeaningDelay(uint32_t delayMs) = 0;
    virtual void CancelMeaningDelay() = 0;

    // The self-closing notice with the caption "Message".
    virtual void ShowDesktopAlert(int seconds, const QString& text) = 0;

    // Runs the options sheet modally and returns when it has closed. The cycle kills
    // and restarts the timers around it (CStudyCycle::OpenOptions).
    virtual void RunOptionsSheet() = 0;
};

} // namespace mnemora
