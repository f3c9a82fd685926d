#include "Unprivileged.h"

namespace testdata {

// Windows honours a file's read-only attribute for every user: the case runs here.
bool RanUnprivileged(const char*, int) {
    return false;
}

} // namespace testdata
