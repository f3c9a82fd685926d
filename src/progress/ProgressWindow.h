#pragma once

#include "study/ProgressModule.h"

#include <QWidget>

class QBarSet;
class QChart;
class QLabel;
class QVBoxLayout;

namespace mnemora {

class CStudyCalendar;

// The progress window: a bar per list (learnt, in progress, new), the words due in the
// next runs of the current list, a calendar of the last weeks and the totals.
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

    ProgressReport report_;
    QLabel* totals_ = nullptr;
    QVBoxLayout* lists_ = nullptr;
    QLabel* dueTitle_ = nullptr;
    QChart* dueChart_ = nullptr;
    QBarSet* dueSet_ = nullptr;
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

// Words shown per day as a grid: one column per week, Monday at the top.
class CStudyCalendar final : public QWidget {
    Q_OBJECT
public:
    explicit CStudyCalendar(QWidget* parent = nullptr);
    void SetDays(const QDate& today, const QList<int64_t>& shownPerDay);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QDate today_;
    QList<int64_t> days_;
};

} // namespace mnemora
