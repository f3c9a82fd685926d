#pragma once

#include <QObject>
#include <QString>
#include <memory>

class QLocalServer;
class QLocalSocket;

namespace mnemora {

class CInstanceLock;

// Marks that an instance runs, and lets a later start ask that instance to show itself.
// The marker is the OS's (CInstanceLock); beside it the first instance listens on a local
// socket (a named pipe on Windows). A second instance only reads: it never creates,
// rewrites or removes anything of the running one.
class CSingleInstance final : public QObject {
    Q_OBJECT
public:
    enum class Role {
        Primary,   // this process holds the lock (or no lock can be made at all: run anyway)
        Secondary, // another live process holds it
    };

    // name is the marker's base name ("Mnemora_zz" gives "Mnemora_zz.lock" on Linux); folder
    // is where a lock file and its socket live, by default DefaultFolder().
    explicit CSingleInstance(const QString& name = QStringLiteral("Mnemora_zz"),
                             QString folder = DefaultFolder(), QObject* parent = nullptr);
    ~CSingleInstance() override;
    CSingleInstance(const CSingleInstance&) = delete;
    CSingleInstance& operator=(const CSingleInstance&) = delete;

    // The per-user runtime folder ($XDG_RUNTIME_DIR); empty when there is none that is
    // private, and on Windows, whose marker is not a file.
    static QString DefaultFolder();

    // Tries to take the lock; a lock left by a process that no longer runs is taken over.
    // Call once. As primary, starts listening for activation requests.
    Role Claim();
    bool HoldsLock() const;
    QString LockFilePath() const;
    QString ServerPath() const;

    // From a secondary: asks the primary to show its window. True when the request was
    // handed to the primary's socket; the primary acts on it when its event loop runs.
    bool RequestActivation(int timeoutMs = 2000);

    // Stops listening and removes the lock; also done by the destructor.
    void Release();

signals:
    // A later start asked this instance to show its window.
    void activationRequested();

private:
    void OnNewConnection();
    void ReadRequest(QLocalSocket* socket);

    std::unique_ptr<CInstanceLock> m_lock;
    QLocalServer* m_server = nullptr;
};

} // namespace mnemora
