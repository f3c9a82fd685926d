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

const QString kKey = QString::fromLatin1(fixture::kPassword);

bool OpenFile(CDbAccess& db, const QString& path, const QString& password = kKey) {
    db.CreateObjects();
    db.SetConnectString("Microsoft.Jet.OLEDB.4.0", path, password);
    return db.Open();
}

// The last error starts with the given code and text.
bool Failed(CDbAccess& db, const char* code) {
    return db.GetLastError().startsWith(QString("ADO 错误：") + code);
}

} // namespace

class TestDbAccess : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString good_;

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        good_ = dir_.filePath("good.dat");
        // Row 4: blanks, a NULL and an empty counter, NULL sentence2. 70000 is beyond
        // 16 bits; 2^32 + 4 truncated would name row 4.
        const QList<fixture::Row> rows =
            fixture::GeneratedRows(3) +
            QList<fixture::Row>{{4, "  spaced out ", {}, "", "", "", "", "", {}, {}},
                                {70000, "wide"},
                                {Q_INT64_C(4294967300), "huge"}};
        QVERIFY(fixture::WriteTable(good_, "cet4", rows) && fixture::WriteTable(good_, "empty", {}) &&
                fixture::WriteTable(good_, "reals", {}));
        fixture::Query(good_,
                       "INSERT INTO reals (\"index\", showTimes) VALUES (1, 3.5), (2, 9.3e18), (3, -1e300)");
    }

    void badFilesFailAndStayUntouched() {
        // A null content: no file.
        for (const auto& [name, content, password] :
             {std::tuple<const char*, QByteArray, QString>{"missing", {}, kKey},
              {"empty", "", kKey},
              {"wrong", testdata::ReadFile(good_), "wrong"}}) {
            const QString path = dir_.filePath(name + QString(".dat"));
            QVERIFY(content.isNull() || testdata::WriteFile(path, content));
            const QByteArray before = testdata::Sha256(path);
            CDbAccess db;
            QVERIFY(!OpenFile(db, path, password));
            QVERIFY2(Failed(db, "0x80004005，") && db.GetLastError().contains(path),
                     qPrintable(db.GetLastError()));
            QCOMPARE(QFile::exists(path), !content.isNull());
            QCOMPARE(testdata::Sha256(path), before);
            QVERIFY(!db.IsConnected() && !QFile::exists(path + "-wal"));
        }
    }

    void readsTypedColumns() {
        CDbAccess db;
        QVERIFY(OpenFile(db, good_));
        QVERIFY(db.OpenRecordset("SELECT * FROM cet4"));
        QCOMPARE(db.GetRecordCount(), 6);
        for (int i = 0; i < 3; ++i)
            db.MoveNext();
        QString word, sentence2 = "kept";
        // Names match without regard to case; a NULL text leaves the value as it was.
        QVERIFY(db.GetString("WORD", word) && word == "spaced out ");
        QVERIFY(!db.GetString("sentence2", sentence2) && sentence2 == "kept");
        int32_t shown = 9, due = 9, index = 0;
        QVERIFY(db.GetInt("showTimes", shown) && db.GetInt("toShowTime", due) && db.GetIndex(index));
        QCOMPARE((QList<int32_t>{shown, due, index}), (QList<int32_t>{0, 0, 4}));
        db.MoveNext();
        QVERIFY(db.GetIndex(index) && index == 70000);
        db.MoveNext(); // refused, not read as row 4
        QVERIFY(!db.GetIndex(index) && index == 0 && db.GetLastError().contains("4294967300"));
        QVERIFY(!db.GetString("nosuchcolumn", word) && Failed(db, "0x800a0cc1，"));
        db.MoveNext();
        QVERIFY(db.IsEof() && !db.GetIndex(index) && Failed(db, "0x800a0bcd，"));
        db.MoveFirst();
        QVERIFY(db.GetString("word", word) && word == "word1");
        // A real number reads as its integer part; one outside the 64-bit range has none and is refused.
        QVERIFY(db.OpenRecordset("SELECT * FROM reals") && db.GetInt("showTimes", shown) && shown == 3);
        for (int row = 2; row <= 3; ++row) {
            db.MoveNext();
            QVERIFY(!db.GetInt("showTimes", shown) && shown == 0 && Failed(db, "0x8002000a，Overflow"));
        }
        // An empty table is at its end at once; a missing one fails as a rejected statement.
        QVERIFY(db.OpenRecordset("SELECT * FROM empty") && db.GetRecordCount() == 0 && db.IsEof());
        QVERIFY(!db.OpenRecordset("SELECT * FROM nosuchtable") && db.GetRecordCount() == 0 &&
                Failed(db, "0x80040e14，"));
        QVERIFY(!db.Execute("UPDATE cet4 SET nonsense WHERE") && Failed(db, "0x80040e14，"));
    }

    // A read-only file, and a read-only folder with a list left in WAL mode by an earlier build,
    // studied once by this one or not. Run as an unprivileged user, so that the permissions hold
    // even under root.
    void readOnlyListsReadButRejectWrites() {
        MNEMORA_RUN_UNPRIVILEGED();
        for (const auto& [folderReadOnly, studied] : {std::pair{false, false}, {true, true}, {true, false}}) {
            QTemporaryDir folder;
            const QString path = folder.filePath("readonly.dat");
            QVERIFY(fixture::WriteTable(path, "gre", fixture::GeneratedRows(2)));
            CDbAccess db;
            if (folderReadOnly)
                QCOMPARE(fixture::Query(path, "PRAGMA journal_mode=WAL"), "wal");
            if (studied) {
                QVERIFY(OpenFile(db, path) && db.Execute("UPDATE gre SET showTimes = '5' WHERE index = 1"));
                db.Close();
            }
            QVERIFY(folderReadOnly ? testdata::SetFolderWritable(folder.path(), false)
                                   : QFile::setPermissions(path, QFile::ReadOwner));
            const QByteArray before = testdata::Sha256(path);
            QVERIFY2(OpenFile(db, path), qPrintable(db.GetLastError()));
            int32_t shown = 0;
            QVERIFY(db.OpenRecordset("SELECT * FROM gre") && db.GetInt("showTimes", shown));
            QCOMPARE(shown, studied ? 5 : 0);
            QVERIFY(!db.Execute("UPDATE gre SET showTimes = '1' WHERE index = 1"));
            db.Close();
            QCOMPARE(testdata::Sha256(path), before);
            QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{"readonly.dat"});
            QVERIFY(testdata::SetFolderWritable(folder.path(), true));
        }
    }

    void dialectQuotesOnlyTheColumn() {
        for (const auto& [in, out] : {
                 std::pair{"select Index from t", "select \"Index\" from t"},
                 {"UPDATE t SET word = 'index' WHERE index=1",
                  "UPDATE t SET word = 'index' WHERE \"index\"=1"},
                 {"SELECT \"index\", [index] FROM t", "SELECT \"index\", [index] FROM t"},
                 {"SELECT indexes, reindex FROM t", "SELECT indexes, reindex FROM t"},
                 {"SELECT 'it''s index' WHERE index=1", "SELECT 'it''s index' WHERE \"index\"=1"},
             })
            QCOMPARE(AdaptJetStatement(in), QString(out));
    }
};

QTEST_GUILESS_MAIN(TestDbAccess)
#include "test_dbaccess.moc"
