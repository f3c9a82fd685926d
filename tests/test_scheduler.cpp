#include "StudyRig.h"
#include "settings/SettingsFile.h"

#include <QTest>
#include <sqlcipher/sqlite3.h>

using namespace mnemora;

namespace {

const QString kCongratulation = QStringLiteral("恭喜你！！该单词表已经背诵完毕，请选择新的单词表。");

QString BatchIndices(const CWordStore& store) {
    QString out;
    for (auto p = store.batch.begin(); p != store.batch.end(); p = WordBatch::Next(p))
        out += QString::number(WordBatch::At(p).index) + u' ';
    return out.trimmed();
}

// Shows every word once per pass in manual playback without sentences, then ends the
// batch: it is saved and the next one scheduled.
void PlayBatch(StudyRig& rig) {
    CStudyCycle& c = *rig.cycle;
    for (int pass = 0; pass < 2; ++pass) {
        while (c.batchCursor != rig.store->batch.end())
            c.StepDisplay();
        c.EndOfBatch();
    }
}

// A second connection holding the write lock, so that every write of the store fails.
struct WriteLock {
    explicit WriteLock(const QString& path) {
        sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_key(db, fixture::kPassword, static_cast<int>(sizeof fixture::kPassword - 1));
        locked = sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK;
    }
    ~WriteLock() { sqlite3_close_v2(db); }
    sqlite3* db = nullptr;
    bool locked = false;
};

} // namespace

class TestScheduler final : public QObject {
    Q_OBJECT
private slots:

    void workedExample() {
        StudyRig rig;
        QVERIFY(rig.WriteList(Words(3)));
        rig.SetSetting("Software", "RunTimes", 4);
        CStudyCycle& c = *rig.cycle;
        c.autoPlay = c.showSentence = false;
        QCOMPARE(c.CountStart(), 5u);
        QCOMPARE(c.cachedRunTimes, 5u);
        rig.Open();
        c.ScheduleNextBatch();
        QCOMPARE(BatchIndices(*rig.store), QStringLiteral("1 2 3"));
        QCOMPARE(rig.store->tableCursor, 3);

        // RunTimes and cachedRunTimes after each following scheduling, and the counters the
        // batch before it wrote back (the same for all three words).
        struct Step {
            uint32_t runTimes;
            uint32_t cached;
            const char* written;
        };
        // At 7:148 the words are learnt: 60 at the wrap, 61 empty, completed and reset, 62 empty.
        const Step steps[] = {{6, 5, "1:6"},    {7, 5, "2:7"},    {8, 5, "3:8"},     {13, 12, "4:13"},
                              {28, 27, "5:28"}, {59, 58, "6:58"}, {62, 62, "7:148"}, {63, 62, "1:63"}};
        for (const Step& step : steps) {
            const qsizetype from = rig.statements.size();
            PlayBatch(rig);
            const QString w = QString::fromLatin1(step.written);
            QCOMPARE(rig.WrittenCounters(from), QStringList({"1:" + w, "2:" + w, "3:" + w}));
            QCOMPARE(ReadRunTimes(), step.runTimes);
            QCOMPARE(c.cachedRunTimes, step.cached);
            QCOMPARE(BatchIndices(*rig.store), QStringLiteral("1 2 3"));
        }
        QCOMPARE(rig.view.messages, (QList<QPair<QString, MessageIcon>>{{kCongratulation, MessageIcon::Plain}}));
        QCOMPARE(rig.view.timerLog.filter(QStringLiteral(" sheet")).size(), 1);
    }

    void batchBoundaries_data() {
        QTest::addColumn<int>("dueRows");
        QTest::addColumn<int>("laterRows");
        QTest::addColumn<QList<int>>("expected"); // batch size, tableCursor, RunTimes, cached: twice
        QTest::newRow("fewer than 50, next wraps") << 30 << 0 << QList<int>{30, 30, 10, 10, 30, 30, 11, 10};
        QTest::newRow("50th due is the last row") << 50 << 0 << QList<int>{50, 50, 10, 10, 50, 50, 11, 10};
        QTest::newRow("50 due, more rows follow") << 50 << 10 << QList<int>{50, 50, 10, 10, 50, 50, 12, 11};
        QTest::newRow("51 due") << 51 << 0 << QList<int>{50, 50, 10, 10, 1, 51, 10, 10};
    }

    void batchBoundaries() {
        QFETCH(int, dueRows);
        QFETCH(int, laterRows);
        QFETCH(QList<int>, expected);
        QList<fixture::Row> rows = Words(dueRows + laterRows);
        for (int i = dueRows; i < rows.size(); ++i)
            rows[i].toShowTime = 1000;
        StudyRig rig;
        QVERIFY(rig.WriteList(rows));
        rig.Begin(10, false, false);
        QList<int> seen{int(rig.store->batch.size()), rig.store->tableCursor, int(ReadRunTimes()),
                        int(rig.cycle->cachedRunTimes)};
        PlayBatch(rig);
        seen << int(rig.store->batch.size()) << rig.store->tableCursor << int(ReadRunTimes())
             << int(rig.cycle->cachedRunTimes);
        QCOMPARE(seen, expected);
    }

