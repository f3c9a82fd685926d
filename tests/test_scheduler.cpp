#include "StudyRig.h"

#include <QTest>
#include <sqlcipher/sqlite3.h>

using namespace mnemora;

namespace {

// A second connection holding the write lock, so that every write of the store fails.
std::unique_ptr<sqlite3, int (*)(sqlite3*)> WriteLock(const QString& path) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_key(db, fixture::kPassword, int(sizeof fixture::kPassword - 1));
    sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    return {db, sqlite3_close_v2};
}

} // namespace

class TestScheduler final : public QObject {
    Q_OBJECT
private slots:
    void workedExample() {
        StudyRig rig;
        QVERIFY(rig.WriteList(Words(3)));
        WriteProfileUInt("Software", "RunTimes", 4);
        CStudyCycle& c = *rig.cycle;
        c.autoPlay = c.showSentence = false;
        QCOMPARE(c.CountStart(), 5u);
        rig.Open();
        c.ScheduleNextBatch();
        // RunTimes and cachedRunTimes after each following scheduling, and the counters the
        // batch before it wrote back (the same for all three words). At 7:148 the words are
        // learnt: 60 at the wrap, 61 empty, completed and reset, 62 empty.
        const struct {
            uint32_t runTimes, cached;
            const char* written;
        } steps[] = {{6, 5, "1:6"},    {7, 5, "2:7"},    {8, 5, "3:8"},     {13, 12, "4:13"},
                     {28, 27, "5:28"}, {59, 58, "6:58"}, {62, 62, "7:148"}, {63, 62, "1:63"}};
        for (const auto& step : steps) {
            const qsizetype from = rig.statements.size();
            // Every word once per pass; the end of the second saves the batch and schedules the next.
            for (int pass = 0; pass < 2; ++pass) {
                while (c.batchCursor != rig.store->batch.end())
                    c.StepDisplay();
                c.EndOfBatch();
            }
            const QString w = QString::fromLatin1(step.written);
            QCOMPARE(rig.WrittenCounters(from), QStringList({"1:" + w, "2:" + w, "3:" + w}));
            QCOMPARE(QList<uint32_t>({ReadRunTimes(), c.cachedRunTimes}),
                     QList<uint32_t>({step.runTimes, step.cached}));
            QCOMPARE(rig.BatchWords(), QStringList({"w1", "w2", "w3"}));
        }
        QCOMPARE(rig.view.messages,
                 (QList<QPair<QString, MessageIcon>>{
                     {"恭喜你！！该单词表已经背诵完毕，请选择新的单词表。", MessageIcon::Plain}}));
    }

    // Saves that cannot write (another program holds the write lock) keep the counters in
    // memory: the learner is told once, the walk works from them, so a word counted is not
    // counted again, and the first save that can write writes them all.
    void failedSavesKeepCountersUntilOneWrites() {
        StudyRig rig;
        QVERIFY(rig.Begin(Words(3), 4, false, false));
        CStudyCycle& c = *rig.cycle;
        const auto runBatch = [&] {
            for (int pass = 0; pass < 2; ++pass) {
                while (c.batchCursor != rig.store->batch.end())
                    c.StepDisplay();
                c.EndOfBatch();
            }
        };
        {
            const auto lock = WriteLock(rig.DbFile(QStringLiteral("cet4.dat")));
            runBatch();
            runBatch();
            QVERIFY(rig.store->Unsaved());
            QCOMPARE(rig.FileCounters(1), qMakePair(qint64{0}, qint64{0}));
        }
        QCOMPARE(rig.view.messages.size(), 1);
        QVERIFY(rig.view.messages[0].first.startsWith(QStringLiteral("无法保存复习进度：单词表文件“")) &&
                rig.view.messages[0].first.contains(QStringLiteral("cet4.dat")));
        runBatch();
        QVERIFY(!rig.store->Unsaved());
        QCOMPARE(rig.FileCounters(1).first, qint64{3});
        QCOMPARE(rig.view.messages.size(), 1);
    }

    // A completed list is congratulated and reset, and the options sheet opened; another
    // list chosen there schedules a batch of its own, which the suspended scheduling keeps.
    // A reset that fails is reported once per scheduling, not in an endless series of boxes.
    void completion_data() {
        QTest::addColumn<int>("kind"); // 1 another list chosen, 2 the first reset fails
        QTest::addColumn<int>("messages");
        QTest::addColumn<int>("words");
        QTest::addColumn<uint>("runTimes");
        QTest::newRow("another list chosen") << 1 << 1 << 4 << 21u;
        QTest::newRow("reset fails") << 2 << 3 << 3 << 22u; // and the error
    }

    void completion() {
        QFETCH(int, kind);
        QFETCH(int, words);
        QFETCH(uint, runTimes);
        StudyRig rig;
        QVERIFY(rig.WriteList(Words(4), QStringLiteral("cet6.dat"), QStringLiteral("cet6")));
        QVERIFY(rig.WriteList(Words(3, 7, 50)));
        CStudyCycle& c = *rig.cycle;
        rig.view.onOptionsSheet = [&] { // what the dictionary page does when another list is confirmed
            if (kind != 1)
                return;
            rig.store->SaveBatch();
            rig.store->Close();
            rig.store->OpenWordList(1, 0);
            rig.store->OpenWordTable();
            c.ScheduleNextBatch();
        };
        WriteProfileUInt("Software", "RunTimes", 20);
        c.cachedRunTimes = 20;
        rig.Open();
        if (kind == 2) {
            WriteLock(rig.DbFile("cet4.dat")), c.ScheduleNextBatch(); // the lock lasts for the statement
            QVERIFY(rig.view.messages.size() == 2 && !c.HasBatch());
        }
        c.ScheduleNextBatch();
        QTEST(int(rig.view.messages.size()), "messages");
        QVERIFY(rig.view.sheets == (kind == 2 ? 2 : 1) && rig.view.timersKilledDuringSheet);
        QCOMPARE(rig.FileCounters(2), (QPair<qint64, qint64>(0, 0)));
        QCOMPARE(rig.ShowTimes(), QList<uint32_t>(words, 0));
        QCOMPARE(QList<uint32_t>({ReadRunTimes(), c.cachedRunTimes}), QList<uint32_t>(2, runTimes));
        QVERIFY(!c.secondPass && c.batchCursor == rig.store->batch.begin());
        // The resumed scheduling left working timers: the first word comes one period later.
        rig.clock.AdvanceBy(8000);
        QCOMPARE(rig.view.shown.last().text, QStringLiteral("w1"));
    }
};

QTEST_GUILESS_MAIN(TestScheduler)
#include "test_scheduler.moc"
