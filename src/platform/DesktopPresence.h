#pragma once

#include "platform/PresenceSource.h"

#include <QString>
#include <memory>

class QWindow;

namespace mnemora {

// The desktop's presence source for floatWindow (its screen decides what counts as full
// screen). Null when the platform offers none; whyOff then says in one line what is off.
std::unique_ptr<IPresenceSource> CreatePresenceSource(QWindow* floatWindow, QString* whyOff);

} // namespace mnemora
