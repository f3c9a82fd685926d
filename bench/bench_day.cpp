// A day of study on virtual time: the real study cycle on two generated 13,000-row lists
// runs 24 hours of 8-second periods with away spells, list changes, marks and undos and
// hourly session checkpoints. Prints, per hour, the process's memory, and at the end
// whether counters ever went back (other than by an undo), whether RunTimes ever fell,
// whether every counted view reached the file and whether the history adds up, with the
// wall time the day took.
#include "FakeStudyView.h"
#include "FixtureDb.h"
#include "settings/SettingsFile.h"
#include "store/WordStore.h"
#include "study/KnownWords.h"
#include "study/StudyCycle.h"
#include "study/StudyHistory.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QSet>
#include <QTemporaryDir>
#include <cstdio>
#include <unistd.h>

using namespace mnemora;

namespace {

constexpr int kRows = 13000;
constexpr uint64_t kMinute = 60'000;
const char* const kTables[] = {"cet4", "cet6"};

long RssKb() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.value(1).toLong() * (sysconf(_SC_PAGESIZE) / 1024);
}

using Counters = QPair<qint64, qint64>;

// What the study has counted, as the list files should hold it after a save.
struct Expected final : IStudyObserver {
    QString table;
    QHash<QString, QHash<qint64, Counters>> rows; // table → index → counters
    qint64 counted = 0, started = 0;
    void OnWordShown(const WordRecord& r, bool counts) override {
        if (!counts)
            return;
        ++counted;
        started += r.showTimes == 1;
        rows[table][r.index] = {r.showTimes, r.toShowTime};
    }
};

