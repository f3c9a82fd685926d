#pragma once

namespace mnemora {

// Start at logon, as the basic page sees it. The page only asks and switches; where
// the entry lives (and whether a write succeeded) is the implementation's concern,
// and its failures are silent.
class IAutostart {
public:
    virtual ~IAutostart() = default;
    virtual bool IsRegistered() = 0;
    virtual void Register() = 0;
    virtual void Unregister() = 0;
};

} // namespace mnemora
