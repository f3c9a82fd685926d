#include "platform/DataLocation.h"
#include "platform/TemplateCopy.h"

#include <QTemporaryDir>
#include <QTest>

using namespace mnemora;

class TestDataLocation : public QObject {
    Q_OBJECT
private slots:
    void Decision_data() {
        QTest::addColumn<bool>("writable");
        QTest::addColumn<bool>("hasDb");
        QTest::addColumn<QString>("config");
        QTest::addColumn<QString>("data");
        QTest::addColumn<QString>("settings");
        QTest::addColumn<QString>("db");
        QTest::newRow("portable") << true << true << "" << "" << "/opt/m/mnemora.ini" << "/opt/m/db/";
        QTest::newRow("read-only folder") << false << true << "" << ""
                                          << "/h/.config/mnemora/mnemora.ini" << "/h/.local/share/mnemora/db/";
        QTest::newRow("no db folder") << true << false << "/c" << "/d" << "/c/mnemora/mnemora.ini"
                                      << "/d/mnemora/db/";
        QTest::newRow("relative XDG ignored") << false << false << "rel" << "rel"
                                              << "/h/.config/mnemora/mnemora.ini" << "/h/.local/share/mnemora/db/";
    }
    void Decision() {
        QFETCH(bool, writable);
        QFETCH(bool, hasDb);
        QFETCH(QString, config);
        QFETCH(QString, data);
        QFETCH(QString, settings);
        QFETCH(QString, db);
        const DataLocation out = DecideDataLocation({"/opt/m/mnemora", writable, hasDb, "/h", config, data});
        QCOMPARE(out.settingsPath, settings);
        QCOMPARE(out.dbFolder, db);
        QCOMPARE(out.portable, writable && hasDb);
        if (!out.portable)
            QCOMPARE(out.templateFolder, QStringLiteral("/opt/share/mnemora/db/"));
    }
    // A copy the user has is never replaced; a leftover partial copy is redone.
    void CopyKeepsUserFiles() {
        QTemporaryDir dir;
        const QString t = dir.filePath("t/"), u = dir.filePath("u/");
        QDir().mkpath(t);
        QDir().mkpath(u);
        for (const char* name : {"a.dat", "b.dat"}) {
            QFile f(t + name);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("template");
        }
        QFile mine(u + "a.dat");
        QVERIFY(mine.open(QIODevice::WriteOnly));
        mine.write("mine");
        mine.close();
        QFile part(u + "b.dat.part");
        QVERIFY(part.open(QIODevice::WriteOnly));
        part.write("te");
        part.close();
        QVERIFY(EnsureUserLists(t, u, nullptr));
        QFile a(u + "a.dat"), b(u + "b.dat");
        QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
        QCOMPARE(a.readAll(), QByteArray("mine"));
        QCOMPARE(b.readAll(), QByteArray("template"));
        QVERIFY(!QFile::exists(u + "b.dat.part"));
    }
};

QTEST_GUILESS_MAIN(TestDataLocation)
#include "test_datalocation.moc"
