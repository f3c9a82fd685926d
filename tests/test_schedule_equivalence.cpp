#include "StudyRig.h"
#include "study/DueRounds.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTest>

using namespace mnemora;

namespace {

struct RefRow {
    int32_t index;
    uint32_t showTimes, toShowTime;
    bool operator==(const RefRow&) const = default;
    static RefRow Of(const WordRecord& r) { return {r.index, r.showTimes, r.toShowTime}; }
};

// The scheduler done the plain way: every retry walks the table again.
class Reference {
public:
    QList<RefRow> table, batch;
    uint32_t runTimes = 0, cached = 0;
    int cursor = 0, learnt = 0, congratulations = 0;

    bool Load() {
        if (table.isEmpty())
            return false;
        if (learnt == table.size()) {
            ++congratulations;
            for (RefRow& row : table)
                row.showTimes = row.toShowTime = 0;
            learnt = cursor = 0;
            return true;
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
        return true;
    }
    // False when no batch was found within maxRounds retries.
    bool Schedule(int maxRounds) {
        for (int round = 0; Load() && batch.isEmpty(); ++round) {
            if (round == maxRounds)
                return false;
            cached = ++runTimes;
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

// A random table around the clock value r: fresh, due, soon due and, when r is near
// 2^32, rows due at its very end. Far-off rows with a small r would need 2^31 plain
// retries, more than the reference can take.
QList<RefRow> RandomTable(QRandomGenerator& rng, uint32_t r, bool nearTop) {
    const int n = std::array{0, 1, 2, 3, 5, 8, 13, 20, 49, 50, 51, 75, 101, 120}[rng.bounded(14)];
    const double learntShare = std::array{0.0, 0.2, 0.6, 0.9, 1.0}[rng.bounded(5)];
    const uint32_t spread = std::array{3u, 40u, 300u}[rng.bounded(3)];
    const bool allAtTop = nearTop && rng.bounded(2) == 0; // due at 0xFFFFFFFF only, or never
    QList<RefRow> rows;
    for (int i = 1; i <= n; ++i) {
        const uint32_t showTimes = rng.generateDouble() < learntShare ? 7 + rng.bounded(3) : rng.bounded(7);
        const int kind = allAtTop ? 9 : rng.bounded(10);
        rows.append({i, showTimes,
                     kind < 3               ? 0u
                     : kind < 5             ? (r >= 5 ? r - rng.bounded(5) : r)
                     : kind < 8 || !nearTop ? r + 1 + rng.bounded(spread)
                                            : 0xFFFFFFFFu - rng.bounded(3)});
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
        QRandomGenerator rng(20240611);
        StudyRig rig(true);
        QVERIFY(rig.WriteList(Words(1)));
        rig.Open();
        const QString missing = QDir::toNativeSeparators(QStringLiteral("missing/mnemora.ini"));
        for (int t = 0; t < 240; ++t) {
            const bool unwritable = t % 5 == 4;
            const int clockKind = rng.bounded(3);
            const bool nearTop = clockKind == 1 && !unwritable;
            const uint32_t drawn = clockKind == 0 ? rng.bounded(1000u)
                                   : nearTop      ? 0xFFFFFFFFu - rng.bounded(400u)
                                                  : rng.generate();
            const uint32_t r0 = unwritable ? 0 : drawn; // the missing file reads as 0
            OverrideSettingsPath(rig.dir.filePath(unwritable ? "missing/mnemora.ini" : "mnemora.ini"));
            QVERIFY(WriteRunTimes(r0) != unwritable);
            Reference ref{RandomTable(rng, r0, nearTop), {}, r0, r0};
            QString sql = QStringLiteral("BEGIN; DELETE FROM cet4;");
            for (const RefRow& r : ref.table)
                sql += QString::asprintf(" INSERT INTO cet4 (\"index\", word, showTimes, toShowTime) VALUES "
                                         "(%d, 'w%d', %u, %u);",
                                         r.index, r.index, r.showTimes, r.toShowTime);
            QVERIFY2(rig.store->db_.Execute(sql + QStringLiteral(" COMMIT;")),
                     qPrintable(rig.store->LastError()));
            rig.store->OpenWordTable();
            rig.store->batch.Clear();
            rig.view.messages.clear();
            rig.cycle = std::make_unique<CStudyCycle>(*rig.store, rig.view);
            rig.view.Attach(rig.cycle.get());
            CStudyCycle& c = *rig.cycle;
            c.autoPlay = false;
            c.cachedRunTimes = r0;
            for (int step = 0; step < 10; ++step) {
                const QByteArray where = QByteArray::number(t) + '/' + QByteArray::number(step); // table/step
                const uint64_t walksBefore = c.GetWalkStats().walks;
                const bool found = ref.Schedule(20000);
                step == 0 ? c.ScheduleNextBatch() : c.EndOfBatch();
                QVERIFY2(c.GetWalkStats().walks - walksBefore <= 3, where);
                if (!found) { // the stepwise retries never end: the scheduling has to stop
                    QVERIFY2(rig.store->batch.empty() && c.batchCursor == rig.store->batch.end(), where);
                    break;
                }
                // The unwritable-settings warning names the file (as the system writes paths) and
                // comes once, at the first write.
                int congratulations = 0, warnings = 0;
                for (const auto& [text, icon] : rig.view.messages) {
                    congratulations += text.startsWith(u"恭喜你");
                    warnings += icon == MessageIcon::Error && text.contains(missing);
                }
                QVERIFY2(warnings == (unwritable && ref.runTimes != r0), where);
                QVERIFY2(std::tuple(c.CurrentRunTimes(), c.cachedRunTimes, rig.store->tableCursor(),
                                    rig.store->learntCount(), rig.Batch(RefRow::Of), congratulations,
                                    c.batchCursor == rig.store->batch.begin()) ==
                             std::tuple(ref.runTimes, ref.cached, ref.cursor, ref.learnt, ref.batch,
                                        ref.congratulations, true),
                         where);
                // A clock that passes 2^32 at the start of a scheduling puts the rows that
                // are not due 2^31 plain retries away; within a scheduling it only passes
                // 2^32 when no row will ever fall due, which the retry limit catches.
                if (ref.table.isEmpty() || ref.runTimes < r0 || ref.runTimes >= 0xFFFFFFFEu)
                    break;
                // Show some words of the batch in the first pass, a few of them twice.
                int entry = 0;
                for (auto p = rig.store->batch.begin(); p != rig.store->batch.end();
                     p = WordBatch::Next(p), ++entry)
                    for (int shows = rng.bounded(10) < 7 ? 1 + (rng.bounded(8) == 0) : 0; shows > 0;
                         --shows) {
                        c.batchCursor = p;
                        c.ShowWord();
                        ref.Count(entry);
                    }
                ref.Save();
                c.secondPass = true;
                c.batchCursor = rig.store->batch.end();
            }
        }
    }

    // The one case beyond the reference's reach: a word due 2^31 - 1 rounds away.
    void farOffRounds() { QCOMPARE(RoundsUntilDue(0, 0xFFFFFFFE), std::optional<uint64_t>(0x7FFFFFFF)); }
};

QTEST_GUILESS_MAIN(TestScheduleEquivalence)
#include "test_schedule_equivalence.moc"
