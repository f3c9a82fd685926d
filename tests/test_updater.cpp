#include "TestData.h"
#include "platform/UpdaterHandOff.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace mnemora;

namespace {
// An updater stand-in that leaves a marker file named after itself in the folder.
QByteArray Script(const QByteArray& marker) {
    return "#!/bin/sh\necho started > \"$(dirname \"$0\")/" + marker + "\"\n";
}

void WriteFile(const QString& path, const QByteArray& content, bool executable) {
    QVERIFY(testdata::WriteFile(path, content));
    if (executable)
        QVERIFY(QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner |
                                                QFileDevice::ExeUser));
}

using testdata::ReadFile;
} // namespace

class TestUpdater final : public QObject {
    Q_OBJECT
private slots:
    void newUpdaterTakesThePlaceAndStarts_data() {
        QTest::addColumn<bool>("oldPresent");
        QTest::addColumn<bool>("newPresent");
        QTest::newRow("old and new") << true << true;
        QTest::newRow("new only") << false << true;
        QTest::newRow("old only") << true << false;
    }
    void newUpdaterTakesThePlaceAndStarts() {
        QFETCH(bool, oldPresent);
        QFETCH(bool, newPresent);
        QTemporaryDir dir;
        if (oldPresent)
            WriteFile(dir.filePath("update"), Script("old-ran"), true);
        if (newPresent)
            WriteFile(dir.filePath("update.new"), Script("new-ran"), true);
        const QByteArray ran = newPresent ? "new-ran" : "old-ran";

        const UpdaterHandOffResult result = HandOffToUpdater(dir.path());
        QVERIFY(result.error.isEmpty());
        QCOMPARE(result.replaced, newPresent);
        QVERIFY(result.started);
        QVERIFY(!QFile::exists(dir.filePath("update.new")));
        QCOMPARE(ReadFile(dir.filePath("update")), Script(ran));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(dir.filePath(ran)), 10000);
    }

    void failedMoveIsReportedAndLosesNothing_data() {
        QTest::addColumn<bool>("newIsFolder");
        QTest::newRow("old is a folder") << false;
        QTest::newRow("new is a folder") << true;
    }
    void failedMoveIsReportedAndLosesNothing() {
        QFETCH(bool, newIsFolder);
        QTemporaryDir dir;
        const QString folder = dir.filePath(newIsFolder ? "update.new" : "update");
        const QString file = dir.filePath(newIsFolder ? "update" : "update.new");
        QVERIFY(QDir().mkpath(folder + "/inside"));
        WriteFile(file, Script("ran"), true);

        const UpdaterHandOffResult result = HandOffToUpdater(dir.path());
        QVERIFY(result.error.contains(dir.filePath("update.new")));
        QVERIFY(result.error.size() > dir.filePath("update.new").size() + 2); // and why
        QVERIFY(!result.replaced);
        QVERIFY(!result.started); // even an executable "update" is skipped after a failed move
        QCOMPARE(ReadFile(file), Script("ran"));
        QVERIFY(QFileInfo(folder + "/inside").isDir());
    }

    void onlyARegularExecutableFileStarts_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("not executable") << "plain";
        QTest::newRow("folder") << "folder";
        QTest::newRow("link to an executable") << "link";
        QTest::newRow("absent") << "none";
        QTest::newRow("no folder") << "no folder";
    }
    void onlyARegularExecutableFileStarts() {
        QFETCH(QString, kind);
        QTemporaryDir dir;
        const QString updater = dir.filePath("update");
        if (kind == "plain")
            WriteFile(updater, Script("ran"), false);
        else if (kind == "folder")
            QVERIFY(QDir().mkdir(updater));
        else if (kind == "link") {
            WriteFile(dir.filePath("real"), Script("ran"), true);
            QVERIFY(QFile::link(dir.filePath("real"), updater));
        }
        const UpdaterHandOffResult result = HandOffToUpdater(kind == "no folder" ? QString() : dir.path());
        QVERIFY(result.error.isEmpty());
        QVERIFY(!result.started);
    }
};

QTEST_GUILESS_MAIN(TestUpdater)
#include "test_updater.moc"
