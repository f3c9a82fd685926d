#pragma once

#include <QByteArray>
#include <QString>

namespace mnemora {

// An exclusive lock on a file, taken through a descriptor that started programs do not
// inherit; the system drops it when the descriptor is closed or the process ends, however
// it ends.
class CFileLock final {
public:
    CFileLock() = default;
    ~CFileLock() { Close(); }
    CFileLock(const CFileLock&) = delete;
    CFileLock& operator=(const CFileLock&) = delete;

    // Opens (creating) the lock file; false when it cannot be opened or made.
    bool Open(const QString& path);
    // Tries once to take the lock without waiting.
    bool TryLock();
    // Replaces the file's content through the locked descriptor (a locked file may bar
    // other handles).
    void Write(const QByteArray& text);
    // Closes the descriptor, which releases the lock.
    void Close();
    bool IsOpen() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

} // namespace mnemora
