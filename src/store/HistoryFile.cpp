#include "store/HistoryFile.h"

#include <QDateTime>
#include <QFile>
#include <QStringList>
#include <cstdio>
#include <sqlcipher/sqlite3.h>

namespace mnemora {
namespace {

// A prepared statement that finalises itself.
class Statement final {
public:
    Statement(sqlite3* db, const char* sql) { sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr); }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    explicit operator bool() const { return stmt_ != nullptr; }
    void Bind(int i, const QString& text) {
        const QByteArray utf8 = text.toUtf8();
        sqlite3_bind_text(stmt_, i, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
    }
    void Bind(int i, int64_t value) { sqlite3_bind_int64(stmt_, i, value); }
    int Step() { return sqlite3_step(stmt_); }
    void Reset() {
        sqlite3_reset(stmt_);
        sqlite3_clear_bindings(stmt_);
    }
    int64_t Int(int i) const { return sqlite3_column_int64(stmt_, i); }
    QString Text(int i) const {
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt_, i)));
    }

private:
    sqlite3_stmt* stmt_ = nullptr;
};

constexpr char kSchema[] =
    "CREATE TABLE IF NOT EXISTS days(day TEXT NOT NULL, list TEXT NOT NULL, shown INTEGER NOT NULL,"
    " started INTEGER NOT NULL, learnt INTEGER NOT NULL, studyMs INTEGER NOT NULL, PRIMARY KEY(day, list));"
    "CREATE TABLE IF NOT EXISTS lists(list TEXT PRIMARY KEY, total INTEGER NOT NULL,"
    " learnt INTEGER NOT NULL, inProgress INTEGER NOT NULL, due TEXT NOT NULL, updated INTEGER NOT NULL);"
    "CREATE TABLE IF NOT EXISTS runs(day TEXT PRIMARY KEY, runTimes INTEGER NOT NULL);";

bool IsDamage(int rc) {
    rc &= 0xff;
    return rc == SQLITE_CORRUPT || rc == SQLITE_NOTADB;
}

QString DayText(const QDate& day) {
    return day.toString(Qt::ISODate);
}

} // namespace

CHistoryFile::CHistoryFile(QString path) : path_(std::move(path)) {}

CHistoryFile::~CHistoryFile() {
    sqlite3_close(db_);
}

