// CDbAccess against real encrypted files: opening, bad files, reading typed columns,
// read-only lists, the Jet dialect and error texts.
#include "FixtureDb.h"
#include "TestData.h"
#include "Unprivileged.h"
#include "store/DbAccess.h"
#include "store/SqlDialect.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace mnemora;

namespace {

bool OpenFile(CDbAccess& db, const QString& path,
              const QString& password = QString::fromLatin1(fixture::kPassword)) {
    db.CreateObjects();
    db.SetConnectString(QStringLiteral("Microsoft.Jet.OLEDB.4.0"), path, password);
    return db.Open();
}

} // namespace

class TestDbAccess : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString good_;

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        good_ = dir_.filePath(QStringLiteral("good.dat"));
        // Row 4: blanks, a NULL and an empty counter, NULL sentence2. 70000 is beyond
        // 16 bits; 2^32 + 4 truncated would name row 4.
        const QList<fixture::Row> rows =
            fixture::GeneratedRows(3) +
            QList<fixture::Row>{{4, "  spaced out ", {}, "", "", "", "", "", {}, {}},
                                {70000, "wide"},
                                {Q_INT64_C(4294967300), "huge"}};
        QVERIFY(fixture::WriteTable(good_, QStringLiteral("cet4"), rows));
        QVERIFY(fixture::WriteTable(good_, QStringLiteral("empty"), {}));
    }

    void badFilesFailAndStayUntouched_data() {
        QTest::addColumn<QByteArray>("content"); // null: no file
        QTest::addColumn<QString>("password");
        const QString key = QString::fromLatin1(fixture::kPassword);
        const QByteArray good = testdata::ReadFile(good_);
        QTest::newRow("missing") << QByteArray() << key;
        QTest::newRow("empty") << QByteArray("") << key;
        QTest::newRow("wrong password") << good << QStringLiteral("wrong");
    }
    void badFilesFailAndStayUntouched() {
        QFETCH(QByteArray, content);
        QFETCH(QString, password);
        const bool exists = !content.isNull();
        const QString path =
            dir_.filePath(QString::fromLatin1(QTest::currentDataTag()) + QStringLiteral(".dat"));
        QVERIFY(!exists || testdata::WriteFile(path, content));
        const QByteArray before = testdata::Sha256(path);
        CDbAccess db;
        QVERIFY(!OpenFile(db, path, password));
        QVERIFY2(db.GetLastError().startsWith(QStringLiteral("ADO 错误：0x80004005，")) &&
                     db.GetLastError().contains(path),
                 qPrintable(db.GetLastError()));
        QCOMPARE(QFile::exists(path), exists);
        QCOMPARE(testdata::Sha256(path), before);
        QVERIFY(!db.IsConnected() && !QFile::exists(path + QStringLiteral("-wal")));
    }

    void readsTypedColumns() {
        CDbAccess db;
        QVERIFY(OpenFile(db, good_));
        QVERIFY(db.OpenRecordset("SELECT * FROM cet4"));
        QCOMPARE(db.GetRecordCount(), 6);
        for (int i = 0; i < 3; ++i)
            db.MoveNext();
        QString word, sentence2 = QStringLiteral("kept");
        // Names match without regard to case; a NULL text leaves the value as it was.
        QVERIFY(db.GetString("WORD", word) && word == QStringLiteral("spaced out "));
        QVERIFY(!db.GetString("sentence2", sentence2) && sentence2 == QStringLiteral("kept"));
        int32_t shown = 9, due = 9, index = 0;
        QVERIFY(db.GetInt("showTimes", shown) && db.GetInt("toShowTime", due) && db.GetIndex(index));
        QCOMPARE((QList<int32_t>{shown, due, index}), (QList<int32_t>{0, 0, 4}));
        db.MoveNext();
        QVERIFY(db.GetIndex(index) && index == 70000);
        db.MoveNext(); // refused, not read as row 4
        QVERIFY(!db.GetIndex(index) && index == 0);
        QVERIFY(db.GetLastError().contains(QStringLiteral("4294967300")));
        QVERIFY(!db.GetString("nosuchcolumn", word));
        QVERIFY(db.GetLastError().startsWith(QStringLiteral("ADO 错误：0x800a0cc1，")));
        db.MoveNext();
        QVERIFY(db.IsEof() && !db.GetIndex(index));
        QVERIFY(db.GetLastError().startsWith(QStringLiteral("ADO 错误：0x800a0bcd，")));
        db.MoveFirst();
        QVERIFY(db.GetString("word", word) && word == QStringLiteral("word1"));
        // An empty table is at its end at once; a missing one fails as a rejected statement.
        QVERIFY(db.OpenRecordset("SELECT * FROM empty") && db.GetRecordCount() == 0 && db.IsEof());
        QVERIFY(!db.OpenRecordset("SELECT * FROM nosuchtable") && db.GetRecordCount() == 0);
        QVERIFY(db.GetLastError().startsWith(QStringLiteral("ADO 错误：0x80040e14，")));
        QVERIFY(!db.Execute(QStringLiteral("UPDATE cet4 SET nonsense WHERE")));
        QVERIFY(db.GetLastError().startsWith(QStringLiteral("ADO 错误：0x80040e14，")));
    }

    // A real number reads as its integer part; one outside the 64-bit range has none and is refused.
    void realsReadWithinTheIntegerRange() {
        const QString path = dir_.filePath(QStringLiteral("reals.dat"));
        QVERIFY(fixture::WriteTable(path, QStringLiteral("reals"), {}));
        fixture::Query(path,
                       "INSERT INTO reals (\"index\", showTimes) VALUES (1, 3.5), (2, 9.3e18), (3, -1e300)");
        CDbAccess db;
        QVERIFY(OpenFile(db, path) && db.OpenRecordset("SELECT * FROM reals"));
        int32_t shown = 0;
        QVERIFY(db.GetInt("showTimes", shown) && shown == 3);
        for (int row = 2; row <= 3; ++row) {
            db.MoveNext();
            QVERIFY(!db.GetInt("showTimes", shown) && shown == 0);
            QVERIFY(db.GetLastError().startsWith(QStringLiteral("ADO 错误：0x8002000a，Overflow")));
        }
    }

    void readOnlyListsReadButRejectWrites_data() {
        QTest::addColumn<bool>("folderReadOnly");
        QTest::addColumn<bool>("studied");
        QTest::newRow("read-only file") << false << false;
        // Left in WAL mode by an earlier build, studied once by this one or not, then made read-only.
        QTest::newRow("studied before, read-only folder") << true << true;
        QTest::newRow("left in WAL mode, read-only folder") << true << false;
    }
    // Run as an unprivileged user, so that the permissions hold even under root.
    void readOnlyListsReadButRejectWrites() {
        MNEMORA_RUN_UNPRIVILEGED();
        QFETCH(bool, folderReadOnly);
        QFETCH(bool, studied);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("readonly.dat"));
        QVERIFY(fixture::WriteTable(path, QStringLiteral("gre"), fixture::GeneratedRows(2)));
        CDbAccess db;
        if (folderReadOnly)
            QCOMPARE(fixture::Query(path, QStringLiteral("PRAGMA journal_mode=WAL")), QStringLiteral("wal"));
        if (studied) {
            QVERIFY(OpenFile(db, path));
            QVERIFY(db.Execute(QStringLiteral("UPDATE gre SET showTimes = '5' WHERE index = 1")));
            db.Close();
        }
        QVERIFY(folderReadOnly ? testdata::SetFolderWritable(folder.path(), false)
                               : QFile::setPermissions(path, QFile::ReadOwner));
        const QByteArray before = testdata::Sha256(path);
        QVERIFY2(OpenFile(db, path), qPrintable(db.GetLastError()));
        QVERIFY(db.OpenRecordset("SELECT * FROM gre"));
        int32_t shown = 0;
        QVERIFY(db.GetInt("showTimes", shown));
        QCOMPARE(shown, studied ? 5 : 0);
        QVERIFY(!db.Execute(QStringLiteral("UPDATE gre SET showTimes = '1' WHERE index = 1")));
        db.Close();
        QCOMPARE(testdata::Sha256(path), before);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{QStringLiteral("readonly.dat")});
        QVERIFY(testdata::SetFolderWritable(folder.path(), true));
    }

    void dialectQuotesOnlyTheColumn_data() {
        testdata::AddStringRows(
            "in", "out",
            {
                {"case", "select Index from t", "select \"Index\" from t"},
                {"literal", "UPDATE t SET word = 'index' WHERE index=1",
                 "UPDATE t SET word = 'index' WHERE \"index\"=1"},
                {"quoted", "SELECT \"index\", [index] FROM t", "SELECT \"index\", [index] FROM t"},
                {"word part", "SELECT indexes, reindex FROM t", "SELECT indexes, reindex FROM t"},
                {"escaped quote", "SELECT 'it''s index' WHERE index=1",
                 "SELECT 'it''s index' WHERE \"index\"=1"},
            });
    }
    void dialectQuotesOnlyTheColumn() {
        QFETCH(QString, in);
        QFETCH(QString, out);
        QCOMPARE(AdaptJetStatement(in), out);
    }
};

QTEST_GUILESS_MAIN(TestDbAccess)
#include "test_dbaccess.moc"
