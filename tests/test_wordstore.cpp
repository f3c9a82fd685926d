// CWordStore on real encrypted list files: opening lists, reading rows, the batch
// and the write-back.
#include "FixtureDb.h"
#include "RecordingMessageBox.h"
#include "TestData.h"
#include "store/WordStore.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <sqlcipher/sqlite3.h>

using namespace mnemora;

namespace {

int commits = 0; // on files in rollback-journal mode, counted by the journals they delete

// A store on one list of the test folder, its table selected.
struct OpenList {
    RecordingMessageBox box;
    CWordStore store;
    OpenList(const QString& program, int index, int category) : store(box, program) {
        store.OpenWordList(index, category);
        store.OpenWordTable();
    }
};

} // namespace

class TestWordStore : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString program_; // a fake program file whose folder holds db/ (cet6.dat is missing)

    bool Write(const char* file, const char* table, const QList<fixture::Row>& rows) {
        return fixture::WriteTable(dir_.filePath(QStringLiteral("db/") + QLatin1String(file)), table, rows);
    }

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid() && QDir(dir_.path()).mkpath(QStringLiteral("db")));
        program_ = dir_.filePath(QStringLiteral("mnemora"));
        // nce4 is missing from nce.dat; toefl has a row of NULLs but the word.
        QVERIFY(
            Write("gre.dat", "gre", fixture::GeneratedRows(5)) &&
            Write("nce.dat", "nce2", fixture::GeneratedRows(4, 7, 300)) &&
            Write("nce.dat", "nce3", fixture::GeneratedRows(6)) && Write("cet4.dat", "cet4", {}) &&
            Write("ielts.dat", "ielts",
                  fixture::GeneratedRows(5) << fixture::Row{4464, "alias"} << fixture::Row{70000, "wide"}) &&
            Write("toefl.dat", "toefl", {{{}, "  able ", {}, {}, {}, {}, {}, {}, {}, {}}}));
        static sqlite3_vfs* const base = sqlite3_vfs_find(nullptr);
        static sqlite3_vfs counting = *base;
        counting.zName = "counting";
        counting.xDelete = [](sqlite3_vfs*, const char* name, int syncDir) {
            commits += QByteArray(name).endsWith("-journal") ? 1 : 0;
            return base->xDelete(base, name, syncDir);
        };
        QCOMPARE(sqlite3_vfs_register(&counting, 1), SQLITE_OK);
    }

    void opensListsByKey() {
        const struct {
            int index, category;
            const char* table;
            int rows, isOpen;
        } lists[] = {{4, 0, "gre", 5, 1}, {2, 1, "nce3", 6, 1}, {0, 0, "cet4", 0, 1}, {1, 0, "cet6", 0, 0}};
        for (const auto& expected : lists) {
            const OpenList list(program_, expected.index, expected.category);
            QCOMPARE(QByteArray(list.store.tableName()), QByteArray(expected.table));
            QCOMPARE(list.store.recordCount(), expected.rows);
            QCOMPARE(list.store.isOpen(), expected.isOpen);
            // A missing list is told once; the failed select after it is silent.
            QCOMPARE(list.box.shown.size(), 1 - expected.isOpen);
            if (!expected.isOpen)
                QVERIFY(list.box.shown[0].first.startsWith(
                            QStringLiteral("打开数据库失败！ADO 错误：0x80004005，")) &&
                        list.box.shown[0].second == MessageIcon::Error);
        }
    }

    void readsRowsWithNullsAndBlanks() {
        OpenList toefl(program_, 3, 0);
        WordRecord r;
        r.index = 99;
        r.wordChn = QStringLiteral("stale");
        toefl.store.ReadRow(r);
        QVERIFY(r.word == QStringLiteral("able ") && r.index == 1 && r.showTimes == 0 &&
                r.wordChn.isEmpty() && r.sentence2.isEmpty());
    }

    void saveBatchWritesEachRecordInOneCommit() {
        OpenList ielts(program_, 2, 0);
        // Counters go out as signed decimals; 70000 cut to 16 bits would name the alias row 4464.
        for (const auto& [index, shown] : {std::pair{5, 1u}, {4464, 3u}, {70000, 1u}}) {
            WordRecord r;
            r.index = index;
            r.showTimes = shown;
            r.toShowTime = 4294967295u;
            ielts.store.batch.Append(r);
        }
        const int before = commits;
        ielts.store.SaveBatch();
        QCOMPARE(commits - before, 1);
        // Reopened, as a change of list does, the store writes through its new connection
        // while its selection is open.
        ielts.store.OpenWordList(2, 0);
        ielts.store.OpenWordTable();
        for (auto p = ielts.store.batch.begin(); p != ielts.store.batch.end(); p = WordBatch::Next(p))
            ++WordBatch::At(p).showTimes;
        ielts.store.SaveBatch();
        ielts.store.Close();
        QCOMPARE(
            fixture::Select(dir_.filePath(QStringLiteral("db/ielts.dat")),
                            QStringLiteral("SELECT showTimes, toShowTime FROM ielts WHERE \"index\" > 4000")),
            (QList<QStringList>{{"4", "-1"}, {"2", "-1"}}));
    }

    void resetZeroesTheWholeTable() {
        OpenList nce2(program_, 1, 1);
        QVERIFY(nce2.store.ResetTable());
        WordRecord r;
        nce2.store.ReadRow(r);
        QVERIFY(r.showTimes == 0 && r.toShowTime == 0);
        OpenList nce4(program_, 3, 1); // not in the file: the reset fails and says why
        QVERIFY(!nce4.store.ResetTable() && nce4.store.LastError().contains(QStringLiteral("nce4")));
    }
};

QTEST_GUILESS_MAIN(TestWordStore)
#include "test_wordstore.moc"
