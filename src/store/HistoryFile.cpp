#include "store/HistoryFile.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <cstdio>

namespace mnemora {
namespace {

using sql::Statement;
using sql::Step;

constexpr char kSchema[] =
    "CREATE TABLE IF NOT EXISTS days(day TEXT NOT NULL, list TEXT NOT NULL, shown INTEGER NOT NULL,"
    " started INTEGER NOT NULL, learnt INTEGER NOT NULL, studyMs INTEGER NOT NULL, PRIMARY KEY(day, list));"
    "CREATE TABLE IF NOT EXISTS lists(list TEXT PRIMARY KEY, total INTEGER NOT NULL,"
    " learnt INTEGER NOT NULL, inProgress INTEGER NOT NULL, due TEXT NOT NULL, updated INTEGER NOT NULL);"
    "CREATE TABLE IF NOT EXISTS runs(day TEXT PRIMARY KEY, runTimes INTEGER NOT NULL);";

QString DayText(const QDate& day) {
    return day.toString(Qt::ISODate);
}

} // namespace

CHistoryFile::CHistoryFile(QString path) : path_(std::move(path)) {}

CHistoryFile::~CHistoryFile() = default;

// A plain file: no key.
bool CHistoryFile::OpenFile() {
    if (!db_.Open(QFile::encodeName(path_), sql::OpenMode::Create)) {
        db_.Close();
        return false;
    }
    db_.SetBusyTimeout(2000);
    return true;
}

// The first read of a file that is no database (or a damaged one) fails here, not at open.
bool CHistoryFile::CreateSchema() {
    Statement check(db_, "PRAGMA quick_check");
    if (!check || check.Next() != Step::Row || check.Text(0) != QLatin1String("ok"))
        return false;
    return db_.Exec(kSchema);
}

void CHistoryFile::SetAside(const char* reason) {
    db_.Close();
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
    if (db_.IsOpen())
        return true;
    if (!OpenFile())
        return false;
    if (CreateSchema())
        return true;
    const sql::Failure failure = db_.LastFailure();
    const bool transient = sql::IsTransient(failure) || failure == sql::Failure::OutOfMemory;
    // An empty file holds nothing to set aside: its first write failed (a full disk makes
    // the engine misread it), and the next save tries again.
    if (triedFresh_ || transient || QFileInfo(path_).size() == 0) {
        // Locked, read-only or out of space: the file may be fine, so it is left alone.
        db_.Close();
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
    sql::Transaction transaction(db_, true);
    if (!transaction.Begun())
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
        ok = update.Next() == Step::Done;
        if (ok && db_.Changes() == 0)
            ok = insert.Next() == Step::Done;
        for (Statement* s : {&update, &insert}) {
            s->Reset();
            s->ClearBindings();
        }
    }
    const sql::Failure failure = db_.LastFailure();
    if (ok && transaction.Commit())
        return true;
    transaction.Rollback();
    update.Finalize();
    insert.Finalize();
    if (failure == sql::Failure::Damage && !triedFresh_) {
        triedFresh_ = true;
        SetAside("damaged");
        return OpenFile() && CreateSchema() && AddDays(deltas);
    }
    return false;
}

bool CHistoryFile::SelectDays(Statement& select, const char* query, const QDate& from, const QDate& to) {
    if (!Open() || !select.Prepare(db_, query) || !select)
        return false;
    select.Bind(1, DayText(from));
    select.Bind(2, DayText(to));
    return true;
}

QList<DayRow> CHistoryFile::Days(const QDate& from, const QDate& to) {
    QList<DayRow> rows;
    Statement select;
    if (!SelectDays(select,
                    "SELECT day, list, shown, started, learnt, studyMs FROM days"
                    " WHERE day >= ?1 AND day <= ?2 ORDER BY day, list",
                    from, to))
        return rows;
    while (select.Next() == Step::Row) {
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
    return put.Run();
}

QList<QPair<QDate, uint32_t>> CHistoryFile::RunTimesByDay(const QDate& from, const QDate& to) {
    QList<QPair<QDate, uint32_t>> rows;
    Statement select;
    if (!SelectDays(select, "SELECT day, runTimes FROM runs WHERE day >= ?1 AND day <= ?2 ORDER BY day", from,
                    to))
        return rows;
    while (select.Next() == Step::Row)
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
    return put.Next() == Step::Done;
}

QList<ListCounts> CHistoryFile::AllListCounts() {
    QList<ListCounts> all;
    if (!Open())
        return all;
    Statement select(db_, "SELECT list, total, learnt, inProgress, due, updated FROM lists ORDER BY list");
    if (!select)
        return all;
    while (select.Next() == Step::Row) {
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
