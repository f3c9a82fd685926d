#pragma once

#include <QString>

// File permissions mean nothing to root, which is how CI runs. A case that needs them
// re-runs itself as "nobody" in a child of the test program (setpriv), on files it makes
// itself in the world-writable temporary folder.
namespace testdata {

// False when not root (or already the child): the case runs here. Otherwise runs the current
// test function in the child, records its failure (with the child's output) and returns true.
bool RanUnprivileged(const char* file, int line);

// Lets the user running the test create files in folder, or stops it. False when the folder
// is not as asked afterwards (permissions do not stop this user). On Windows through the
// folder's access list, and under Wine through its Unix permissions too.
bool SetFolderWritable(const QString& folder, bool writable);

} // namespace testdata

// Put first in a case that relies on file permissions.
#define MNEMORA_RUN_UNPRIVILEGED()                                                                           \
    do {                                                                                                     \
        if (testdata::RanUnprivileged(__FILE__, __LINE__))                                                   \
            return;                                                                                          \
    } while (false)
