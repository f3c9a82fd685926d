#include "platform/InstanceLock.h"

#include <QLocalServer>

#include <windows.h>

// The named mutex the program has always used as its marker (other tools, such as an
// installer, look for it). The activation server is a named pipe of the same name.
namespace mnemora {

struct CInstanceLock::Marker {
    explicit Marker(HANDLE handle) : mutex(handle) {}
    ~Marker() {
        ReleaseMutex(mutex);
        CloseHandle(mutex);
    }
    Marker(const Marker&) = delete;
    Marker& operator=(const Marker&) = delete;
    HANDLE mutex;
};

CInstanceLock::CInstanceLock(QString name, QString folder)
    : name_(std::move(name)), folder_(std::move(folder)) {}

CInstanceLock::~CInstanceLock() {
    Release();
}

QString CInstanceLock::DefaultFolder() {
    return QString(); // the mutex and the pipe live in the session's namespace, not in a folder
}

QString CInstanceLock::FilePath() const {
    return QString();
}

QString CInstanceLock::ServerName() const {
    // Named pipes are machine-wide: the user's name keeps two sessions apart.
    return name_ + QLatin1Char('-') + qEnvironmentVariable("USERNAME");
}

CInstanceLock::Outcome CInstanceLock::Take() {
    HANDLE mutex = CreateMutexW(nullptr, TRUE, reinterpret_cast<const wchar_t*>(name_.utf16()));
    const DWORD error = GetLastError();
    if (mutex == nullptr)
        return Outcome::NoMarker;
    if (error == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return Outcome::HeldByOther;
    }
    marker_ = std::make_unique<Marker>(mutex);
    return Outcome::Taken;
}

void CInstanceLock::Release() {
    marker_.reset();
}

bool CInstanceLock::Listen(QLocalServer& server) const {
    // The pipe of a dead holder went with its process; only this user may connect.
    server.setSocketOptions(QLocalServer::UserAccessOption);
    return server.listen(ServerName());
}

} // namespace mnemora
