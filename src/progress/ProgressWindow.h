#pragma once

#include "study/ProgressModule.h"

#include <QStringList>
#include <QWidget>

class QComboBox;
class QLabel;
class QVBoxLayout;

namespace mnemora {

class CDueChartView;
class CStudyCalendar;

// The chart of words falling due for one list, laid out apart from the painting: in days
// when the pace is known, otherwise in runs of the scheduler.
struct DueChart {
    static constexpr int kDays = 30;
    QList<int> bars;
    QStringList labels; // under the bars, one per bar, most of them empty
    QStringList tips;   // what each bar stands for
    QString axisTitle;
    QString note; // one line under the chart: how the days were estimated, or what a run is
    bool Empty() const;
};
DueChart MakeDueChart(const ListCounts& counts, const RunPace& pace);

// The ticks of a count axis: 0 and steps of 1, 2 or 5 times a power of ten, up to the first
// tick at or above most; at most five steps.
QList<int> CountTicks(int most);

// The calendar of the last `weeks` weeks ending with today's week, one column per week: the
// columns where a month begins (its first day falls in that week) and the month's name.
QList<QPair<int, QString>> CalendarMonths(const QDate& today, int weeks);
// The colour step of a day, 0 (nothing shown) to kCalendarLevels - 1 (the busiest days).
inline constexpr int kCalendarLevels = 5;
int CalendarLevel(int64_t shown, int64_t most);

// The progress window: a bar per list (learnt, in progress, new), when the words of a
// chosen list fall due, a calendar of the last weeks and the totals.
class CProgressWindow final : public QWidget, public IProgressWindow {
    Q_OBJECT
public:
    explicit CProgressWindow(QWidget* parent = nullptr);

    void ShowReport(const ProgressReport& report) override;
    void UpdateReport(const ProgressReport& report) override;
    QWidget* Widget() override { return this; }

    const ProgressReport& Report() const { return report_; }

private:
    void Fill();
    void FillLists();
    // Charts the list picked in the box (the current list until another is picked).
    void ShowDue();

    ProgressReport report_;
    QLabel* totals_ = nullptr;
    QVBoxLayout* lists_ = nullptr;
    QComboBox* dueList_ = nullptr;
    CDueChartView* dueChart_ = nullptr;
    QLabel* dueNote_ = nullptr;
    CStudyCalendar* calendar_ = nullptr;
};

// The three-part bar of one list.
class CListBar final : public QWidget {
    Q_OBJECT
public:
    explicit CListBar(const ListCounts& counts, QWidget* parent = nullptr);
    QSize sizeHint() const override { return {360, 14}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ListCounts counts_;
};

// Bars of words falling due over a count axis, labels under some bars, the axis title
// below; "暂无数据" when there is nothing to chart. A bar's figure shows as its tool tip.
class CDueChartView final : public QWidget {
    Q_OBJECT
public:
    explicit CDueChartView(QWidget* parent = nullptr);
    void SetChart(DueChart chart);
    const DueChart& Chart() const { return chart_; }
    QSize sizeHint() const override { return {640, 200}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    QRectF Plot() const;
    DueChart chart_;
};

// Words shown per day as a grid: one column per week, Monday at the top, the months
// named above and the colour steps explained below.
class CStudyCalendar final : public QWidget {
    Q_OBJECT
public:
    explicit CStudyCalendar(QWidget* parent = nullptr);
    void SetDays(const QDate& today, const QList<int64_t>& shownPerDay);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    // The day under a point of the widget; invalid outside the grid.
    QDate DayAt(const QPoint& point) const;

    QDate today_;
    QList<int64_t> days_;
};

} // namespace mnemora
