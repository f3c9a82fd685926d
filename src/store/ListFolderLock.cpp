#include "store/ListFolderLock.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>

#ifdef Q_OS_WIN
#include <fcntl.h>
#include <io.h>
#include <sys/locking.h>
#define MNEMORA_OPEN ::_open
#define MNEMORA_CLOSE ::_close
#define MNEMORA_NOINHERIT _O_NOINHERIT
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#define MNEMORA_OPEN ::open
#define MNEMORA_CLOSE ::close
#define MNEMORA_NOINHERIT O_CLOEXEC
#endif

namespace mnemora {
namespace {

bool TryLock(int fd) {
#ifdef Q_OS_WIN
    return ::_locking(fd, _LK_NBLCK, 1) == 0;
#else
    return ::flock(fd, LOCK_EX | LOCK_NB) == 0;
#endif
}

} // namespace

bool CListFolderLock::Acquire(const QString& folder, int waitMs) {
    const QString path = QDir::cleanPath(QDir(folder).absolutePath());
    if (fd_ >= 0 && folder_ == path)
        return true;
    Release();
    holderPid_ = 0;
    const QString file = QDir(path).filePath(QLatin1String(kFileName));
    // Not inherited: a program started from here (the updater, a builder) must not keep
    // the lock after this process has let it go.
    const int fd =
        MNEMORA_OPEN(QFile::encodeName(file).constData(), O_RDWR | O_CREAT | MNEMORA_NOINHERIT, 0644);
    if (fd < 0)
        return true; // no lock file can be made here: nothing writes lists in this folder
    const QDeadlineTimer deadline(waitMs);
    while (!TryLock(fd)) {
        if (deadline.hasExpired()) {
            QFile holder(file);
            if (holder.open(QIODevice::ReadOnly))
                holderPid_ = holder.readAll().trimmed().toLongLong();
            MNEMORA_CLOSE(fd);
            return false;
        }
        QThread::msleep(50);
    }
    // The holder's process id, for the message of whoever waits (written through the
    // locked descriptor: on Windows the lock bars other handles).
    const QByteArray pid = QByteArray::number(QCoreApplication::applicationPid()) + '\n';
#ifdef Q_OS_WIN
    ::_chsize(fd, 0);
    (void)::_write(fd, pid.constData(), unsigned(pid.size()));
#else
    if (::ftruncate(fd, 0) == 0 && ::pwrite(fd, pid.constData(), size_t(pid.size()), 0) < 0)
        holderPid_ = 0; // only the waiter's message lacks the number
#endif
    fd_ = fd;
    folder_ = path;
    return true;
}

void CListFolderLock::Release() {
    if (fd_ >= 0)
        MNEMORA_CLOSE(fd_); // closing the descriptor releases the lock
    fd_ = -1;
    folder_.clear();
}

} // namespace mnemora
