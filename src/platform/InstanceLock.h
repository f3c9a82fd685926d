#pragma once

#include <QString>
#include <memory>

class QLocalServer;

namespace mnemora {

// The per-OS marker that an instance runs: a lock file in the per-user runtime folder on
// Linux, the named mutex on Windows. The system drops it when its holder ends, however it
// ends. It also names the place where the holder listens for activation requests.
class CInstanceLock final {
public:
    enum class Outcome {
        Taken,       // this process holds the marker now
        HeldByOther, // another live process holds it
        NoMarker,    // none can be made here (no private runtime folder, ...)
    };

    // name is the marker's base name; folder is where a file marker lives (DefaultFolder()).
    CInstanceLock(QString name, QString folder);
    ~CInstanceLock();
    CInstanceLock(const CInstanceLock&) = delete;
    CInstanceLock& operator=(const CInstanceLock&) = delete;

    // The folder a file marker lives in by default; empty when there is none that is private.
    static QString DefaultFolder();

    // Tries once, without waiting; a marker left by a process that no longer runs is taken over.
    Outcome Take();
    bool Holds() const { return marker_ != nullptr; }
    void Release();

    // The lock file; empty where the marker is not a file.
    QString FilePath() const;
    // Where the holder's activation server listens; empty when there is no such place.
    QString ServerName() const;
    // Binds server at ServerName() so that only this user can connect. Called by the holder,
    // which takes over a name a dead holder left behind.
    bool Listen(QLocalServer& server) const;

private:
    struct Marker; // the OS's handle on the marker
    QString name_;
    QString folder_;
    std::unique_ptr<Marker> marker_;
};

} // namespace mnemora
