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

int Close(sqlite3_file* f) {
    return Inner(f)->pMethods->xClose(Inner(f));
}
int Read(sqlite3_file* f, void* buf, int n, sqlite3_int64 at) {
    return Inner(f)->pMethods->xRead(Inner(f), buf, n, at);
}
int Write(sqlite3_file* f, const void* buf, int n, sqlite3_int64 at) {
    return Fault() ? SQLITE_FULL : Inner(f)->pMethods->xWrite(Inner(f), buf, n, at);
}
int Truncate(sqlite3_file* f, sqlite3_int64 size) {
    return Inner(f)->pMethods->xTruncate(Inner(f), size);
}
int Sync(sqlite3_file* f, int flags) {
    return Fault() ? SQLITE_IOERR_FSYNC : Inner(f)->pMethods->xSync(Inner(f), flags);
}
int FileSize(sqlite3_file* f, sqlite3_int64* size) {
    return Inner(f)->pMethods->xFileSize(Inner(f), size);
}
int Lock(sqlite3_file* f, int level) {
    return Inner(f)->pMethods->xLock(Inner(f), level);
}
int Unlock(sqlite3_file* f, int level) {
    return Inner(f)->pMethods->xUnlock(Inner(f), level);
}
int CheckReservedLock(sqlite3_file* f, int* out) {
    return Inner(f)->pMethods->xCheckReservedLock(Inner(f), out);
}
int FileControl(sqlite3_file* f, int op, void* arg) {
    return Inner(f)->pMethods->xFileControl(Inner(f), op, arg);
}
int SectorSize(sqlite3_file* f) {
    return Inner(f)->pMethods->xSectorSize(Inner(f));
}
int DeviceCharacteristics(sqlite3_file* f) {
    return Inner(f)->pMethods->xDeviceCharacteristics(Inner(f));
}
int ShmMap(sqlite3_file* f, int page, int size, int extend, void volatile** out) {
    return Inner(f)->pMethods->xShmMap(Inner(f), page, size, extend, out);
}
int ShmLock(sqlite3_file* f, int offset, int n, int flags) {
    return Inner(f)->pMethods->xShmLock(Inner(f), offset, n, flags);
}
void ShmBarrier(sqlite3_file* f) {
    Inner(f)->pMethods->xShmBarrier(Inner(f));
}
int ShmUnmap(sqlite3_file* f, int deleteFlag) {
    return Inner(f)->pMethods->xShmUnmap(Inner(f), deleteFlag);
}
int Fetch(sqlite3_file* f, sqlite3_int64 at, int n, void** out) {
    return Inner(f)->pMethods->xFetch(Inner(f), at, n, out);
}
int Unfetch(sqlite3_file* f, sqlite3_int64 at, void* p) {
    return Inner(f)->pMethods->xUnfetch(Inner(f), at, p);
}

const sqlite3_io_methods kMethods = {3,
                                     Close,
                                     Read,
                                     Write,
                                     Truncate,
                                     Sync,
                                     FileSize,
                                     Lock,
                                     Unlock,
                                     CheckReservedLock,
                                     FileControl,
                                     SectorSize,
                                     DeviceCharacteristics,
                                     ShmMap,
                                     ShmLock,
                                     ShmBarrier,
                                     ShmUnmap,
                                     Fetch,
                                     Unfetch};

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
    probe = nullptr;
    countdown = 0;
    persistent = false;
    fired = false;
}

bool Fired() {
    return fired;
}

} // namespace faultvfs
