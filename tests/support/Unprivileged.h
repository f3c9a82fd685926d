#pragma once

#include <QString>

// File permissions mean nothing to root, which is how CI runs. A case that needs them
// re-runs itself as "nobody" in a child of the test program (setpriv), on files it makes
// itself in the world-writable temporary folder.
namespace testdata {

enum class Privilege { RunHere, ChildPassed, ChildFailed, Unavailable };

// RunHere when not root (or already the child); otherwise runs the current test
// function in the child and says how it ended (its output goes to the test log).
Privilege RunUnprivileged(QString* output);

} // namespace testdata

// Put first in a case that relies on file permissions.
#define MNEMORA_RUN_UNPRIVILEGED()                                                                            \
    do {                                                                                                      \
        QString childOutput_;                                                                                 \
        switch (testdata::RunUnprivileged(&childOutput_)) {                                                   \
        case testdata::Privilege::RunHere:                                                                    \
            break;                                                                                            \
        case testdata::Privilege::ChildPassed:                                                                \
            return;                                                                                           \
        case testdata::Privilege::ChildFailed:                                                                \
            QFAIL(qPrintable(childOutput_));                                                                  \
        case testdata::Privilege::Unavailable:                                                                \
            QSKIP("running as root without setpriv to drop privileges");                                      \
        }                                                                                                     \
    } while (false)
