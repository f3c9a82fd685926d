#include "platform/InstanceLock.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLockFile>
#include <QStandardPaths>

namespace mnemora {

struct CInstanceLock::Marker {
    explicit Marker(const QString& path) : file(path) {}
    QLockFile file;
};

CInstanceLock::CInstanceLock(QString name, QString folder)
    : name_(std::move(name)), folder_(std::move(folder)) {}

CInstanceLock::~CInstanceLock() {
    Release();
}

QString CInstanceLock::DefaultFolder() {
    // Qt checks that the folder belongs to this user and is private (0700); it gives an
    // empty path rather than a folder other users could write to.
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
}

QString CInstanceLock::FilePath() const {
    return folder_.isEmpty() ? QString() : QDir(folder_).filePath(name_ + QStringLiteral(".lock"));
}

QString CInstanceLock::ServerName() const {
    return folder_.isEmpty() ? QString() : QDir(folder_).filePath(name_ + QStringLiteral(".sock"));
}

CInstanceLock::Outcome CInstanceLock::Take() {
    if (folder_.isEmpty())
        return Outcome::NoMarker;
    auto marker = std::make_unique<Marker>(FilePath());
    // The default stale time (30 s) would let a second start take over the lock of an
    // instance that has simply run longer than that. Only a dead holder makes it stale.
    marker->file.setStaleLockTime(0);
    if (!marker->file.tryLock(0))
        return marker->file.error() == QLockFile::LockFailedError ? Outcome::HeldByOther : Outcome::NoMarker;
    marker_ = std::move(marker);
    return Outcome::Taken;
}

void CInstanceLock::Release() {
    if (marker_)
        marker_->file.unlock();
    marker_.reset();
}

bool CInstanceLock::Listen(QLocalServer& server) const {
    // Holding the lock means any socket file left here belongs to a dead instance. The
    // socket is bound at its own path, which fails while that file is there: it goes first.
    // (Qt's access options would bind elsewhere and rename over whatever is in the way.)
    QLocalServer::removeServer(ServerName());
    return server.listen(ServerName()) &&
           QFile::setPermissions(ServerName(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

} // namespace mnemora
