#pragma once

#include "store/Sql.h"

#include <QDate>
#include <QList>
#include <QPair>
#include <QString>
#include <array>
#include <cstdint>

namespace mnemora {

// One day of study on one list. As a change to add, every figure is a delta.
struct DayRow {
    QDate day;
    QString list;        // the catalogue table name ("cet4", "nce2")
    int64_t shown = 0;   // first-pass showings
    int64_t started = 0; // words shown for the first time ever
    int64_t learnt = 0;  // words that reached the learnt mark (by showing or by "I know it")
    int64_t studyMs = 0; // time studied, milliseconds
};

// Where one list stands; also kept in the history file so that the lists not open now
// can be shown without opening (and deriving the key of) each of their files.
struct ListCounts {
    QString list;
    int total = 0;
    int learnt = 0;
    int inProgress = 0; // shown at least once, not learnt
    // Words in progress due in each of the next runs: [0] now (or overdue), [k] in run
    // RunTimes + k. A word in progress is at most 31 runs from due (the interval after
    // the sixth showing), so every one of them has its place.
    static constexpr int kDueRuns = 32;
    std::array<int, kDueRuns> due{};
    int64_t updatedSecs = 0; // when counted, seconds since the epoch
    int Fresh() const { return total - learnt - inProgress; }
};

// The per-user study history: a small plain SQLite file of its own beside the settings,
// never inside the word lists. One row per day and list, figures added up.
//
// A file that cannot be read as a database is renamed aside (".damaged-<time>") and
// started afresh, with one line on stderr; the study goes on either way.
class CHistoryFile final {
public:
    explicit CHistoryFile(QString path);
    ~CHistoryFile();
    CHistoryFile(const CHistoryFile&) = delete;
    CHistoryFile& operator=(const CHistoryFile&) = delete;

    const QString& Path() const { return path_; }
    // Opens or creates the file (once); false when it cannot be had even afresh.
    bool Open();

    // Adds the figures of each row to the stored row of its day and list, all or none.
    bool AddDays(const QList<DayRow>& deltas);
    // Stored rows with from <= day <= to, all lists, ordered by day.
    QList<DayRow> Days(const QDate& from, const QDate& to);

    // The scheduler's clock as it stood on a day (the highest value put that day): the
    // progress window turns runs into days with it.
    bool PutRunTimes(const QDate& day, uint32_t runTimes);
    QList<QPair<QDate, uint32_t>> RunTimesByDay(const QDate& from, const QDate& to);

    bool PutListCounts(const ListCounts& counts);
    QList<ListCounts> AllListCounts();

private:
    bool OpenFile();
    bool CreateSchema();
    void SetAside(const char* reason);
    // Opens the file and prepares query with the day range bound to ?1 and ?2.
    bool SelectDays(sql::Statement& select, const char* query, const QDate& from, const QDate& to);

    QString path_;
    sql::Connection db_;
    bool triedFresh_ = false;
};

} // namespace mnemora
