#pragma once

#include <QString>

namespace mnemora {

// What the user may do with a file or folder, asked of the system rather than read from
// permission bits: on Windows an access list decides, which neither the read-only attribute
// nor access() reflects (a folder's read-only attribute means nothing there).

// True when a file can be made in folder.
bool CanWriteFolder(const QString& folder);

// True when the existing file at path can be opened for writing.
bool CanWriteFile(const QString& path);

// Puts from in the place of to in one step, replacing an existing to. (Not "ReplaceFile":
// windows.h takes that name.)
bool RenameOver(const QString& from, const QString& to);

// The user's roaming application-data folder on Windows (%APPDATA%, when set to an absolute
// folder, wins); empty where the system has none.
QString RoamingAppDataFolder();

} // namespace mnemora
