#include "FaultVfs.h"

#include <cstring>
#include <sqlcipher/sqlite3.h>
#include <utility>

namespace faultvfs {
namespace {

sqlite3_vfs* real = nullptr;
sqlite3_vfs vfs;
int countdown = 0; // 0: disarmed
bool persistent = false;
bool fired = false;
std::function<void()> probe;

// True when this counted call is to fail.
bool Fault() {
    if (probe)
        probe();
    if (fired && persistent)
        return true;
    if (countdown == 0 || --countdown > 0)
        return false;
    fired = true;
    return true;
}

struct File {
    sqlite3_file base;
    sqlite3_file* inner; // the real file, stored right after this struct
};

sqlite3_file* Inner(sqlite3_file* f) {
    return reinterpret_cast<File*>(f)->inner;
}

// Passes the call on to the real file's method in the same slot.
template <auto Method>
constexpr auto kPass =
    [](sqlite3_file* f, auto... a) { return (Inner(f)->pMethods->*Method)(Inner(f), a...); };

int Write(sqlite3_file* f, const void* buf, int n, sqlite3_int64 at) {
    return Fault() ? SQLITE_FULL : kPass<&sqlite3_io_methods::xWrite>(f, buf, n, at);
}
int Sync(sqlite3_file* f, int flags) {
    return Fault() ? SQLITE_IOERR_FSYNC : kPass<&sqlite3_io_methods::xSync>(f, flags);
}

using M = sqlite3_io_methods;
const M kMethods = {3,
                    kPass<&M::xClose>,
                    kPass<&M::xRead>,
                    Write,
                    kPass<&M::xTruncate>,
                    Sync,
                    kPass<&M::xFileSize>,
                    kPass<&M::xLock>,
                    kPass<&M::xUnlock>,
                    kPass<&M::xCheckReservedLock>,
                    kPass<&M::xFileControl>,
                    kPass<&M::xSectorSize>,
                    kPass<&M::xDeviceCharacteristics>,
                    kPass<&M::xShmMap>,
                    kPass<&M::xShmLock>,
                    kPass<&M::xShmBarrier>,
                    kPass<&M::xShmUnmap>,
                    kPass<&M::xFetch>,
                    kPass<&M::xUnfetch>};

int Open(sqlite3_vfs*, const char* name, sqlite3_file* f, int flags, int* outFlags) {
    auto* file = reinterpret_cast<File*>(f);
    file->base.pMethods = nullptr;
    file->inner = reinterpret_cast<sqlite3_file*>(file + 1);
    if ((flags & SQLITE_OPEN_MAIN_JOURNAL) != 0 && Fault())
        return SQLITE_CANTOPEN;
    const int rc = real->xOpen(real, name, file->inner, flags, outFlags);
    if (rc == SQLITE_OK && file->inner->pMethods != nullptr)
        file->base.pMethods = &kMethods;
    return rc;
}

} // namespace

void Install() {
    if (real != nullptr)
        return;
    real = sqlite3_vfs_find(nullptr);
    vfs = *real;
    vfs.zName = "fault";
    vfs.szOsFile = static_cast<int>(sizeof(File)) + real->szOsFile;
    vfs.xOpen = Open;
    vfs.pNext = nullptr;
    sqlite3_vfs_register(&vfs, 1);
}

void Arm(int n, Mode mode, std::function<void()> onCall) {
    probe = std::move(onCall);
    countdown = n;
    persistent = mode == Mode::Persistent;
    fired = false;
}

void Disarm() {
    Arm(0, Mode::Once);
}

bool Fired() {
    return fired;
}

} // namespace faultvfs
