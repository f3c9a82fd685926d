#include "StudyRig.h"
#include "settings/SettingsFile.h"
#include "study/DueRounds.h"

#include <QRandomGenerator>
#include <QTest>

using namespace mnemora;

namespace {

struct RefRow {
    int32_t index;
    uint32_t showTimes;
    uint32_t toShowTime;
    bool operator==(const RefRow&) const = default;
};

// The scheduler done the plain way: every retry walks the table again.
class Reference {
public:
    QList<RefRow> table;
    QList<RefRow> batch;
    uint32_t runTimes = 0;
    uint32_t cached = 0;
    int cursor = 0;
    int learnt = 0;
    int congratulations = 0;

    int Load() {
        if (table.isEmpty())
            return 0;
        if (learnt == table.size()) {
            ++congratulations;
            for (RefRow& row : table)
                row.showTimes = row.toShowTime = 0;
            learnt = cursor = 0;
            return 1;
        }
        uint32_t r = runTimes;
        if (cursor == table.size()) {
            runTimes = ++r;
            cursor = learnt = 0;
        }
        batch.clear();
        while (cursor < table.size()) {
            const RefRow& row = table[cursor++];
            if (row.showTimes >= 7)
                ++learnt;
            else if (row.toShowTime <= r && (batch.append(row), batch.size() == 50))
                break;
        }
        return 1;
    }
    // False when no batch was found within maxRounds retries.
    bool Schedule(int maxRounds) {
        if (Load() == 0)
            return true;
        for (int round = 0; batch.isEmpty(); ++round) {
            if (round == maxRounds)
                return false;
            cached = ++runTimes;
            if (Load() == 0)
                break;
        }
        return true;
    }
    void Count(int entry) {
        static constexpr uint32_t kIntervals[] = {1, 2, 3, 8, 16, 31, 90};
        RefRow& row = batch[entry];
        ++row.showTimes;
        row.toShowTime = cached + (row.showTimes <= 7 ? kIntervals[row.showTimes - 1] : 5);
    }
    void Save() {
        for (const RefRow& row : batch)
            table[row.index - 1] = row;
    }
};

QList<RefRow> BatchOf(const CWordStore& store) {
    QList<RefRow> out;
    for (auto p = store.batch.begin(); p != store.batch.end(); p = WordBatch::Next(p)) {
        const WordRecord& r = WordBatch::At(p);
        out.append({r.index, r.showTimes, r.toShowTime});
    }
    return out;
}

// A random table around the clock value r: fresh, due, soon due and, when r is near
// 2^32, rows due at its very end. Far-off rows with a small r would need 2^31 plain
// retries, more than the reference can take.
QList<RefRow> RandomTable(QRandomGenerator& rng, uint32_t r, bool nearTop) {
    const int sizes[] = {0, 1, 2, 3, 5, 8, 13, 20, 49, 50, 51, 75, 101, 120};
    const int n = sizes[rng.bounded(int(std::size(sizes)))];
    const double learntShare = std::array{0.0, 0.2, 0.6, 0.9, 1.0}[rng.bounded(5)];
    const uint32_t spread = std::array{3u, 40u, 300u}[rng.bounded(3)];
    const bool allAtTop = nearTop && rng.bounded(2) == 0; // due at 0xFFFFFFFF only, or never

    QList<RefRow> rows;
    for (int i = 1; i <= n; ++i) {
        RefRow row{i, 0, 0};
        row.showTimes = rng.generateDouble() < learntShare ? 7 + rng.bounded(3) : rng.bounded(7);
        const int kind = allAtTop ? 9 : rng.bounded(10);
        if (kind < 3)
            row.toShowTime = 0;
        else if (kind < 5)
            row.toShowTime = r >= 5 ? r - rng.bounded(5) : r;
        else if (kind < 8 || !nearTop)
            row.toShowTime = r + 1 + rng.bounded(spread);
        else
            row.toShowTime = 0xFFFFFFFFu - rng.bounded(3);
        rows.append(row);
    }
    return rows;
}

} // namespace

class TestScheduleEquivalence final : public QObject {
    Q_OBJECT
private slots:

