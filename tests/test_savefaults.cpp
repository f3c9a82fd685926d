// Saves under failing file I/O: every write, sync and journal open of a save is made to
// fail in turn, once and from then on, like a full disk.
#include "FaultVfs.h"
#include "StudyRig.h"
#include "store/HistoryFile.h"

#include <QDir>
#include <QTest>

using namespace mnemora;

namespace {

constexpr int kRows = 50; // one whole batch

// "ok" from the integrity check, then each of the first rows' counters as "show:due".
QStringList FileState(const QString& path, const QString& table, int rows) {
    QStringList state{fixture::Query(path, QStringLiteral("PRAGMA integrity_check"))};
    const QList<QStringList> counters = fixture::Select(
        path, QStringLiteral(
                  "SELECT showTimes || ':' || toShowTime FROM %1 WHERE \"index\" <= %2 ORDER BY \"index\"")
                  .arg(table)
                  .arg(rows));
    for (const QStringList& row : counters)
        state << row.value(0);
    return state;
}

QStringList Expected(int rows, const QString& counters) {
    QStringList state{QStringLiteral("ok")};
    for (int i = 0; i < rows; ++i)
        state << counters;
    return state;
}

} // namespace

class TestSaveFaults final : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { faultvfs::Install(); }
    void cleanup() { faultvfs::Disarm(); }

    // For every N: the file passes the integrity check and holds the old or the new counters
    // of the whole save, never a mix; the counters stay pending; the next save writes them.
    void everyFaultLeavesOldOrNewAndTheNextSaveWrites_data() {
        QTest::addColumn<int>("action");
        QTest::addColumn<int>("mode");
        const char* actions[] = {"batch", "mark", "list change"};
        for (int a = 0; a < 3; ++a) {
            QTest::addRow("%s once", actions[a]) << a << int(faultvfs::Mode::Once);
            QTest::addRow("%s disk full", actions[a]) << a << int(faultvfs::Mode::Persistent);
        }
    }
    void everyFaultLeavesOldOrNewAndTheNextSaveWrites() {
        QFETCH(int, action);
        QFETCH(int, mode);
        StudyRig rig;
        QVERIFY(rig.WriteList(Words(kRows, 0, 0), QStringLiteral("cet6.dat"), QStringLiteral("cet6")));
        QVERIFY(rig.Begin(Words(kRows, 1, 0), 1, false));
        CWordStore& store = *rig.store;
        const QString file = rig.DbFile(QStringLiteral("cet4.dat"));
        QCOMPARE(int(store.batch.size()), kRows);
        QString old = QStringLiteral("1:0");
        bool fired = true;
        for (int n = 1; fired; ++n) {
            // New counters in memory, as showing the words would set them.
            const QString now = QStringLiteral("2:%1").arg(n);
            for (auto p = store.batch.begin(); p != store.batch.end(); p = WordBatch::Next(p)) {
                WordBatch::At(p).showTimes = 2;
                WordBatch::At(p).toShowTime = uint32_t(n);
            }
            const int rows = action == 1 ? 1 : kRows;
            WordRecord first = WordBatch::At(store.batch.begin());
            faultvfs::Arm(n, faultvfs::Mode(mode));
            bool saved = false;
            if (action == 1) {
                saved = store.SaveRecord(first);
            } else {
                saved = store.SaveBatch();
                if (action == 2) {
                    store.Close();
                    store.OpenWordList(1, 0);
                    store.OpenWordTable();
                }
            }
            fired = faultvfs::Fired();
            faultvfs::Disarm();
            if (action != 2) { // the file as the next start finds it
                store.Close();
                store.OpenWordList(0, 0);
                store.OpenWordTable();
            }
            const QStringList state = FileState(file, QStringLiteral("cet4"), rows);
            QVERIFY2(state == Expected(rows, now) || (!saved && state == Expected(rows, old)),
                     qPrintable(QStringLiteral("N=%1 saved=%2: %3").arg(n).arg(saved).arg(state.join(u' '))));
            QCOMPARE(store.Unsaved(), !saved && action != 1);
            // The next save (after a list change, on the other list) writes what is pending.
            if (action == 1)
                QVERIFY(store.SaveRecord(first));
            else
                QVERIFY(store.SaveBatch());
            QCOMPARE(FileState(file, QStringLiteral("cet4"), rows), Expected(rows, now));
            QVERIFY(!store.Unsaved());
            old = now;
            if (action == 2) {
                store.Close();
                store.OpenWordList(0, 0);
                store.OpenWordTable();
                rig.cycle->ScheduleNextBatch();
            }
        }
    }

    // A failed write of the study history is not damage: the file is never set aside, and
    // the figures of a failed save are added once by the next one.
    void historyWriteFailureIsNotDamage() {
        for (const faultvfs::Mode mode : {faultvfs::Mode::Once, faultvfs::Mode::Persistent}) {
            QTemporaryDir dir;
            CHistoryFile history(dir.filePath(QStringLiteral("history.db")));
            const QDate day(2026, 12, 8);
            const DayRow delta{day, QStringLiteral("cet4"), 1, 0, 0, 1000};
            QVERIFY(history.AddDays({delta}));
            int64_t added = 1;
            bool fired = true;
            for (int n = 1; fired; ++n) {
                faultvfs::Arm(n, mode);
                const bool saved = history.AddDays({delta});
                fired = faultvfs::Fired();
                faultvfs::Disarm();
                if (!saved)
                    QVERIFY2(history.AddDays({delta}), qPrintable(QString::number(n)));
                ++added;
                QCOMPARE(history.Days(day, day).value(0).shown, added);
                QCOMPARE(QDir(dir.path()).entryList({QStringLiteral("*.damaged-*")}), QStringList());
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestSaveFaults)
#include "test_savefaults.moc"
