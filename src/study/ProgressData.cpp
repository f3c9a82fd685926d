#include "study/ProgressData.h"

#include "store/DbAccess.h"
#include "store/WordCatalogue.h"
#include "study/StudyCycle.h"

#include <QDateTime>
#include <QMap>
#include <algorithm>

namespace mnemora {
namespace {

QString DisplayNameOf(const QString& table) {
    for (const CatalogueEntry& e : kCatalogue) {
        if (table == QLatin1String(e.table))
            return QString::fromUtf8(e.displayName);
    }
    return table;
}

void CountTable(CDbAccess& db, ListCounts& c, uint32_t runTimes) {
    // Only the two counters: the texts would cost more than the walk itself.
    if (!db.OpenRecordset(QByteArray("SELECT showTimes, toShowTime FROM ") + c.list.toLatin1()))
        return;
    for (; !db.IsEof(); db.MoveNext()) {
        int32_t shows = 0;
        int32_t due = 0;
        db.GetInt("showTimes", shows);
        db.GetInt("toShowTime", due);
        ++c.total;
        const auto showTimes = static_cast<uint32_t>(shows);
        if (showTimes >= CStudyCycle::kLearntShowTimes) {
            ++c.learnt;
        } else if (showTimes > 0) {
            ++c.inProgress;
            const auto dueAt = static_cast<uint32_t>(due);
            const uint32_t run = dueAt <= runTimes ? 0 : dueAt - runTimes;
            if (run < ListCounts::kDueRuns)
                ++c.due[run];
        }
    }
    db.CloseRecordset();
}

} // namespace

RunPace EstimatePace(const QList<QPair<QDate, uint32_t>>& byDay, const QDate& today, uint32_t runTimes) {
    // From the earliest day of the window: a longer span evens out days off and long sessions.
    const QDate from = today.addDays(-RunPace::kWindowDays);
    const QPair<QDate, uint32_t>* first = nullptr;
    for (const auto& point : byDay) {
        if (point.first >= from && point.first < today && point.second <= runTimes &&
            (first == nullptr || point.first < first->first))
            first = &point;
    }
    RunPace pace;
    if (first == nullptr || first->second == runTimes)
        return pace;
    pace.days = static_cast<int>(first->first.daysTo(today));
    pace.runsPerDay = static_cast<double>(runTimes - first->second) / pace.days;
    return pace;
}

CProgressData::CProgressData(QString dbFolder, CHistoryFile& history)
    : dbFolder_(std::move(dbFolder)), history_(history) {}

QList<ListCounts> CProgressData::CountFile(const QString& filePath, const QStringList& tables,
                                           uint32_t runTimes, QString* error) {
    QList<ListCounts> all;
    CDbAccess db;
    const bool open = db.CreateObjects() &&
                      db.SetConnectString(QString::fromLatin1(kProviderName), filePath,
                                          QString::fromLatin1(kDatabasePassword)) &&
                      db.Open();
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    for (const QString& table : tables) {
        ListCounts c;
        c.list = table;
        c.updatedSecs = now;
        if (open)
            CountTable(db, c, runTimes);
        all.append(c);
    }
    if (error != nullptr && !db.GetLastError().isEmpty())
        *error = db.GetLastError();
    db.Close();
    return all;
}

ProgressReport CProgressData::Build(int category, int listIndex, uint32_t runTimes, const QDate& today) {
    ProgressReport report;
    report.today = today;
    report.runTimes = runTimes;

    const CatalogueEntry* current = FindCatalogueEntry(category, listIndex);
    if (current != nullptr) {
        const QString table = QString::fromLatin1(current->table);
        const QList<ListCounts> counted =
            CountFile(dbFolder_ + QString::fromLatin1(current->file), {table}, runTimes);
        ListProgress progress{counted.value(0), DisplayNameOf(table), true, true};
        if (progress.counts.total > 0)
            history_.PutListCounts(progress.counts);
        report.lists.append(progress);
    }
    QMap<QString, ListCounts> kept;
    for (const ListCounts& c : history_.AllListCounts())
        kept[c.list] = c;
    for (const CatalogueEntry& e : kCatalogue) {
        if (&e == current)
            continue;
        ListCounts none;
        none.list = QString::fromLatin1(e.table);
        report.lists.append(
            ListProgress{kept.value(none.list, none), DisplayNameOf(none.list), false, false});
    }

    history_.PutRunTimes(today, runTimes);
    report.pace =
        EstimatePace(history_.RunTimesByDay(today.addDays(-RunPace::kWindowDays), today), today, runTimes);

    const int days = ProgressReport::kCalendarWeeks * 7;
    const QDate first = today.addDays(-(days - 1));
    report.calendar = QList<int64_t>(days, 0);
    QMap<QDate, bool> studied;
    for (const DayRow& row : history_.Days(QDate(1, 1, 1), today)) {
        report.shownTotal += row.shown;
        report.startedTotal += row.started;
        report.learntTotal += row.learnt;
        report.studyMsTotal += row.studyMs;
        if (row.shown > 0 || row.studyMs > 0)
            studied[row.day] = true;
        if (row.day >= first)
            report.calendar[first.daysTo(row.day)] += row.shown;
        if (row.day == today) {
            report.shownToday += row.shown;
            report.startedToday += row.started;
            report.learntToday += row.learnt;
            report.studyMsToday += row.studyMs;
        }
    }
    report.daysStudied = static_cast<int>(studied.size());
    return report;
}

QList<ListCounts> CProgressData::CountOtherLists(int category, int listIndex, uint32_t runTimes) const {
    const CatalogueEntry* current = FindCatalogueEntry(category, listIndex);
    // One connection per file: the four course books share one file, and so one key derivation.
    QMap<QString, QStringList> tablesByFile;
    QStringList order;
    for (const CatalogueEntry& e : kCatalogue) {
        if (&e == current)
            continue;
        const QString file = QString::fromLatin1(e.file);
        if (!tablesByFile.contains(file))
            order << file;
        tablesByFile[file] << QString::fromLatin1(e.table);
    }
    QList<ListCounts> all;
    for (const QString& file : order)
        all += CountFile(dbFolder_ + file, tablesByFile[file], runTimes);
    return all;
}

void CProgressData::Merge(ProgressReport& report, const QList<ListCounts>& counts) {
    for (const ListCounts& c : counts) {
        if (c.total > 0)
            history_.PutListCounts(c);
        auto it = std::find_if(report.lists.begin(), report.lists.end(),
                               [&](const ListProgress& p) { return p.counts.list == c.list; });
        if (it != report.lists.end()) {
            if (!it->current) {
                it->counts = c;
                it->counted = true;
            }
        } else {
            report.lists.append(ListProgress{c, DisplayNameOf(c.list), false, true});
        }
    }
}

} // namespace mnemora
