#pragma once

#include <QString>

namespace mnemora {

// Start at logon through the per-user XDG autostart entry "Mnemora.desktop". Every
// operation opens, reads or writes the file itself and fails silently; the results are
// for callers that want them.

// $XDG_CONFIG_HOME/autostart/Mnemora.desktop, with ~/.config when XDG_CONFIG_HOME is unset
// or not absolute.
QString AutostartFilePath();

// True when the entry exists and is not switched off with Hidden=true.
bool IsAutostartRegistered();

// Writes the entry for the running program (ProgramFilePath), replacing what an older
// entry said about the command and re-enabling it; its other lines are kept. The write is
// atomic: a failure leaves the old file as it was. False when nothing was written.
bool RegisterAutostart();

// Removes the entry; true when no entry is left.
bool UnregisterAutostart();

// The Exec= value that starts programPath: quoted when it holds a reserved character,
// with "%" doubled and escapes applied as desktop entries require.
QString DesktopExecValue(const QString& programPath);

} // namespace mnemora
