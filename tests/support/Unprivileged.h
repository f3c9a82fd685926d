#pragma once

// File permissions mean nothing to root, which is how CI runs. A case that needs them
// re-runs itself as "nobody" in a child of the test program (setpriv), on files it makes
// itself in the world-writable temporary folder.
namespace testdata {

// False when not root (or already the child): the case runs here. Otherwise runs the current
// test function in the child, records its failure (with the child's output) and returns true.
bool RanUnprivileged(const char* file, int line);

} // namespace testdata

// Put first in a case that relies on file permissions.
#define MNEMORA_RUN_UNPRIVILEGED()                                                                           \
    do {                                                                                                     \
        if (testdata::RanUnprivileged(__FILE__, __LINE__))                                                   \
            return;                                                                                          \
    } while (false)
