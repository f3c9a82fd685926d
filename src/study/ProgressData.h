#pragma once

#include "store/HistoryFile.h"

#include <QDate>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <cstdint>

namespace mnemora {

// One list as the progress window shows it.
struct ListProgress {
    ListCounts counts;
    QString displayName;
    bool current = false;
    bool counted = false; // counted from its file now; otherwise from the history file's copy
};

// How fast the scheduler's clock goes on this learner's calendar: runs per day over the
// recent days; runsPerDay 0 when the history cannot tell (too short, or no run at all).
struct RunPace {
    static constexpr int kWindowDays = 28;
    double runsPerDay = 0;
    int days = 0; // the days the figure is taken over
};

// Runs per day from the clock's value kept for past days (byDay, any order; values above
// runTimes, from a clock set back, are ignored) and its value now.
RunPace EstimatePace(const QList<QPair<QDate, uint32_t>>& byDay, const QDate& today, uint32_t runTimes);

// Everything the progress window shows, worked out without any widget.
struct ProgressReport {
    static constexpr int kCalendarWeeks = 12;
    QDate today;
    uint32_t runTimes = 0;
    RunPace pace{};
    // Every list of the catalogue: the current one first, then the others in catalogue order
    // (total 0 while a list has not been counted yet).
    QList<ListProgress> lists;
    QList<int64_t> calendar; // words shown per day, the last kCalendarWeeks * 7 days ending today
    int64_t shownTotal = 0;  // over the whole history
    int64_t startedTotal = 0;
    int64_t learntTotal = 0;
    int64_t studyMsTotal = 0;
    int daysStudied = 0;
    int64_t shownToday = 0;
    int64_t startedToday = 0;
    int64_t learntToday = 0;
    int64_t studyMsToday = 0;
};

// The figures behind the progress window: counts read from the list files, history from
// the history file. Plain Qt Core, so it is tested and measured without the window.
class CProgressData final {
public:
    // dbFolder ends with "/"; history may be used by the caller between calls.
    CProgressData(QString dbFolder, CHistoryFile& history);

    // Counts tables of one list file through a connection of its own (so it may run on
    // another thread). A table that cannot be read gives total 0; *error says why.
    static QList<ListCounts> CountFile(const QString& filePath, const QStringList& tables, uint32_t runTimes,
                                       QString* error = nullptr);

    // The report with the current list counted now and every other list from the counts
    // the history file keeps; the current list's counts are stored there for next time.
    ProgressReport Build(int category, int listIndex, uint32_t runTimes, const QDate& today);
    // Counts every list file except the current list's tables (slow: one key derivation
    // per file), for a refresh after the window is up. Thread-safe; touches no member state
    // but the folder.
    QList<ListCounts> CountOtherLists(int category, int listIndex, uint32_t runTimes) const;
    // Stores fresh counts in the history file and merges them into report.
    void Merge(ProgressReport& report, const QList<ListCounts>& counts);

private:
    QString dbFolder_;
    CHistoryFile& history_;
};

} // namespace mnemora
