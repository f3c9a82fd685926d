#pragma once

#include "platform/AutoStart.h"
#include "settings/ui/AutostartPort.h"

namespace mnemora {

// The options sheet's view of the per-user autostart entry.
class CSystemAutostart final : public IAutostart {
public:
    bool IsRegistered() override { return IsAutostartRegistered(); }
    void Register() override { RegisterAutostart(); }
    void Unregister() override { UnregisterAutostart(); }
};

} // namespace mnemora
