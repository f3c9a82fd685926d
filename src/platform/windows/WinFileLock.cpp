#include "platform/FileLock.h"

#include <QDir>
#include <fcntl.h>
#include <io.h>
#include <sys/locking.h>
#include <sys/stat.h>

namespace mnemora {

bool CFileLock::Open(const QString& path) {
    Close();
    const std::wstring name = QDir::toNativeSeparators(path).toStdWString();
    fd_ = ::_wopen(name.c_str(), _O_RDWR | _O_CREAT | _O_BINARY | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
    return fd_ >= 0;
}

bool CFileLock::TryLock() {
    // One byte past any content the holder writes: the lock bars that byte only.
    return fd_ >= 0 && ::_lseek(fd_, 1 << 20, SEEK_SET) >= 0 && ::_locking(fd_, _LK_NBLCK, 1) == 0;
}

void CFileLock::Write(const QByteArray& text) {
    if (fd_ >= 0 && ::_chsize(fd_, 0) == 0 && ::_lseek(fd_, 0, SEEK_SET) == 0)
        (void)::_write(fd_, text.constData(), unsigned(text.size()));
}

void CFileLock::Close() {
    if (fd_ >= 0)
        ::_close(fd_);
    fd_ = -1;
}

} // namespace mnemora
