#include "platform/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

namespace mnemora {
namespace {
const QByteArray kActivateRequest = QByteArrayLiteral("activate\n");
// A request is one short line; anything longer is not ours and is dropped unread.
constexpr qint64 kMaxRequestSize = 64;
} // namespace

CSingleInstance::CSingleInstance(const QString& name, QString folder, QObject* parent)
    : QObject(parent), m_folder(std::move(folder)), m_name(name) {}

CSingleInstance::~CSingleInstance() {
    Release();
}

QString CSingleInstance::DefaultFolder() {
    // Qt checks that the folder belongs to this user and is private (0700); it gives an
    // empty path rather than a folder other users could write to.
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
}

QString CSingleInstance::LockFilePath() const {
    return m_folder.isEmpty() ? QString() : QDir(m_folder).filePath(m_name + QStringLiteral(".lock"));
}

QString CSingleInstance::ServerPath() const {
    return m_folder.isEmpty() ? QString() : QDir(m_folder).filePath(m_name + QStringLiteral(".sock"));
}

bool CSingleInstance::HoldsLock() const {
    return m_holdsLock;
}

CSingleInstance::Role CSingleInstance::Claim() {
    if (m_folder.isEmpty())
        return Role::Primary; // no marker can be made: run as a normal first instance
    m_lock = std::make_unique<QLockFile>(LockFilePath());
    // The default stale time (30 s) would let a second start take over the lock of an
    // instance that has simply run longer than that. Only a dead owner makes it stale.
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(0)) {
        const bool heldByOther = m_lock->error() == QLockFile::LockFailedError;
        m_lock.reset();
        return heldByOther ? Role::Secondary : Role::Primary;
    }
    m_holdsLock = true;

    // Holding the lock means any socket file left here belongs to a dead instance. The
    // socket is bound at its own path, which fails while that file is there: it goes first.
    // (Qt's access options would bind elsewhere and rename over whatever is in the way.)
    QLocalServer::removeServer(ServerPath());
    m_server = new QLocalServer(this);
    connect(m_server, &QLocalServer::newConnection, this, &CSingleInstance::OnNewConnection);
    if (!m_server->listen(ServerPath()) ||
        !QFile::setPermissions(ServerPath(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner)) {
        // Still the one instance; a later start just cannot raise this window.
        delete m_server;
        m_server = nullptr;
    }
    return Role::Primary;
}

bool CSingleInstance::RequestActivation(int timeoutMs) {
    const QString path = ServerPath();
    if (path.isEmpty() || m_holdsLock)
        return false;
    QLocalSocket socket;
    socket.connectToServer(path, QIODevice::WriteOnly);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(kActivateRequest);
    const bool sent = socket.waitForBytesWritten(timeoutMs) && socket.bytesToWrite() == 0;
    socket.disconnectFromServer();
    return sent;
}

void CSingleInstance::Release() {
    if (m_server != nullptr) {
        m_server->close();
        delete m_server;
        m_server = nullptr;
    }
    if (m_lock) {
        m_lock->unlock();
        m_lock.reset();
    }
    m_holdsLock = false;
}

void CSingleInstance::OnNewConnection() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { ReadRequest(socket); });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        // The request may already be buffered, even from a client that has gone again.
        ReadRequest(socket);
    }
}

void CSingleInstance::ReadRequest(QLocalSocket* socket) {
    if (socket->bytesAvailable() < kActivateRequest.size() && socket->state() == QLocalSocket::ConnectedState)
        return; // wait for the rest of the line
    const QByteArray request = socket->read(kMaxRequestSize);
    socket->disconnect(this); // one request per connection
    socket->disconnectFromServer();
    if (request == kActivateRequest)
        emit activationRequested();
}

} // namespace mnemora
