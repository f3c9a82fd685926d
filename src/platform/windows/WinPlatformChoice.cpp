#include "platform/PlatformChoice.h"

namespace mnemora {

// Qt's windows plugin gives the float window everything it needs.
bool ChooseGuiPlatform() {
    return false;
}

} // namespace mnemora
