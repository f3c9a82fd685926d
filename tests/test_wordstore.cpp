// CWordStore on real encrypted list files: folder rule, opening lists,
// reading rows, the batch and the write-back.
#include "FixtureDb.h"
#include "RecordingMessageBox.h"
#include "TestData.h"
#include "store/WordStore.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace mnemora;

class TestWordStore : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString program_; // a fake program file whose folder holds db/

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        program_ = dir_.filePath(QStringLiteral("bin.d/mnemora"));
        QVERIFY(QDir(dir_.path()).mkpath(QStringLiteral("bin.d/db")));
        const QString db = dir_.filePath(QStringLiteral("bin.d/db/"));
        QVERIFY(fixture::WriteTable(db + QStringLiteral("gre.dat"), QStringLiteral("gre"),
                                    fixture::GeneratedRows(5)));
        for (int i = 1; i <= 4; ++i)
            QVERIFY(fixture::WriteTable(db + QStringLiteral("nce.dat"), QStringLiteral("nce%1").arg(i),
                                        fixture::GeneratedRows(i * 2)));
        QVERIFY(fixture::WriteTable(db + QStringLiteral("cet4.dat"), QStringLiteral("cet4"), {}));
    }

    void folderBesideTheProgram_data() {
        testdata::AddStringRows("program", "folder",
                                {
                                    {"folder", "/opt/words/mnemora", "/opt/words/db/"},
                                    {"dotted folder", "/home/u/.local/bin/mnemora", "/home/u/.local/bin/db/"},
                                    {"bare name", "mnemora", "./db/"},
                                    {"root only", "/mnemora", "./db/"},
                                });
    }
    void folderBesideTheProgram() {
        QFETCH(QString, program);
        QFETCH(QString, folder);
        RecordingMessageBox box;
        CWordStore store(box, program);
        QCOMPARE(store.dbFolder, folder);
        QVERIFY(box.shown.isEmpty());
    }

    void opensListsByKey_data() {
        QTest::addColumn<int>("category");
        QTest::addColumn<int>("index");
        QTest::addColumn<QByteArray>("table");
        QTest::addColumn<int>("rows");
        QTest::newRow("gre") << 0 << 4 << QByteArray("gre") << 5;
        QTest::newRow("nce3") << 1 << 2 << QByteArray("nce3") << 6;
        QTest::newRow("empty cet4") << 0 << 0 << QByteArray("cet4") << 0;
    }
    void opensListsByKey() {
        QFETCH(int, category);
        QFETCH(int, index);
        QFETCH(QByteArray, table);
        QFETCH(int, rows);
        RecordingMessageBox box;
        CWordStore store(box, program_);
        QCOMPARE(store.OpenWordList(index, category), 1);
        store.OpenWordTable();
        QCOMPARE(QByteArray(store.tableName.data()), table);
        QCOMPARE(store.recordCount, rows);
        QVERIFY(store.isOpen == 1 && box.shown.isEmpty());
    }

    void missingListReportsAndLoadsNothing() {
        RecordingMessageBox box;
        CWordStore store(box, program_);
        QCOMPARE(store.OpenWordList(1, 0), 0); // cet6.dat does not exist
        QCOMPARE(box.shown.size(), 1);
        QVERIFY(box.shown[0].first.startsWith(QStringLiteral("打开数据库失败！ADO 错误：0x80004005，")));
        QCOMPARE(box.shown[0].second, MessageIcon::Error);
        QCOMPARE(store.isOpen, 0);
        store.OpenWordTable();
        QCOMPARE(store.recordCount, 0);
        QCOMPARE(box.shown.size(), 1); // a failed select is silent
    }

    void readsRowsWithNullsAndBlanks() {
        const QString path = dir_.filePath(QStringLiteral("nulls/db/toefl.dat"));
        QDir().mkpath(QFileInfo(path).path());
        const fixture::Row row{{}, QStringLiteral("  able "), {}, {}, {}, {}, {}, {}, {},
                               {}}; // NULL but the word
        QVERIFY(fixture::WriteTable(path, QStringLiteral("toefl"), {row},
                                    QString::fromLatin1(fixture::kPassword), false));
        RecordingMessageBox box;
        CWordStore store(box, dir_.filePath(QStringLiteral("nulls/mnemora")));
        QCOMPARE(store.OpenWordList(3, 0), 1);
        store.OpenWordTable();
        WordRecord r;
        r.wordChn = QStringLiteral("stale");
        r.index = 99;
        r.showTimes = 5;
        store.ReadRow(r);
        QCOMPARE(r.word, QStringLiteral("able "));
        QVERIFY(r.index == 0 && r.showTimes == 0 && r.wordChn.isEmpty() && r.sentence2.isEmpty());
    }

    void batchIsCircularThroughItsEnd() {
        WordBatch batch;
        QVERIFY(WordBatch::Next(batch.end()) == batch.end());
        WordRecord r;
        for (int i = 1; i <= 3; ++i) {
            r.index = i;
            batch.Append(r);
        }
        QCOMPARE(WordBatch::At(WordBatch::Next(batch.end())).index, 1);
        QCOMPARE(WordBatch::At(WordBatch::Prev(batch.end())).index, 3);
        auto second = WordBatch::Next(batch.begin());
        WordBatch::At(second).showTimes = 4; // positions survive edits
        QCOMPARE(WordBatch::At(WordBatch::Prev(WordBatch::Next(second))).showTimes, 4u);
        batch.Clear();
        QVERIFY(batch.empty() && batch.begin() == batch.end());
    }

    void saveBatchSendsOneStatementPerRecordInOrder() {
        const QString folder = dir_.filePath(QStringLiteral("save"));
        QDir().mkpath(folder + QStringLiteral("/db"));
        QList<fixture::Row> rows = fixture::GeneratedRows(6);
        rows[5].index = 70000; // beyond 16 bits; 70000 - 65536 = 4464 must stay untouched
        rows.append({4464, QStringLiteral("alias"), 2, 9});
        QVERIFY(fixture::WriteTable(folder + QStringLiteral("/db/ielts.dat"), QStringLiteral("ielts"), rows));
        RecordingMessageBox box;
        CWordStore store(box, folder + QStringLiteral("/mnemora"));
        store.OpenWordList(2, 0);
        store.OpenWordTable();
        QStringList sent;
        store.db.SetExecuteObserver([&sent](const QString& s) { sent << s; });
        store.SaveBatch(); // an empty batch sends nothing
        QVERIFY(sent.isEmpty());

        for (int i = 0; i < 4; ++i)
            store.db.MoveNext(); // the batch: row 5, the alias row and index 70000, in table order
        for (int i = 0; i < 3; ++i, store.db.MoveNext()) {
            WordRecord r;
            store.ReadRow(r);
            r.showTimes += 1;
            r.toShowTime = 4294967295u; // written as a signed decimal
            store.batch.Append(r);
        }
        store.SaveBatch();
        QCOMPARE(
            sent,
            (QStringList{
                QStringLiteral("UPDATE ielts SET showTimes = '1', toShowTime = '-1' WHERE index = 5"),
                QStringLiteral("UPDATE ielts SET showTimes = '3', toShowTime = '-1' WHERE index = 4464"),
                QStringLiteral("UPDATE ielts SET showTimes = '1', toShowTime = '-1' WHERE index = 70000"),
            }));
        store.db.Close();
        const QString file = folder + QStringLiteral("/db/ielts.dat");
        QCOMPARE(fixture::Counters(file, QStringLiteral("ielts"), 70000), (QPair<qint64, qint64>(1, -1)));
        QCOMPARE(fixture::Counters(file, QStringLiteral("ielts"), 4464), (QPair<qint64, qint64>(3, -1)));
    }

    void resetZeroesTheWholeTable() {
        const QString folder = dir_.filePath(QStringLiteral("reset"));
        QDir().mkpath(folder + QStringLiteral("/db"));
        QVERIFY(fixture::WriteTable(folder + QStringLiteral("/db/nce.dat"), QStringLiteral("nce2"),
                                    fixture::GeneratedRows(4, 7, 300)));
        RecordingMessageBox box;
        CWordStore store(box, folder + QStringLiteral("/mnemora"));
        store.OpenWordList(1, 1);
        store.OpenWordTable();
        QVERIFY(store.ResetTable());
        store.db.MoveFirst(); // rows read after the reset carry the new counters
        WordRecord r;
        store.ReadRow(r);
        QCOMPARE(r.showTimes, 0u);
        QCOMPARE(r.toShowTime, 0u);
        store.OpenWordList(2, 1); // nce3 is not in this file: the reset fails and says why
        store.OpenWordTable();
        QVERIFY(!store.ResetTable());
        QVERIFY(store.db.GetLastError().contains(QStringLiteral("nce3")));
    }
};

QTEST_GUILESS_MAIN(TestWordStore)
#include "test_wordstore.moc"
