// The lock and socket that keep one instance running. That a second start writes nothing
// and brings back the window is checked on the real program by tests/e2e/single_instance.sh.
#include "platform/SingleInstance.h"

#include <QDateTime>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using mnemora::CSingleInstance;
using Role = CSingleInstance::Role;

namespace {
const QString kName = QStringLiteral("Mnemora_zz");
} // namespace

class TestSingleInstance final : public QObject {
    Q_OBJECT
private slots:
    void secondInstanceIsRefusedUntilTheFirstReleases() {
        QTemporaryDir folder;
        CSingleInstance first(kName, folder.path());
        QCOMPARE(first.Claim(), Role::Primary);
        // A first instance that has run for an hour leaves an old-looking lock; it is still live.
        QFile aged(first.LockFilePath());
        QVERIFY(aged.open(QIODevice::ReadWrite));
        QVERIFY(
            aged.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
        aged.close();
        {
            CSingleInstance second(kName, folder.path());
            QCOMPARE(second.Claim(), Role::Secondary);
        }
        QVERIFY(first.HoldsLock() && QFile::exists(first.LockFilePath()));
        first.Release();
        QVERIFY(!QFile::exists(first.LockFilePath()));
        QCOMPARE(CSingleInstance(kName, folder.path()).Claim(), Role::Primary);
    }

    // The lock of a crashed process (same content, dead pid) and its socket file are taken
    // over; junk on the socket activates nothing, every request once.
    void aDeadOwnerIsReplacedAndOnlyTheRequestActivates() {
        QTemporaryDir folder;
        CSingleInstance dead(kName, folder.path());
        QCOMPARE(dead.Claim(), Role::Primary);
        QFile lock(dead.LockFilePath());
        QVERIFY(lock.open(QIODevice::ReadOnly));
        QList<QByteArray> lines = lock.readAll().split('\n');
        lock.close();
        QProcess gone;
        gone.start(QStringLiteral("/bin/true"), {});
        QVERIFY(gone.waitForStarted());
        lines[0] = QByteArray::number(gone.processId());
        QVERIFY(gone.waitForFinished());
        dead.Release();
        QVERIFY(lock.open(QIODevice::WriteOnly) && lock.write(lines.join('\n')) > 0);
        lock.close();
        QFile leftover(dead.ServerPath());
        QVERIFY(leftover.open(QIODevice::WriteOnly));
        leftover.close();

        CSingleInstance next(kName, folder.path());
        QCOMPARE(next.Claim(), Role::Primary);
        QSignalSpy activations(&next, &CSingleInstance::activationRequested);
        for (const QByteArray& junk : {QByteArray("hello\n"), QByteArray(4096, 'a'), QByteArray("activat")}) {
            QLocalSocket socket;
            socket.connectToServer(next.ServerPath());
            QVERIFY(socket.waitForConnected(5000));
            socket.write(junk);
            QVERIFY(socket.waitForBytesWritten(5000));
            socket.disconnectFromServer();
        }
        CSingleInstance later(kName, folder.path());
        QCOMPARE(later.Claim(), Role::Secondary);
        QVERIFY(later.RequestActivation() && later.RequestActivation());
        QTRY_COMPARE_WITH_TIMEOUT(activations.count(), 2, 10000);
        QCoreApplication::processEvents();
        QCOMPARE(activations.count(), 2);
    }

    void withoutARunningInstanceNothingIsActivated() {
        QTemporaryDir folder;
        CSingleInstance alone(kName, folder.path());
        QVERIFY(!alone.RequestActivation(500));
        QCOMPARE(alone.Claim(), Role::Primary);
        QVERIFY(!alone.RequestActivation(500)); // the primary does not call itself
        QCOMPARE(CSingleInstance(kName, QString()).Claim(),
                 Role::Primary); // no folder for a lock: still runs
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "test_singleinstance.moc"
