#include "platform/SingleInstance.h"

#include "platform/InstanceLock.h"

#include <QLocalServer>
#include <QLocalSocket>

namespace mnemora {
namespace {
const QByteArray kActivateRequest = QByteArrayLiteral("activate\n");
// A request is one short line; anything longer is not ours and is dropped unread.
constexpr qint64 kMaxRequestSize = 64;
} // namespace

CSingleInstance::CSingleInstance(const QString& name, QString folder, QObject* parent)
    : QObject(parent), m_lock(std::make_unique<CInstanceLock>(name, std::move(folder))) {}

CSingleInstance::~CSingleInstance() {
    Release();
}

QString CSingleInstance::DefaultFolder() {
    return CInstanceLock::DefaultFolder();
}

QString CSingleInstance::LockFilePath() const {
    return m_lock->FilePath();
}

QString CSingleInstance::ServerPath() const {
    return m_lock->ServerName();
}

bool CSingleInstance::HoldsLock() const {
    return m_lock->Holds();
}

CSingleInstance::Role CSingleInstance::Claim() {
    switch (m_lock->Take()) {
    case CInstanceLock::Outcome::HeldByOther:
        return Role::Secondary;
    case CInstanceLock::Outcome::NoMarker:
        return Role::Primary; // no marker can be made: run as a normal first instance
    case CInstanceLock::Outcome::Taken:
        break;
    }
    m_server = new QLocalServer(this);
    connect(m_server, &QLocalServer::newConnection, this, &CSingleInstance::OnNewConnection);
    if (!m_lock->Listen(*m_server)) {
        // Still the one instance; a later start just cannot raise this window.
        delete m_server;
        m_server = nullptr;
    }
    return Role::Primary;
}

bool CSingleInstance::RequestActivation(int timeoutMs) {
    const QString path = ServerPath();
    if (path.isEmpty() || HoldsLock())
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
    m_lock->Release();
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
