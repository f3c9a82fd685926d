#pragma once

#include "platform/FileLock.h"

#include <QString>

namespace mnemora {

// One writer of a word-list folder at a time. The trainer holds the lock while it runs
// (it writes counters into the open lists at any moment); the word-list builder holds it
// while it reads the old progress and replaces the files, so neither loses the other's
// writes. The lock is the system's lock on a file in the folder: it goes with the
// process that held it, however that process ended.
class CListFolderLock final {
public:
    static constexpr char kFileName[] = ".mnemora-writer.lock";

    CListFolderLock() = default;
    ~CListFolderLock() { Release(); }
    CListFolderLock(const CListFolderLock&) = delete;
    CListFolderLock& operator=(const CListFolderLock&) = delete;

    // Takes the lock of folder, waiting up to waitMs for its holder. True when held (at
    // once when this object holds it already), and also when the folder cannot hold a
    // lock file (read-only: then no one writes lists there). Taking another folder's
    // lock gives up the one held.
    bool Acquire(const QString& folder, int waitMs);
    void Release();
    // After a failed Acquire: the process holding the lock (0 when unknown).
    qint64 HolderPid() const { return holderPid_; }

private:
    CFileLock file_;
    QString folder_;
    qint64 holderPid_ = 0;
};

} // namespace mnemora
