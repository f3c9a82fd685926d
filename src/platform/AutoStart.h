#pragma once

namespace mnemora {

// Start at logon for the running program (ProgramFilePath), per user, through whatever
// the desktop offers for it. Every operation reads or writes the system's entry itself
// and fails silently; the results are for callers that want them.

// True when an entry exists and is switched on.
bool IsAutostartRegistered();

// Writes the entry for the running program, replacing what an older entry said about the
// command and switching it on. False when nothing was written.
bool RegisterAutostart();

// Removes the entry; true when no entry is left.
bool UnregisterAutostart();

} // namespace mnemora