bool CHistoryFile::Exec(const char* sql) {
    return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

bool CHistoryFile::OpenFile() {
    const QByteArray file = QFile::encodeName(path_);
    if (sqlite3_open_v2(file.constData(), &db_,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                        nullptr) != SQLITE_OK) {
        sqlite3_close(db_);
        db_ = nullptr;
        return false;
    }
    sqlite3_busy_timeout(db_, 2000);
    return true;
}

// The first read of a file that is no database (or a damaged one) fails here, not at open.
bool CHistoryFile::CreateSchema() {
    Statement check(db_, "PRAGMA quick_check");
    if (!check || check.Step() != SQLITE_ROW || check.Text(0) != QLatin1String("ok"))
        return false;
    return Exec(kSchema);
}

void CHistoryFile::SetAside(const char* reason) {
    sqlite3_close(db_);
    db_ = nullptr;
    const QString aside = path_ + QStringLiteral(".damaged-") +
                          QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const bool moved = QFile::rename(path_, aside);
    std::fprintf(stderr, "mnemora: study history %s is %s; %s, starting a new one\n",
                 QFile::encodeName(path_).constData(), reason,
                 moved ? ("kept as " + QFile::encodeName(aside)).constData() : "could not set it aside");
    if (!moved)
        QFile::remove(path_);
}

bool CHistoryFile::Open() {
    if (db_ != nullptr)
        return true;
    if (!OpenFile())
        return false;
    if (CreateSchema())
        return true;
    const int rc = sqlite3_errcode(db_) & 0xff;
    const bool transient = rc == SQLITE_BUSY || rc == SQLITE_LOCKED || rc == SQLITE_READONLY ||
                           rc == SQLITE_CANTOPEN || rc == SQLITE_FULL || rc == SQLITE_IOERR ||
                           rc == SQLITE_NOMEM;
    if (triedFresh_ || transient) {
        // Locked, read-only or out of space: the file may be fine, so it is left alone.
        sqlite3_close(db_);
        db_ = nullptr;
        return false;
    }
    triedFresh_ = true;
    SetAside("damaged");
    return OpenFile() && CreateSchema();
}

bool CHistoryFile::AddDays(const QList<DayRow>& deltas) {
    if (deltas.isEmpty())
        return true;
    if (!Open())
        return false;
    if (!Exec("BEGIN IMMEDIATE"))
        return false;
    // The SQLite underneath may predate UPSERT: update, and insert where nothing was there.
    Statement update(db_, "UPDATE days SET shown = shown + ?3, started = started + ?4, learnt = learnt + ?5,"
                          " studyMs = studyMs + ?6 WHERE day = ?1 AND list = ?2");
    Statement insert(
        db_, "INSERT INTO days(day, list, shown, started, learnt, studyMs) VALUES(?1, ?2, ?3, ?4, ?5, ?6)");
    bool ok = update && insert;
    for (const DayRow& row : deltas) {
        if (!ok)
            break;
        for (Statement* s : {&update, &insert}) {
            s->Bind(1, DayText(row.day));
            s->Bind(2, row.list);
            s->Bind(3, row.shown);
            s->Bind(4, row.started);
            s->Bind(5, row.learnt);
            s->Bind(6, row.studyMs);
        }
        ok = update.Step() == SQLITE_DONE;
        if (ok && sqlite3_changes(db_) == 0)
            ok = insert.Step() == SQLITE_DONE;
        update.Reset();
        insert.Reset();
    }
    const int rc = sqlite3_errcode(db_);
    if (ok && Exec("COMMIT"))
        return true;
    Exec("ROLLBACK");
    if (IsDamage(rc) && !triedFresh_) {
        triedFresh_ = true;
        SetAside("damaged");
        return OpenFile() && CreateSchema() && AddDays(deltas);
    }
    return false;
}

QList<DayRow> CHistoryFile::Days(const QDate& from, const QDate& to) {
    QList<DayRow> rows;
    if (!Open())
        return rows;
    Statement select(db_, "SELECT day, list, shown, started, learnt, studyMs FROM days"
                          " WHERE day >= ?1 AND day <= ?2 ORDER BY day, list");
    if (!select)
        return rows;
    select.Bind(1, DayText(from));
    select.Bind(2, DayText(to));
    while (select.Step() == SQLITE_ROW) {
        DayRow row;
        row.day = QDate::fromString(select.Text(0), Qt::ISODate);
        row.list = select.Text(1);
        row.shown = select.Int(2);
        row.started = select.Int(3);
        row.learnt = select.Int(4);
        row.studyMs = select.Int(5);
        rows.append(row);
    }
    return rows;
}

bool CHistoryFile::PutRunTimes(const QDate& day, uint32_t runTimes) {
    if (!Open())
        return false;
    Statement put(db_, "INSERT OR REPLACE INTO runs(day, runTimes) VALUES(?1,"
                       " max(?2, coalesce((SELECT runTimes FROM runs WHERE day = ?1), 0)))");
    if (!put)
        return false;
    put.Bind(1, DayText(day));
    put.Bind(2, int64_t{runTimes});
    return put.Step() == SQLITE_DONE;
}

QList<QPair<QDate, uint32_t>> CHistoryFile::RunTimesByDay(const QDate& from, const QDate& to) {
    QList<QPair<QDate, uint32_t>> rows;
    if (!Open())
        return rows;
    Statement select(db_, "SELECT day, runTimes FROM runs WHERE day >= ?1 AND day <= ?2 ORDER BY day");
    if (!select)
        return rows;
    select.Bind(1, DayText(from));
    select.Bind(2, DayText(to));
    while (select.Step() == SQLITE_ROW)
        rows.append({QDate::fromString(select.Text(0), Qt::ISODate), static_cast<uint32_t>(select.Int(1))});
    return rows;
}

bool CHistoryFile::PutListCounts(const ListCounts& counts) {
    if (!Open())
        return false;
    QStringList due;
    for (int n : counts.due)
        due << QString::number(n);
    Statement put(db_, "INSERT OR REPLACE INTO lists(list, total, learnt, inProgress, due, updated)"
                       " VALUES(?1, ?2, ?3, ?4, ?5, ?6)");
    if (!put)
        return false;
    put.Bind(1, counts.list);
    put.Bind(2, int64_t{counts.total});
    put.Bind(3, int64_t{counts.learnt});
    put.Bind(4, int64_t{counts.inProgress});
    put.Bind(5, due.join(u' '));
    put.Bind(6, counts.updatedSecs);
    return put.Step() == SQLITE_DONE;
}

QList<ListCounts> CHistoryFile::AllListCounts() {
    QList<ListCounts> all;
    if (!Open())
        return all;
    Statement select(db_, "SELECT list, total, learnt, inProgress, due, updated FROM lists ORDER BY list");
    if (!select)
        return all;
    while (select.Step() == SQLITE_ROW) {
        ListCounts c;
        c.list = select.Text(0);
        c.total = static_cast<int>(select.Int(1));
        c.learnt = static_cast<int>(select.Int(2));
        c.inProgress = static_cast<int>(select.Int(3));
        const QStringList due = select.Text(4).split(u' ', Qt::SkipEmptyParts);
        for (int i = 0; i < ListCounts::kDueRuns && i < due.size(); ++i)
            c.due[static_cast<size_t>(i)] = due[i].toInt();
        c.updatedSecs = select.Int(5);
        all.append(c);
    }
    return all;
}

} // namespace mnemora
