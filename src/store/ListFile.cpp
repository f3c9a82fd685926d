#include "store/ListFile.h"

#include "store/WordCatalogue.h"

#include <QFile>
#include <QSet>
#include <cstdio>
#include <sqlcipher/sqlite3.h>

namespace mnemora {
namespace {

// An open, keyed connection that closes itself.
class Connection final {
public:
    Connection(const QString& path, int flags) {
        if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db_, flags, nullptr) != SQLITE_OK)
            return;
        sqlite3_key(db_, kDatabasePassword, static_cast<int>(sizeof kDatabasePassword - 1));
        opened_ = true;
    }
    ~Connection() { sqlite3_close_v2(db_); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    bool IsOpen() const { return opened_; }
    sqlite3* Handle() const { return db_; }
    QString LastError() const { return db_ != nullptr ? QString::fromUtf8(sqlite3_errmsg(db_)) : QString(); }
    bool Exec(const char* sql) { return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }

private:
    sqlite3* db_ = nullptr;
    bool opened_ = false;
};

class Statement final {
public:
    Statement(sqlite3* db, const QByteArray& sql) {
        if (sqlite3_prepare_v2(db, sql.constData(), static_cast<int>(sql.size()), &stmt_, nullptr) !=
            SQLITE_OK)
            stmt_ = nullptr;
    }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool IsValid() const { return stmt_ != nullptr; }
    sqlite3_stmt* Handle() const { return stmt_; }
    QString Text(int column) const {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
        return text == nullptr ? QString() : QString::fromUtf8(text, sqlite3_column_bytes(stmt_, column));
    }

private:
    sqlite3_stmt* stmt_ = nullptr;
};

QByteArray Quoted(const QString& name) {
    return '"' + name.toUtf8().replace('"', "\"\"") + '"';
}

void BindText(sqlite3_stmt* stmt, int column, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(stmt, column, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
}

bool WriteTables(Connection& db, const std::vector<TableRows>& tables) {
    if (!db.Exec("PRAGMA journal_mode=DELETE") || !db.Exec("BEGIN"))
        return false;
    for (const TableRows& table : tables) {
        const QByteArray name = Quoted(table.table);
        const QByteArray create = "CREATE TABLE " + name +
                                  " (\"index\" INTEGER PRIMARY KEY, word TEXT, pronounce TEXT, wordChn TEXT, "
                                  "sentence1 TEXT, sentence1Chn TEXT, sentence2 TEXT, sentence2Chn TEXT, "
                                  "showTimes INTEGER, toShowTime INTEGER)";
        if (!db.Exec(create.constData()))
            return false;
        Statement insert(db.Handle(), "INSERT INTO " + name +
                                          " (\"index\", word, pronounce, wordChn, sentence1, sentence1Chn, "
                                          "sentence2, sentence2Chn, showTimes, toShowTime) "
                                          "VALUES (?,?,?,?,?,?,?,?,?,?)");
        if (!insert.IsValid())
            return false;
        int index = 0;
        for (const WordRow& row : table.rows) {
            sqlite3_stmt* stmt = insert.Handle();
            sqlite3_bind_int(stmt, 1, ++index);
            const QString* texts[] = {&row.word,         &row.pronounce, &row.wordChn,     &row.sentence1,
                                      &row.sentence1Chn, &row.sentence2, &row.sentence2Chn};
            for (int i = 0; i < 7; ++i)
                BindText(stmt, i + 2, *texts[i]);
            sqlite3_bind_int64(stmt, 9, row.showTimes);
            sqlite3_bind_int64(stmt, 10, row.toShowTime);
            if (sqlite3_step(stmt) != SQLITE_DONE)
                return false;
            sqlite3_reset(stmt);
        }
    }
    return db.Exec("COMMIT");
}

} // namespace

void RemoveDatabaseFiles(const QString& path) {
    for (const char* suffix : {"", "-journal", "-wal", "-shm"})
        QFile::remove(path + QLatin1String(suffix));
}

bool ReplaceDatabaseFile(const QString& temp, const QString& target) {
    for (const char* side : {"-journal", "-wal", "-shm"})
        QFile::remove(target + QLatin1String(side));
    return std::rename(QFile::encodeName(temp).constData(), QFile::encodeName(target).constData()) == 0;
}

bool ReadSavedProgress(const QString& path, const QStringList& tables, SavedProgress& progress,
                       QString& error) {
    Connection db(path, SQLITE_OPEN_READWRITE);
    if (!db.IsOpen()) {
        error = QStringLiteral("cannot open: %1").arg(db.LastError());
        return false;
    }
    QStringList present;
    {
        Statement list(db.Handle(), "SELECT name FROM sqlite_master WHERE type = 'table'");
        if (!list.IsValid()) {
            error =
                QStringLiteral("not a word-list file with the expected password (%1)").arg(db.LastError());
            return false;
        }
        while (sqlite3_step(list.Handle()) == SQLITE_ROW)
            present << list.Text(0);
    }
    for (const QString& table : tables) {
        if (!present.contains(table))
            continue;
        Statement select(db.Handle(), "SELECT word, showTimes, toShowTime FROM " + Quoted(table));
        if (!select.IsValid()) {
            error = QStringLiteral("cannot read table %1: %2").arg(table, db.LastError());
            return false;
        }
        QHash<QString, StudyCounters>& counters = progress[table];
        int rc;
        while ((rc = sqlite3_step(select.Handle())) == SQLITE_ROW) {
            const QString word = select.Text(0);
            if (!counters.contains(word))
                counters.insert(word, {sqlite3_column_int64(select.Handle(), 1),
                                       sqlite3_column_int64(select.Handle(), 2)});
        }
        if (rc != SQLITE_DONE) {
            error = QStringLiteral("cannot read table %1: %2").arg(table, db.LastError());
            return false;
        }
    }
    Statement mode(db.Handle(), "PRAGMA journal_mode=DELETE");
    if (!mode.IsValid() || sqlite3_step(mode.Handle()) != SQLITE_ROW ||
        mode.Text(0).compare(QLatin1String("delete"), Qt::CaseInsensitive) != 0) {
        error = QStringLiteral("the file is in use by another program (close Mnemora and build again)");
        return false;
    }
    return true;
}

bool ReadListTables(const QString& path, std::vector<TableRows>& tables, QString& error) {
    tables.clear();
    Connection db(path, SQLITE_OPEN_READONLY);
    QStringList names;
    {
        Statement list(db.Handle(), "SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name");
        if (!db.IsOpen() || !list.IsValid()) {
            error =
                QStringLiteral("not a word-list file with the expected password (%1)").arg(db.LastError());
            return false;
        }
        while (sqlite3_step(list.Handle()) == SQLITE_ROW)
            names << list.Text(0);
    }
    for (const QString& name : names) {
        Statement select(db.Handle(), "SELECT word, pronounce, wordChn, sentence1, sentence1Chn, sentence2, "
                                      "sentence2Chn, showTimes, toShowTime FROM " +
                                          Quoted(name) + " ORDER BY \"index\"");
        if (!select.IsValid()) {
            error = QStringLiteral("cannot read table %1: %2").arg(name, db.LastError());
            return false;
        }
        TableRows& table = tables.emplace_back(TableRows{name, {}});
        int rc;
        while ((rc = sqlite3_step(select.Handle())) == SQLITE_ROW) {
            WordRow& row = table.rows.emplace_back();
            QString* texts[] = {&row.word,         &row.pronounce, &row.wordChn,     &row.sentence1,
                                &row.sentence1Chn, &row.sentence2, &row.sentence2Chn};
            for (int i = 0; i < 7; ++i)
                *texts[i] = select.Text(i);
            row.showTimes = sqlite3_column_int64(select.Handle(), 7);
            row.toShowTime = sqlite3_column_int64(select.Handle(), 8);
        }
        if (rc != SQLITE_DONE) {
            error = QStringLiteral("cannot read table %1: %2").arg(name, db.LastError());
            return false;
        }
    }
    return true;
}

int CarryOver(const QHash<QString, StudyCounters>& saved, TableRows& table, QStringList& dropped) {
    QHash<QString, WordRow*> byWord;
    QHash<QString, WordRow*> byLower;
    for (WordRow& row : table.rows) {
        byWord.insert(row.word, &row);
        byLower.insert(row.word.toLower(), &row);
    }
    // Exact spellings first, so "Polish" and "polish" in an old list each keep their own.
    QSet<const WordRow*> matched;
    QList<QString> unmatched;
    for (auto it = saved.cbegin(); it != saved.cend(); ++it) {
        WordRow* row = byWord.value(it.key());
        if (row == nullptr) {
            unmatched << it.key();
            continue;
        }
        row->showTimes = it->showTimes;
        row->toShowTime = it->toShowTime;
        matched.insert(row);
    }
    dropped.clear();
    for (const QString& word : unmatched) {
        const StudyCounters counters = saved.value(word);
        WordRow* row = byLower.value(word.toLower());
        if (row == nullptr || matched.contains(row)) {
            if (counters.showTimes != 0 || counters.toShowTime != 0)
                dropped << word;
            continue;
        }
        row->showTimes = counters.showTimes;
        row->toShowTime = counters.toShowTime;
        matched.insert(row);
    }
    int carried = 0;
    for (const WordRow* row : std::as_const(matched))
        carried += row->showTimes != 0 || row->toShowTime != 0 ? 1 : 0;
    return carried;
}

bool WriteListFile(const QString& path, const std::vector<TableRows>& tables, QString& error) {
    RemoveDatabaseFiles(path);
    bool ok;
    {
        Connection db(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        ok = db.IsOpen() && WriteTables(db, tables);
        if (!ok)
            error = db.LastError().isEmpty() ? QStringLiteral("cannot create the file") : db.LastError();
    }
    if (!ok)
        RemoveDatabaseFiles(path);
    return ok;
}

} // namespace mnemora
