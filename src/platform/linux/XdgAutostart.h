#pragma once

#include "platform/AutoStart.h"

#include <QString>

namespace mnemora {

// Start at logon through the per-user XDG autostart entry "Mnemora.desktop". An entry is
// off when it says Hidden=true; a write keeps the entry's other lines and is atomic (a
// failure leaves the old file as it was).

// $XDG_CONFIG_HOME/autostart/Mnemora.desktop, with ~/.config when XDG_CONFIG_HOME is unset
// or not absolute.
QString AutostartFilePath();

// The Exec= value that starts programPath: quoted when it holds a reserved character,
// with "%" doubled and escapes applied as desktop entries require.
QString DesktopExecValue(const QString& programPath);

} // namespace mnemora
