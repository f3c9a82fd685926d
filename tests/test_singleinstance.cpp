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

qint64 DeadPid() {
    QProcess process;
    process.start(QStringLiteral("/bin/true"), {});
    process.waitForStarted();
    const qint64 pid = process.processId();
    process.waitForFinished();
    return pid;
}
} // namespace

class TestSingleInstance final : public QObject {
    Q_OBJECT
private slots:
    void secondInstanceIsRefusedUntilTheFirstReleases() {
        QTemporaryDir folder;
        CSingleInstance first(kName, folder.path());
        QCOMPARE(first.Claim(), Role::Primary);
        QVERIFY(first.HoldsLock());
        QCOMPARE(QFileInfo(first.LockFilePath()).fileName(), QStringLiteral("Mnemora_zz.lock"));
        QVERIFY(QFile::exists(first.LockFilePath()));
        // A first instance that has run for an hour leaves an old-looking lock; it is still live.
        QFile aged(first.LockFilePath());
        QVERIFY(aged.open(QIODevice::ReadWrite));
        QVERIFY(aged.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
        aged.close();

        {
            CSingleInstance second(kName, folder.path());
            QCOMPARE(second.Claim(), Role::Secondary);
            QVERIFY(!second.HoldsLock());
            QVERIFY(second.RequestActivation());
        }
        // That a second start writes nothing is checked on the real program by tests/e2e.
        QVERIFY(QFile::exists(first.LockFilePath()));

        first.Release();
        QVERIFY(!QFile::exists(first.LockFilePath()));
        CSingleInstance third(kName, folder.path());
        QCOMPARE(third.Claim(), Role::Primary);
    }

    void lockAndSocketOfADeadOwnerAreTakenOver() {
        QTemporaryDir folder;
        CSingleInstance dead(kName, folder.path());
        QCOMPARE(dead.Claim(), Role::Primary);
        // Turn the lock into one left by a crashed process: same content, dead pid.
        QFile lock(dead.LockFilePath());
        QVERIFY(lock.open(QIODevice::ReadOnly));
        QList<QByteArray> lines = lock.readAll().split('\n');
        lock.close();
        lines[0] = QByteArray::number(DeadPid());
        dead.Release();
        QVERIFY(lock.open(QIODevice::WriteOnly));
        lock.write(lines.join('\n'));
        lock.close();
        QFile socketLeftover(dead.ServerPath());
        QVERIFY(socketLeftover.open(QIODevice::WriteOnly));
        socketLeftover.close();

        CSingleInstance next(kName, folder.path());
        QCOMPARE(next.Claim(), Role::Primary);
        QSignalSpy activations(&next, &CSingleInstance::activationRequested);
        CSingleInstance later(kName, folder.path());
        QCOMPARE(later.Claim(), Role::Secondary);
        QVERIFY(later.RequestActivation());
        QTRY_COMPARE_WITH_TIMEOUT(activations.count(), 1, 10000);
    }

    void onlyTheActivationRequestActivates() {
        QTemporaryDir folder;
        CSingleInstance first(kName, folder.path());
        QCOMPARE(first.Claim(), Role::Primary);
        QSignalSpy activations(&first, &CSingleInstance::activationRequested);

        for (const QByteArray& junk : {QByteArray("hello\n"), QByteArray(4096, 'a'), QByteArray("activat")}) {
            QLocalSocket socket;
            socket.connectToServer(first.ServerPath());
            QVERIFY(socket.waitForConnected(5000));
            socket.write(junk);
            QVERIFY(socket.waitForBytesWritten(5000));
            socket.disconnectFromServer();
        }
        CSingleInstance second(kName, folder.path());
        QCOMPARE(second.Claim(), Role::Secondary);
        QVERIFY(second.RequestActivation());
        QVERIFY(second.RequestActivation());
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
        CSingleInstance nowhere(kName, QString());
        QCOMPARE(nowhere.Claim(), Role::Primary); // no folder for a lock: the program still runs
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "test_singleinstance.moc"
