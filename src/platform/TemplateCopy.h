#pragma once

#include <QString>

namespace mnemora {

// Gives the user a copy of every installed template list that is missing from userDir.
// Each file is copied under a temporary name and renamed into place, so an interrupted
// copy leaves no half-written list and is simply redone on the next start. Copies the
// user already has are kept as they are: they hold the study progress.
// Returns false (with error filled) when userDir cannot be created or written.
bool EnsureUserLists(const QString& templateDir, const QString& userDir, QString* error);

} // namespace mnemora
