#include "store/ListFolderLock.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>

namespace mnemora {

bool CListFolderLock::Acquire(const QString& folder, int waitMs) {
    const QString path = QDir::cleanPath(QDir(folder).absolutePath());
    if (file_.IsOpen() && folder_ == path)
        return true;
    Release();
    holderPid_ = 0;
    const QString name = QDir(path).filePath(QLatin1String(kFileName));
    // Not inherited: a program started from here (the updater, a builder) must not keep
    // the lock after this process has let it go.
    if (!file_.Open(name))
        return true; // no lock file can be made here: nothing writes lists in this folder
    const QDeadlineTimer deadline(waitMs);
    while (!file_.TryLock()) {
        if (deadline.hasExpired()) {
            QFile holder(name);
            if (holder.open(QIODevice::ReadOnly))
                holderPid_ = holder.readAll().trimmed().toLongLong();
            file_.Close();
            return false;
        }
        QThread::msleep(50);
    }
    // The holder's process id, for the message of whoever waits.
    file_.Write(QByteArray::number(QCoreApplication::applicationPid()) + '\n');
    folder_ = path;
    return true;
}

void CListFolderLock::Release() {
    file_.Close(); // closing the descriptor releases the lock
    folder_.clear();
}

} // namespace mnemora
