#include "platform/FileLock.h"

#include <QFile>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace mnemora {

bool CFileLock::Open(const QString& path) {
    Close();
    fd_ = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    return fd_ >= 0;
}

bool CFileLock::TryLock() {
    return fd_ >= 0 && ::flock(fd_, LOCK_EX | LOCK_NB) == 0;
}

void CFileLock::Write(const QByteArray& text) {
    if (fd_ >= 0 && ::ftruncate(fd_, 0) == 0)
        (void)!::pwrite(fd_, text.constData(), size_t(text.size()), 0);
}

void CFileLock::Close() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

} // namespace mnemora
