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
#include <cstdio>

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

    // An instance killed outright leaves its lock and its socket file behind; the next start
    // takes both over and is the one a later start reaches. Junk on the socket activates
    // nothing, every request once.
    void aKilledOwnerIsReplacedAndOnlyTheRequestActivates() {
        QTemporaryDir folder;
        QProcess killed;
        killed.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--hold"), folder.path()});
        QVERIFY(killed.waitForReadyRead(10000));
        QCOMPARE(killed.readAll(), QByteArray("holding\n"));
        killed.kill();
        QVERIFY(killed.waitForFinished(10000));
        QVERIFY(QFile::exists(CSingleInstance(kName, folder.path()).ServerPath()));

        CSingleInstance next(kName, folder.path());
        QCOMPARE(next.Claim(), Role::Primary);
        const auto othersMay = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther |
                               QFile::WriteOther | QFile::ExeOther;
        QVERIFY(!(QFile::permissions(next.ServerPath()) & othersMay)); // only its user may connect
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

// With "--hold FOLDER" the program is an instance that claims the lock in FOLDER and runs
// until it is killed.
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--hold") == 0) {
        CSingleInstance instance(kName, QString::fromLocal8Bit(argv[2]));
        if (instance.Claim() != Role::Primary || !QFile::exists(instance.ServerPath()))
            return 1;
        std::fputs("holding\n", stdout);
        std::fflush(stdout);
        return app.exec();
    }
    TestSingleInstance test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_singleinstance.moc"