    // First-pass shows count (a re-shown word twice), second-pass shows never do; the
    // seventh show makes a word learnt (interval 90) and an eighth gets the interval 5.
    void countingAcrossPasses() {
        QList<fixture::Row> rows = Words(3);
        rows[0].showTimes = 6;
        rows[1].showTimes = 6;
        StudyRig rig;
        QVERIFY(rig.WriteList(rows));
        rig.Begin(10, false, false);
        CStudyCycle& c = *rig.cycle;
        c.StepDisplay(); // w1, then the cursor is on w2
        c.PrevWord();    // w1 again
        c.StepDisplay(); // w2
        c.StepDisplay(); // w3
        c.EndOfBatch();  // second pass
        c.StepDisplay();
        c.PrevWord();
        c.NextWord();
        c.NextWord();
        c.PrevWord();
        c.batchCursor = rig.store->batch.end();
        const qsizetype from = rig.statements.size();
        c.EndOfBatch();
        QCOMPARE(rig.WrittenCounters(from), QStringList({"1:8:15", "2:7:100", "3:1:11"}));
        // The learnt words are passed over from now on and counted.
        QCOMPARE(BatchIndices(*rig.store), QStringLiteral("3"));
        QCOMPARE(rig.store->learntCount, 2);
    }

    void completionWithNestedListChange_data() {
        QTest::addColumn<bool>("changeList");
        QTest::newRow("another list chosen") << true;
        QTest::newRow("list kept") << false;
    }

    void completionWithNestedListChange() {
        QFETCH(bool, changeList);
        StudyRig rig;
        QVERIFY(rig.WriteList(Words(3, 7, 50)));
        QVERIFY(rig.WriteList(Words(4), QStringLiteral("cet6.dat"), QStringLiteral("cet6")));
        rig.SetSetting("Software", "RunTimes", 20);
        CStudyCycle& c = *rig.cycle;
        c.cachedRunTimes = 20;
        rig.Open();
        // What the dictionary page does when another list is confirmed.
        rig.view.onOptionsSheet = [&] {
            if (!changeList)
                return;
            rig.store->SaveBatch();
            rig.store->db.Close();
            rig.store->OpenWordList(1, 0);
            rig.store->OpenWordTable();
            c.ScheduleNextBatch();
        };
        c.ScheduleNextBatch();

        QCOMPARE(rig.view.messages.size(), 1);
        QVERIFY(rig.view.timersKilledDuringSheet);
        QCOMPARE(fixture::Counters(rig.DbFile("cet4.dat"), "cet4", 2), (QPair<qint64, qint64>(0, 0)));
        QCOMPARE(QString::fromLatin1(rig.store->tableName.data()), changeList ? "cet6" : "cet4");
        QCOMPARE(rig.store->batch.size(), changeList ? 4u : 3u);
        QCOMPARE(WordBatch::At(rig.store->batch.begin()).showTimes, 0u);
        QCOMPARE(ReadRunTimes(), changeList ? 21u : 22u);
        QCOMPARE(c.cachedRunTimes, changeList ? 21u : 22u);
        QVERIFY(!c.secondPass && c.batchCursor == rig.store->batch.begin());
        // The resumed scheduling left working timers: the first word comes one period later.
        rig.clock.AdvanceBy(8000);
        QCOMPARE(rig.view.shown.last().text, QStringLiteral("w1"));
    }

    // A completed list whose reset fails is congratulated once per scheduling, not in an
    // endless series of boxes; once the reset works the list starts afresh.
    void failedResetDoesNotLoop() {
        StudyRig rig;
        QVERIFY(rig.WriteList(Words(3, 7, 50)));
        rig.SetSetting("Software", "RunTimes", 20);
        rig.Open();
        CStudyCycle& c = *rig.cycle;
        {
            WriteLock lock(rig.DbFile("cet4.dat"));
            QVERIFY(lock.locked);
            c.ScheduleNextBatch();
        }
        QCOMPARE(rig.view.messages.size(), 2);
        QCOMPARE(rig.view.messages[0].first, kCongratulation);
        QVERIFY(rig.view.messages[1].first.startsWith(QStringLiteral("ADO 错误：0x")));
        QCOMPARE(rig.view.timerLog.filter(QStringLiteral(" sheet")).size(), 1);
        QVERIFY(!c.HasBatch());

        c.ScheduleNextBatch();
        QCOMPARE(rig.view.messages.size(), 3);
        QVERIFY(c.HasBatch() && rig.store->batch.size() == 3);
    }

    // With a settings file that cannot be written the clock still advances in memory, a
    // far-off word falls due after the same number of rounds, and the user hears of it once.
    void unwritableRunTimesStillProgresses() {
        StudyRig rig;
        QVERIFY(rig.WriteList(Words(3, 1, 20)));
        rig.UseUnwritableSettings();
        CStudyCycle& c = *rig.cycle;
        c.autoPlay = c.showSentence = false;
        rig.Open();
        c.ScheduleNextBatch();
        QCOMPARE(rig.store->batch.size(), 3u);
        QCOMPARE(c.CurrentRunTimes(), 20u);
        QCOMPARE(c.cachedRunTimes, 19u);
        QVERIFY(c.RunTimesUnsaved());
        QCOMPARE(rig.view.messages.size(), 1);
        QCOMPARE(rig.view.messages[0].second, MessageIcon::Error);
        QVERIFY(rig.view.messages[0].first.contains(rig.dir.filePath("missing/mnemora.ini")));

        PlayBatch(rig);
        QCOMPARE(c.CurrentRunTimes(), 21u);
        QCOMPARE(WordBatch::At(rig.store->batch.begin()).toShowTime, 21u);
        QCOMPARE(rig.view.messages.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestScheduler)
#include "test_scheduler.moc"