    // Runs the scheduler and the plain reference side by side on random tables, with the
    // shows of each batch chosen at random, and compares everything after every scheduling.
    void matchesStepwiseRetries() {
        const quint32 seed = 20240611;
        QRandomGenerator rng(seed);
        // Thousands of settings writes, each synced to disk: use memory-backed storage if there is one.
        StudyRig rig(QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                         ? QStringLiteral("/dev/shm/mnemora-XXXXXX")
                         : QString());
        QVERIFY(rig.WriteList(Words(1)));
        rig.Open();
        int schedulings = 0, nevers = 0, completions = 0, jumps = 0;
        for (int t = 0; t < 240; ++t) {
            const bool unwritable = t % 5 == 4;
            const int clockKind = rng.bounded(3);
            const bool nearTop = clockKind == 1 && !unwritable;
            uint32_t r0 = clockKind == 0 ? rng.bounded(1000u)
                          : nearTop      ? 0xFFFFFFFFu - rng.bounded(400u)
                                         : rng.generate();
            if (unwritable) {
                r0 = 0; // the missing file reads as 0
                rig.UseUnwritableSettings();
            } else {
                OverrideSettingsPath(rig.dir.filePath(QStringLiteral("mnemora.ini")));
                QVERIFY(WriteRunTimes(r0));
            }
            Reference ref;
            ref.table = RandomTable(rng, r0, nearTop);
            ref.runTimes = ref.cached = r0;

            QString sql = QStringLiteral("BEGIN; DELETE FROM cet4;");
            for (const RefRow& row : ref.table)
                sql += QStringLiteral(" INSERT INTO cet4 (\"index\", word, showTimes, toShowTime) VALUES "
                                      "(%1, 'w%1', %2, %3);")
                           .arg(row.index)
                           .arg(row.showTimes)
                           .arg(row.toShowTime);
            QVERIFY2(rig.store->db.Execute(sql + QStringLiteral(" COMMIT;")),
                     qPrintable(rig.store->db.GetLastError()));
            rig.store->OpenWordTable();
            rig.store->batch.Clear();
            rig.view.messages.clear();
            rig.cycle = std::make_unique<CStudyCycle>(*rig.store, rig.view);
            rig.view.Attach(rig.cycle.get());
            CStudyCycle& c = *rig.cycle;
            c.autoPlay = false;
            c.cachedRunTimes = r0;

            for (int step = 0; step < 10; ++step) {
                const QByteArray where =
                    QStringLiteral("seed %1 table %2 step %3").arg(seed).arg(t).arg(step).toLatin1();
                const uint64_t walksBefore = c.GetWalkStats().walks;
                const uint32_t before = ref.runTimes;
                const int congratulationsBefore = ref.congratulations;
                const bool found = ref.Schedule(20000);
                if (step == 0)
                    c.ScheduleNextBatch();
                else
                    c.EndOfBatch();
                ++schedulings;
                QVERIFY2(c.GetWalkStats().walks - walksBefore <= 3, where);
                if (!found) { // the stepwise retries never end: the scheduling has to stop
                    ++nevers;
                    QVERIFY2(rig.store->batch.empty() && c.batchCursor == rig.store->batch.end(), where);
                    break;
                }
                jumps += ref.runTimes - before > 4;
                QVERIFY2(c.CurrentRunTimes() == ref.runTimes, where);
                QVERIFY2(c.cachedRunTimes == ref.cached, where);
                QVERIFY2(rig.store->tableCursor == ref.cursor, where);
                QVERIFY2(rig.store->learntCount == ref.learnt, where);
                QVERIFY2(BatchOf(*rig.store) == ref.batch, where);
                QVERIFY2(c.batchCursor == rig.store->batch.begin(), where);
                const auto congratulations =
                    std::count_if(rig.view.messages.begin(), rig.view.messages.end(),
                                  [](const auto& m) { return m.first.startsWith(u"恭喜你"); });
                QVERIFY2(congratulations == ref.congratulations, where);
                completions += ref.congratulations > congratulationsBefore;
                // A clock that passes 2^32 at the start of a scheduling puts the rows that
                // are not due 2^31 plain retries away; within a scheduling it only passes
                // 2^32 when no row will ever fall due, which the retry limit catches.
                if (ref.table.isEmpty() || ref.runTimes < r0 || ref.runTimes >= 0xFFFFFFFEu)
                    break;

                // Show some words of the batch in the first pass, a few of them twice.
                int entry = 0;
                for (auto p = rig.store->batch.begin(); p != rig.store->batch.end();
                     p = WordBatch::Next(p), ++entry) {
                    for (int shows = rng.bounded(10) < 7 ? 1 + (rng.bounded(8) == 0) : 0; shows > 0;
                         --shows) {
                        c.batchCursor = p;
                        c.ShowWord();
                        ref.Count(entry);
                    }
                }
                ref.Save();
                c.secondPass = true;
                c.batchCursor = rig.store->batch.end();
            }
        }
        qInfo("%d schedulings, %d with far jumps, %d never due, %d through a completed list", schedulings,
              jumps, nevers, completions);
        QVERIFY(nevers > 0 && jumps > 0 && completions > 0);
    }

    void roundsUntilDue_data() {
        QTest::addColumn<uint>("runTimes");
        QTest::addColumn<uint>("firstDue");
        QTest::addColumn<qint64>("rounds"); // -1: never
        QTest::newRow("45 rounds") << 100u << 190u << qint64(45);
        QTest::newRow("reaches the top") << 0xFFFFFFFDu << 0xFFFFFFFFu << qint64(1);
        QTest::newRow("even clock misses the top") << 0xFFFFFFFCu << 0xFFFFFFFFu << qint64(-1);
        QTest::newRow("far away") << 0u << 0xFFFFFFFEu << qint64(0x7FFFFFFF);
    }

    void roundsUntilDue() {
        QFETCH(uint, runTimes);
        QFETCH(uint, firstDue);
        QFETCH(qint64, rounds);
        const std::optional<uint64_t> got = RoundsUntilDue(runTimes, firstDue);
        QCOMPARE(got ? qint64(*got) : -1, rounds);
    }
};

QTEST_GUILESS_MAIN(TestScheduleEquivalence)
#include "test_schedule_equivalence.moc"
