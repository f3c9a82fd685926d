// The lock and socket that keep one instance running. That a second start writes nothing
// and brings back the window is checked on the real program by tests/e2e/single_instance.sh.
#include "platform/SingleInstance.h"

#include <QFile>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using mnemora::CSingleInstance;
using Role = CSingleInstance::Role;

const QString kName = QStringLiteral("Mnemora_zz");

class TestSingleInstance final : public QObject {
    Q_OBJECT
private slots:
    // Without a running instance, or from the one running, nothing is activated; a second start
    // is refused until the first releases; without a folder for the lock the program still runs.
    void secondInstanceIsRefusedUntilTheFirstReleases() {
        QTemporaryDir folder;
        CSingleInstance first(kName, folder.path());
        QVERIFY(!first.RequestActivation(500));
        QCOMPARE(first.Claim(), Role::Primary);
        QVERIFY(!first.RequestActivation(500)); // the primary does not call itself
        QCOMPARE(CSingleInstance(kName, folder.path()).Claim(), Role::Secondary);
        QVERIFY(first.HoldsLock() && QFile::exists(first.LockFilePath()));
        first.Release();
        QVERIFY(!QFile::exists(first.LockFilePath()));
        QCOMPARE(CSingleInstance(kName, folder.path()).Claim(), Role::Primary);
        QCOMPARE(CSingleInstance(kName, QString()).Claim(), Role::Primary);
    }

    // An instance killed outright leaves its lock and its socket file behind; the next start
    // takes both over and is the one a later start reaches. Junk on the socket activates
    // nothing, every request once.
    void aKilledOwnerIsReplacedAndOnlyTheRequestActivates() {
        QTemporaryDir folder;
        const pid_t killed = fork();
        if (killed == 0) { // a child that claims, then is killed
            CSingleInstance instance(kName, folder.path());
            if (instance.Claim() == Role::Primary)
                raise(SIGKILL);
            _exit(1);
        }
        int status = 0;
        QVERIFY(killed > 0 && waitpid(killed, &status, 0) == killed && WIFSIGNALED(status));
        CSingleInstance next(kName, folder.path());
        QVERIFY(QFile::exists(next.LockFilePath()) && QFile::exists(next.ServerPath()));
        QCOMPARE(next.Claim(), Role::Primary);
        // Only its user may connect: no group or other bit.
        QVERIFY(!(QFile::permissions(next.ServerPath()) & 0x77));
        QSignalSpy activations(&next, &CSingleInstance::activationRequested);
        for (const QByteArray& junk : {QByteArray("hello\n"), QByteArray(4096, 'a'), QByteArray("activat")}) {
            QLocalSocket socket;
            socket.connectToServer(next.ServerPath());
            QVERIFY(socket.waitForConnected(5000) && socket.write(junk) == junk.size() &&
                    socket.waitForBytesWritten(5000));
            socket.disconnectFromServer();
        }
        CSingleInstance later(kName, folder.path());
        QVERIFY(later.Claim() == Role::Secondary && later.RequestActivation() && later.RequestActivation());
        QTRY_COMPARE_WITH_TIMEOUT(activations.count(), 2, 10000);
        QCoreApplication::processEvents();
        QCOMPARE(activations.count(), 2);
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "test_singleinstance.moc"
