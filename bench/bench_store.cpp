// Word store against raw SQLCipher on a generated 13,000-row list:
//  (a) open + select + read every column of every row, (b) write-back of 50 records,
//  (c) open + key. Each figure is the median of several runs in this one process.
#include "FixtureDb.h"
#include "platform/MessageBoxPort.h"
#include "store/WordStore.h"

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
constexpr int kRuns = 9;

double MedianMs(const std::function<void()>& body) {
    std::vector<double> times;
    for (int i = 0; i < kRuns; ++i) {
        QElapsedTimer t;
        t.start();
        body();
        times.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

sqlite3* RawOpen(const QString& path) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_key(db, fixture::kPassword, static_cast<int>(sizeof(fixture::kPassword) - 1));
    sqlite3_exec(db, "PRAGMA journal_mode=DELETE; PRAGMA cache_size=-16384", nullptr, nullptr, nullptr);
    return db;
}

// The raw loop reads every column of every row, the texts as UTF-16 like the store does.
long RawWalk(const QString& path, bool toQString) {
    sqlite3* db = RawOpen(path);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, "SELECT * FROM cet4", -1, &stmt, nullptr);
    long sum = 0;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
            if (sqlite3_column_type(stmt, c) == SQLITE_TEXT) {
                const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, c));
                const int n = sqlite3_column_bytes(stmt, c);
                sum += toQString ? QString::fromUtf8(text, n).size() : n;
            } else {
                sum += sqlite3_column_int(stmt, c);
            }
        }
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return sum;
}

long StoreWalk(const QString& program) {
    NullMessageBox quiet;
    CWordStore store(quiet, program);
    store.OpenWordList(0, 0);
    store.OpenWordTable();
    long sum = 0;
    WordRecord r;
    while (!store.WalkAtEnd()) {
        store.ReadRow(r);
        sum += r.word.size() + r.sentence2Chn.size();
        store.PassRow(false);
    }
    return sum;
}

} // namespace

int main() {
    QTemporaryDir dir;
    QDir().mkpath(dir.filePath(QStringLiteral("db")));
    const QString file = dir.filePath(QStringLiteral("db/cet4.dat"));
    const QString program = dir.filePath(QStringLiteral("mnemora"));
    if (!fixture::WriteTable(file, QStringLiteral("cet4"), fixture::GeneratedRows(kRows)))
        return 1;
    RawWalk(file, false); // warm the file cache

    const double raw = MedianMs([&] { RawWalk(file, false); });
    const double rawQ = MedianMs([&] { RawWalk(file, true); });
    const double store = MedianMs([&] { StoreWalk(program); });
    const double openKey = MedianMs([&] {
        sqlite3* db = RawOpen(file);
        sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    });
    std::printf("(a) open+select+read %d rows: store %.2f ms, raw %.2f ms (ratio %.2f), "
                "raw with UTF-16 texts %.2f ms (ratio %.2f)\n",
                kRows, store, raw, store / raw, rawQ, store / rawQ);
    std::printf("    without open+key: store %.2f ms, raw %.2f ms (ratio %.2f)\n", store - openKey,
                raw - openKey, (store - openKey) / (raw - openKey));

    // (b) 50 counters written back: SaveBatch against 50 raw UPDATEs in one
    // transaction, all in the rollback-journal mode the store uses.
    NullMessageBox quiet;
    CWordStore ws(quiet, program);
    ws.OpenWordList(0, 0);
    ws.OpenWordTable();
    for (int i = 0; i < 50; ++i) {
        WordRecord r;
        ws.ReadRow(r);
        ws.batch.Append(r);
        ws.PassRow(false);
    }
    // The store's own selection would hold a read lock against the raw connection:
    // reopening the list drops it and keeps the table name for the write-back.
    ws.OpenWordList(0, 0);
    sqlite3* db = RawOpen(file);
    sqlite3_stmt* upd = nullptr;
    sqlite3_prepare_v2(db, "UPDATE cet4 SET showTimes = ?, toShowTime = ? WHERE \"index\" = ?", -1, &upd,
                       nullptr);
    int bump = 0;
    const std::function<void()> bodies[] = {
        [&] {
            ++bump;
            for (auto p = ws.batch.begin(); p != ws.batch.end(); p = WordBatch::Next(p))
                WordBatch::At(p).showTimes = static_cast<uint32_t>(bump);
            ws.SaveBatch();
        },
        [&] {
            ++bump;
            sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
            for (int i = 1; i <= 50; ++i) {
                sqlite3_bind_int(upd, 1, bump);
                sqlite3_bind_int(upd, 2, bump);
                sqlite3_bind_int(upd, 3, i);
                sqlite3_step(upd);
                sqlite3_reset(upd);
            }
            sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        },
        [&] {
            ++bump;
            sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
            for (int i = 1; i <= 50; ++i) {
                const QByteArray sql = QByteArray("UPDATE cet4 SET showTimes = '") +
                                       QByteArray::number(bump) +
                                       "', toShowTime = '1' WHERE \"index\" = " + QByteArray::number(i);
                sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr);
            }
            sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        }};
    // Interleaved, so a burst of load on this machine falls on all three alike.
    std::vector<double> times[3];
    for (int run = 0; run < 4 * kRuns; ++run) {
        for (int k = 0; k < 3; ++k) {
            QElapsedTimer t;
            t.start();
            bodies[k]();
            times[k].push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
        }
    }
    double medians[3];
    for (int k = 0; k < 3; ++k) {
        std::sort(times[k].begin(), times[k].end());
        medians[k] = times[k][times[k].size() / 2];
    }
    const double save = medians[0], rawSave = medians[1], rawText = medians[2];
    if (!ws.LastError().isEmpty()) { // a failed write-back would only look fast
        std::fprintf(stderr, "SaveBatch failed: %s\n", qPrintable(ws.LastError()));
        return 1;
    }
    sqlite3_finalize(upd);
    sqlite3_close(db);
    ws.Close();
    std::printf("(b) write back 50 records: SaveBatch %.3f ms, raw prepared %.3f ms (ratio %.2f), "
                "raw text %.3f ms (ratio %.2f)\n",
                save, rawSave, save / rawSave, rawText, save / rawText);
    std::printf("(c) open + key (first page read): %.2f ms\n", openKey);
    return 0;
}
