// Scheduling cost on a 13,000-row list. Prints, for a list whose unlearnt words all fall
// due only 45 rounds after the current one, the walks and time of one ScheduleNextBatch
// against one plain walk; and, for a list where everything is due, the time to load
// the whole list batch by batch against a raw SQLCipher walk over the same file.
#include "FakeStudyView.h"
#include "FixtureDb.h"
#include "settings/SettingsFile.h"
#include "store/WordStore.h"
#include "study/StudyCycle.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <sqlcipher/sqlite3.h>
#include <vector>

using namespace mnemora;

namespace {

constexpr int kRows = 13000;
constexpr int kRepeats = 7;
constexpr uint32_t kRunTimes = 1000;

double MedianMs(const std::function<void()>& prepare, const std::function<void()>& work) {
    std::vector<double> times;
    for (int i = 0; i < kRepeats; ++i) {
        prepare();
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

struct Bench {
    explicit Bench(const QString& folder) : path(folder + QStringLiteral("/db/cet4.dat")) {
        QDir(folder).mkdir(QStringLiteral("db"));
        OverrideSettingsPath(folder + QStringLiteral("/mnemora.ini"));
        store = std::make_unique<CWordStore>(view, folder + QStringLiteral("/mnemora"));
        cycle = std::make_unique<CStudyCycle>(*store, view);
        view.Attach(cycle.get());
        cycle->autoPlay = false;
    }
    bool Write(const QList<fixture::Row>& rows) {
        QFile::remove(path);
        if (!fixture::WriteTable(path, QStringLiteral("cet4"), rows))
            return false;
        store->OpenWordList(0, 0);
        store->OpenWordTable();
        return store->recordCount() == kRows;
    }
    // Puts the walk after `passed` rows of a freshly selected table, RunTimes back at kRunTimes.
    void Position(int passed) {
        WriteRunTimes(kRunTimes);
        cycle->cachedRunTimes = kRunTimes;
        store->OpenWordTable();
        for (int i = 0; i < passed; ++i) {
            uint32_t shows = 0;
            uint32_t due = 0;
            store->ReadCounters(shows, due);
            store->PassRow(shows >= 7);
        }
    }

    QString path;
    VirtualClock clock;
    FakeStudyView view{clock};
    std::unique_ptr<CWordStore> store;
    std::unique_ptr<CStudyCycle> cycle;
};

void FarDue(Bench& b, const char* name, int learntBefore, int start) {
    QList<fixture::Row> rows = fixture::GeneratedRows(kRows);
    // The first walk after the wrap compares with kRunTimes + 1; 45 rounds of two later
    // the unlearnt words are due.
    for (int i = 0; i < kRows; ++i) {
        rows[i].showTimes = i < learntBefore || (learntBefore == 0 && i % 4 == 3) ? 7 : 3;
        rows[i].toShowTime = qint64(kRunTimes) + 1 + 90;
    }
    if (!b.Write(rows)) {
        std::printf("cannot write the list\n");
        return;
    }
    const double walk = MedianMs([&] { b.Position(kRows); }, [&] { b.cycle->LoadNextBatch(); });
    CStudyCycle::WalkStats before;
    CStudyCycle::WalkStats after;
    const double schedule = MedianMs(
        [&] {
            b.Position(start);
            before = b.cycle->GetWalkStats();
        },
        [&] {
            b.cycle->ScheduleNextBatch();
            after = b.cycle->GetWalkStats();
        });
    const double rowsWalked = double(after.rowsPassed - before.rowsPassed) / kRows;
    std::printf("%-38s walks %llu (%.2f tables of rows), batch %zu, RunTimes %u\n", name,
                static_cast<unsigned long long>(after.walks - before.walks), rowsWalked,
                b.store->batch.size(), b.cycle->CurrentRunTimes());
    std::printf("%-38s one ScheduleNextBatch %8.2f ms, one whole walk %8.2f ms, ratio %.2f (target <= 3)\n",
                "", schedule, walk, schedule / walk);
}

// Every row read as the store reads it, straight from SQLCipher: counters and index as
// integers, the texts as QStrings.
double RawWalkMs(const QString& path, bool convertTexts) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_key(db, fixture::kPassword, int(sizeof fixture::kPassword - 1));
    sqlite3_exec(db, "PRAGMA cache_size=-16384", nullptr, nullptr, nullptr);
    long long sink = 0;
    auto walk = [&] {
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db, "SELECT * FROM cet4", -1, &stmt, nullptr);
        const int columns = sqlite3_column_count(stmt);
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            for (int c = 0; c < columns; ++c) {
                if (sqlite3_column_type(stmt, c) == SQLITE_INTEGER) {
                    sink += sqlite3_column_int64(stmt, c);
                } else if (sqlite3_column_type(stmt, c) == SQLITE_TEXT) {
                    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, c));
                    const int bytes = sqlite3_column_bytes(stmt, c);
                    sink += convertTexts ? QString::fromUtf8(text, bytes).size() : bytes;
                }
            }
        }
        sqlite3_finalize(stmt);
    };
    walk(); // warm the page cache, as the store's is
    const double ms = MedianMs([] {}, walk);
    sqlite3_close(db);
    return sink == 0 ? -1 : ms;
}

void AllDue(Bench& b) {
    if (!b.Write(fixture::GeneratedRows(kRows))) {
        std::printf("cannot write the list\n");
        return;
    }
    int loads = 0;
    const double load = MedianMs(
        [&] {
            b.Position(kRows);
            b.cycle->LoadNextBatch(); // warm the page cache
            b.Position(kRows);
            loads = 0;
        },
        [&] {
            do {
                b.cycle->LoadNextBatch();
                ++loads;
            } while (b.store->tableCursor() < kRows);
        });
    // Every load reads RunTimes from the settings file, as the scheduler must.
    const double settings = MedianMs([] {},
                                     [&] {
                                         for (int i = 0; i < loads; ++i)
                                             ReadRunTimes();
                                     });
    const double raw = RawWalkMs(b.path, false);
    const double rawText = RawWalkMs(b.path, true);
    std::printf("everything due: %d LoadNextBatch calls load all %d rows in %.2f ms\n", loads, kRows, load);
    std::printf("  raw SQLCipher walk reading every column: %.2f ms, ratio %.2f (target <= 1.2)\n", raw,
                load / raw);
    std::printf("  raw walk also making QStrings of texts:  %.2f ms, ratio %.2f\n", rawText, load / rawText);
    std::printf("  of the load time, %d RunTimes reads from the settings file take %.2f ms; without them\n"
                "  the ratios are %.2f and %.2f\n",
                loads, settings, (load - settings) / raw, (load - settings) / rawText);
}

} // namespace

int main(int argc, char** argv) {
    QTemporaryDir dir;
    if (argc > 1 && QByteArray(argv[1]) == "--loads") { // for profiling the batch loads alone
        Bench b(dir.path());
        b.Write(fixture::GeneratedRows(kRows));
        for (int i = 0; i < 50; ++i) {
            b.Position(kRows);
            do
                b.cycle->LoadNextBatch();
            while (b.store->tableCursor() < kRows);
        }
        return 0;
    }
    Bench b(dir.path());
    std::printf("%d rows; unlearnt words due 45 rounds after the next walk (90 plain walks)\n", kRows);
    FarDue(b, "walk at the end:", 0, kRows);
    FarDue(b, "walk in the middle:", 0, kRows / 2);
    FarDue(b, "after row 1, unlearnt only in the last 50:", kRows - 50, 1);
    AllDue(b);
    return 0;
}
