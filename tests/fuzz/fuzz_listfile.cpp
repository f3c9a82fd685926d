// A list file with hostile rows (NULLs, 1 MB texts, negative and huge counters, missing
// or repeated index, values of the wrong type, columns declared with other types) opened
// by the store and walked by the scheduler through several batches, keys and saves. No
// word in a batch may stand past the learnt mark.
#include "FuzzInput.h"
#include "StudyRig.h"

#include <QCoreApplication>
#include <cstdlib>
#include <sqlcipher/sqlite3.h>
#include <utility>

using namespace mnemora;

namespace {

const char* const kTypes[] = {"INTEGER", "TEXT", "BLOB", "REAL", "", "INTEGER PRIMARY KEY"};

// Integers at and past the bounds of the counters.
const sqlite3_int64 kExtremes[] = {-1, 4294967296LL, INT64_MAX, INT64_MIN};

// One value of a column, its kind chosen by the input.
void BindValue(sqlite3_stmt* stmt, int column, fuzz::Choices& in, int row, bool& bigUsed) {
    const int kind = in.Byte() % 12;
    if (kind == 0) {
        sqlite3_bind_null(stmt, column);
    } else if (kind <= 4) {
        sqlite3_bind_int64(stmt, column, kExtremes[kind - 1]);
    } else if (kind == 5) {
        sqlite3_bind_double(stmt, column, 3.5);
    } else if (kind == 6 || kind == 7) {
        sqlite3_bind_int64(stmt, column, kind == 6 ? row : in.Byte() % 9);
    } else if (kind == 9) {
        const QByteArray blob = in.Bytes(in.Byte() % 8);
        sqlite3_bind_blob(stmt, column, blob.constData(), int(blob.size()), SQLITE_TRANSIENT);
    } else {
        QByteArray text("word");
        if (kind == 8)
            text = in.Bytes(in.Byte() % 24); // any bytes, not always UTF-8
        else if (kind == 10 && !std::exchange(bigUsed, true))
            text.fill('x', 1 << 20); // one 1 MB text per file keeps an input fast
        sqlite3_bind_text(stmt, column, text.constData(), int(text.size()), SQLITE_TRANSIENT);
    }
}

bool WriteHostileList(const QString& path, fuzz::Choices& in) {
    sqlite3* db = nullptr;
    if (sqlite3_open(QFile::encodeName(path).constData(), &db) != SQLITE_OK) {
        sqlite3_close(db);
        return false;
    }
    sqlite3_key(db, fixture::kPassword, int(sizeof fixture::kPassword - 1));
    const QByteArray create =
        QByteArray("CREATE TABLE cet4 (\"index\" ") + in.Pick(kTypes) +
        ", word TEXT, pronounce, wordChn TEXT, sentence1 TEXT, sentence1Chn, sentence2, "
        "sentence2Chn TEXT, showTimes " +
        in.Pick(kTypes) + ", toShowTime " + in.Pick(kTypes) + ")";
    bool ok = sqlite3_exec(db, create.constData(), nullptr, nullptr, nullptr) == SQLITE_OK &&
              sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_stmt* stmt = nullptr;
    ok = ok && sqlite3_prepare_v2(db, "INSERT OR IGNORE INTO cet4 VALUES (?,?,?,?,?,?,?,?,?,?)", -1, &stmt,
                                  nullptr) == SQLITE_OK;
    const int rows = in.Byte() % 16;
    bool bigUsed = false;
    for (int r = 1; ok && r <= rows; ++r) {
        for (int c = 1; c <= 10; ++c)
            BindValue(stmt, c, in, r, bigUsed);
        ok = sqlite3_step(stmt) == SQLITE_DONE && sqlite3_reset(stmt) == SQLITE_OK;
    }
    sqlite3_finalize(stmt);
    ok = ok && sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication app(*argc, *argv);
    // Key derivation is not under test and costs seconds under the sanitizers: one
    // round for every file this process writes and opens (a process-wide default).
    sqlite3* db = nullptr;
    sqlite3_open(":memory:", &db);
    sqlite3_exec(db, "PRAGMA cipher_default_kdf_iter = 1", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Choices in(data, size);
    StudyRig rig(fuzz::Folder().filePath(QStringLiteral("rig-XXXXXX")));
    if (!WriteHostileList(rig.DbFile(QStringLiteral("cet4.dat")), in))
        return 0;
    rig.cycle->cachedRunTimes = in.U32();
    rig.cycle->showSentence = in.Byte() & 1;
    rig.Open();
    rig.cycle->ScheduleNextBatch();
    // Time, keys and list changes from the rest of the input.
    while (!in.Empty()) {
        const int action = in.Byte() % 4;
        if (action == 0)
            rig.clock.AdvanceBy(8000ull * (1 + in.Byte() % 16));
        else if (action == 1)
            rig.cycle->NextWord();
        else if (action == 2)
            rig.cycle->PrevWord();
        else
            rig.cycle->OnCommand(CStudyCycle::kCmdManualPlay);
        for (auto p = rig.store->batch.begin(); p != rig.store->batch.end(); p = WordBatch::Next(p))
            if (WordBatch::At(p).showTimes > CStudyCycle::kLearntShowTimes)
                std::abort();
    }
    rig.store->SaveBatch();
    return 0;
}