QHash<qint64, Counters> FileCounters(const QString& path, const QString& table) {
    QHash<qint64, Counters> out;
    for (const QStringList& row :
         fixture::Select(path, "SELECT \"index\", showTimes, toShowTime FROM " + table))
        out.insert(row[0].toLongLong(), {row[1].toLongLong(), row[2].toLongLong()});
    return out;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    QDir(dir.path()).mkdir(QStringLiteral("db"));
    OverrideSettingsPath(dir.filePath(QStringLiteral("mnemora.ini")));
    const auto listPath = [&](int list) {
        return dir.filePath(QStringLiteral("db/%1.dat").arg(kTables[list]));
    };
    for (int list = 0; list < 2; ++list) {
        if (!fixture::WriteTable(listPath(list), QLatin1String(kTables[list]),
                                 fixture::GeneratedRows(kRows))) {
            std::printf("cannot write the lists\n");
            return 1;
        }
    }

    VirtualClock clock;
    FakeStudyView view(clock);
    CWordStore store(view, dir.filePath(QStringLiteral("mnemora")));
    CStudyCycle cycle(store, view);
    view.Attach(&cycle);
    const QDateTime dawn(QDate(2026, 3, 2), QTime(6, 0));
    CStudyHistory history(
        cycle, store, [&] { return dir.filePath(QStringLiteral("mnemora-history.sqlite")); },
        [&] { return dawn.addMSecs(qint64(clock.Now())); });
    CKnownWords known(cycle, store);
    Expected expected;
    for (const char* table : kTables) // the bench's own books stay the same size all day
        expected.rows[QLatin1String(table)].reserve(kRows);
    QSet<QString> undone; // "table:index" of rows an undo took back
    known.SetChangeHandler([&](const WordRecord& r, bool marked) {
        expected.rows[expected.table][r.index] = {r.showTimes, r.toShowTime};
        if (!marked)
            undone.insert(expected.table + u':' + QString::number(r.index));
        history.OnWordMarked(marked);
    });
    cycle.AddObserver(&known);
    cycle.AddObserver(&history);
    cycle.AddObserver(&expected);

    int list = 0;
    const auto openList = [&](int which) {
        list = which;
        expected.table = QLatin1String(kTables[list]);
        store.Close();
        store.OpenWordList(list, 0);
        store.OpenWordTable();
        cycle.ScheduleNextBatch();
    };
    cycle.CountStart();
    cycle.cachedRunTimes = cycle.CurrentRunTimes();
    cycle.showSentence = true;
    openList(0);

    QHash<QString, QHash<qint64, Counters>> lastFile;
    qint64 wentBack = 0, notInFile = 0, runTimesFell = 0, marks = 0, undos = 0;
    uint32_t lastRunTimes = cycle.CurrentRunTimes();
    const auto checkFiles = [&] {
        for (int l = 0; l < 2; ++l) {
            const QString table = QLatin1String(kTables[l]);
            const QHash<qint64, Counters> file = FileCounters(listPath(l), table);
            for (auto it = expected.rows[table].cbegin(); it != expected.rows[table].cend(); ++it)
                notInFile += file.value(it.key()) != it.value();
            for (auto it = file.cbegin(); it != file.cend(); ++it) {
                const Counters before = lastFile[table].value(it.key());
                if (it->first < before.first && !undone.contains(table + u':' + QString::number(it.key())))
                    ++wentBack;
            }
            lastFile[table] = file;
        }
        undone.clear();
    };

    QElapsedTimer wall;
    wall.start();
    std::printf("hour  RSS kB   counted  RunTimes\n");
    long rssAfterWarmUp = 0, rssPeak = 0;
    for (int minute = 1; minute <= 24 * 60; ++minute) {
        const bool away = minute % 45 >= 35; // ten minutes away in every 45
        cycle.SetAway(away);
        clock.AdvanceBy(kMinute);
        if (!away && minute % 13 == 0 && known.MarkShownWord())
            ++marks;
        if (!away && minute % 26 == 0 && known.UndoLastMark())
            ++undos;
        const uint32_t runTimes = cycle.CurrentRunTimes();
        runTimesFell += runTimes < lastRunTimes;
        lastRunTimes = runTimes;
        if (minute % 240 == 0) { // a change of list, as the options sheet makes it
            cycle.SaveBatch();
            openList(1 - list);
        }
        if (minute % 60 == 0) { // a session checkpoint
            cycle.SaveBatch();
            checkFiles();
            // The fake window records all it showed; a real one keeps nothing of it.
            view.shown.clear();
            view.messages.clear();
            view.alerts.clear();
            view.timerLog.clear();
            const long rss = RssKb();
            if (minute == 120)
                rssAfterWarmUp = rss;
            rssPeak = std::max(rssPeak, rss);
            std::printf("%4d %8ld %9lld %9u\n", minute / 60, rss, static_cast<long long>(expected.counted),
                        runTimes);
        }
    }
    const double seconds = double(wall.nsecsElapsed()) / 1e9;

    qint64 historyShown = 0, historyStarted = 0;
    for (const DayRow& row : history.File().Days(dawn.date(), dawn.date().addDays(1))) {
        historyShown += row.shown;
        historyStarted += row.started;
    }
    std::printf("\nday of study: %.1f s wall for 24 h virtual (%lld counted views, %lld marks, %lld undos)\n",
                seconds, static_cast<long long>(expected.counted), static_cast<long long>(marks),
                static_cast<long long>(undos));
    std::printf("counters gone back (not by an undo): %lld\n", static_cast<long long>(wentBack));
    std::printf("counted views missing from the files at checkpoints: %lld\n",
                static_cast<long long>(notInFile));
    std::printf("RunTimes fell: %lld times (ended at %u)\n", static_cast<long long>(runTimesFell),
                lastRunTimes);
    std::printf("history: shown %lld of %lld counted, started %lld of %lld\n",
                static_cast<long long>(historyShown), static_cast<long long>(expected.counted),
                static_cast<long long>(historyStarted), static_cast<long long>(expected.started));
    std::printf("memory: %ld kB after 2 h, peak %ld kB, growth %ld kB over the last 22 h\n", rssAfterWarmUp,
                rssPeak, rssPeak - rssAfterWarmUp);
    return 0;
}
