#pragma once

#include <QString>
#include <QStringList>

namespace mnemora {

class CWordStore;

// Keeps the user's copies of the installed template lists (and their credits) in step.
// A missing copy is copied. A copy whose template changed since it was made (another
// package version: the template's size or time differs from the stamp kept beside the
// copy) is rebuilt from the new template with each word's two counters carried over by
// headword; words with progress that left a list are named in reports. Every file is
// written under a temporary name and renamed into place, so an interrupted copy or a
// failed refresh leaves the old copy whole, and is simply tried again on the next start.
// A template that has not changed leaves the copy untouched, byte for byte.
// Returns false (with error filled) when userDir cannot be created or written; a single
// list that cannot be refreshed keeps its old copy and is only reported.
bool EnsureUserLists(const QString& templateDir, const QString& userDir, QString* error,
                     QStringList* reports = nullptr);

// Installed mode: creates the settings folder and gives the user copies of the template
// lists (see EnsureUserLists; its reports go to stderr), holding store's list-folder lock
// from then on; while a rebuild holds it past the store's wait, the copies are left as they
// are until the next start. When the lists cannot be copied,
// store (and every later reader of the data location) reads the templates instead, where
// nothing is saved, and the returned text says so; empty when all is well or portable.
QString PrepareUserData(CWordStore& store);

} // namespace mnemora
