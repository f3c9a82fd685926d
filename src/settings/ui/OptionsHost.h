#pragma once

#include "settings/SpeechSettings.h"

namespace mnemora {

// What the options sheet needs from the float window. The sheet never reaches the
// window directly, so it can be built and tested without one.
class IOptionsHost {
public:
    virtual ~IOptionsHost() = default;

    // Shows the float window, even when the user has hidden it, without changing the
    // window's own shown/hidden flag (the menu's check mark keeps its state).
    virtual void ShowFloatWindow() = 0;

    // Sets the window's opacity (0..255), turns background transparency off and
    // applies plain opacity at once. Storing "Transparent" is the sheet's business.
    virtual void SetAlphaLive(int alpha) = 0;

    // The chosen list has already been stored; the host switches to it: saves the open
    // batch, closes the list, opens the new list and its table, schedules a batch.
    // Called on every confirmation of the dictionary page, also for an unchanged choice.
    virtual void ChangeWordList(int category, int listIndex) = 0;

    // The pronunciation options have been stored; the host speaks by them from now on.
    virtual void ApplySpeechOptions(const SpeechOptions& /*options*/) {}
};

} // namespace mnemora
