#include "platform/SingleInstance.h"

#include <QHash>
#include <QLocalServer>
#include <QLocalSocket>

#include <windows.h>

// The Windows single-instance marker: the named mutex the program has always used (other
// tools, such as an installer, look for it). Beside it the first instance listens on a
// named pipe of the same name, through which a later start asks it to show its window.
namespace mnemora {
namespace {
const QByteArray kActivateRequest = QByteArrayLiteral("activate\n");
constexpr qint64 kMaxRequestSize = 64;

HANDLE& MutexOf(const CSingleInstance* instance) {
    // One marker per process is all the program uses; keyed by object for tests.
    static QHash<const CSingleInstance*, HANDLE> handles;
    return handles[instance];
}
} // namespace

CSingleInstance::CSingleInstance(const QString& name, QString folder, QObject* parent)
    : QObject(parent), m_folder(std::move(folder)), m_name(name) {}

CSingleInstance::~CSingleInstance() {
    Release();
}

QString CSingleInstance::DefaultFolder() {
    return QString(); // the mutex and the pipe live in the session's namespace, not in a folder
}

QString CSingleInstance::LockFilePath() const {
    return QString();
}

QString CSingleInstance::ServerPath() const {
    // Named pipes are machine-wide: the user's name keeps two sessions apart.
    return m_name + QLatin1Char('-') + qEnvironmentVariable("USERNAME");
}

bool CSingleInstance::HoldsLock() const {
    return m_holdsLock;
}

CSingleInstance::Role CSingleInstance::Claim() {
    HANDLE mutex = CreateMutexW(nullptr, TRUE, reinterpret_cast<const wchar_t*>(m_name.utf16()));
    const DWORD error = GetLastError();
    if (mutex == nullptr)
        return Role::Primary; // no marker can be made: run as a normal first instance
    if (error == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return Role::Secondary;
    }
    MutexOf(this) = mutex;
    m_holdsLock = true;

    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &CSingleInstance::OnNewConnection);
    if (!m_server->listen(ServerPath())) {
        delete m_server; // still the one instance; a later start just cannot raise this window
        m_server = nullptr;
    }
    return Role::Primary;
}

bool CSingleInstance::RequestActivation(int timeoutMs) {
    if (m_holdsLock)
        return false;
    QLocalSocket socket;
    socket.connectToServer(ServerPath(), QIODevice::WriteOnly);
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
    if (HANDLE& mutex = MutexOf(this); mutex != nullptr) {
        ReleaseMutex(mutex);
        CloseHandle(mutex);
        mutex = nullptr;
    }
    m_holdsLock = false;
}

void CSingleInstance::OnNewConnection() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { ReadRequest(socket); });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        ReadRequest(socket);
    }
}

void CSingleInstance::ReadRequest(QLocalSocket* socket) {
    if (socket->bytesAvailable() < kActivateRequest.size() && socket->state() == QLocalSocket::ConnectedState)
        return;
    const QByteArray request = socket->read(kMaxRequestSize);
    socket->disconnect(this);
    socket->disconnectFromServer();
    if (request == kActivateRequest)
        emit activationRequested();
}

} // namespace mnemora
