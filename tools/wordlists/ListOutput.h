#pragma once

#include "Builder.h"
#include "store/ListFile.h"

#include <vector>

namespace mnemora {

class CDiagnostics;
struct CatalogueEntry;

// A list ready to be written: its catalogue entry, rows and figures.
struct BuiltList {
    const CatalogueEntry* catalogue;
    TableRows rows;
    ListSummary summary;
};

// Writes the lists (grouped into their catalogue files) and the credits file into outDir.
// The study counters of the files already there are read first and carried over by word;
// a file that cannot be read, or that another program has open, stops the build before
// anything is written. New files go to temporary names and are renamed over the old ones
// only when all are written, so on failure the folder is left as it was. The folder's
// writer lock is held throughout; when a running trainer holds it (after lockWaitMs),
// nothing is read or written and the build fails naming that process.
bool WriteListFolder(const QString& outDir, std::vector<BuiltList>& lists, const QString& credits,
                     int lockWaitMs, CDiagnostics& diag);

} // namespace mnemora
