#include "progress/ProgressWindow.h"
#include "settings/ui/Heading.h"

#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>

namespace mnemora {
namespace {

const QColor kLearntColor(0x2e, 0x9e, 0x5b);
const QColor kProgressColor(0xf0, 0xa2, 0x2e);
const QColor kNewColor(0xd9, 0xdd, 0xe3);
const QColor kDueColor(0x3b, 0x7d, 0xd8);

QString Minutes(int64_t ms) {
    return QString::number((ms + 30'000) / 60'000);
}

QString Swatch(const QColor& colour) {
    return QStringLiteral("<span style='color:%1'>■</span>").arg(colour.name());
}

} // namespace

CListBar::CListBar(const ListCounts& counts, QWidget* parent) : QWidget(parent), counts_(counts) {
    setMinimumWidth(240);
    setFixedHeight(14);
}

void CListBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = rect();
    QPainterPath clip;
    clip.addRoundedRect(r, 4, 4);
    p.setClipPath(clip);
    p.fillRect(r, kNewColor);
    if (counts_.total <= 0)
        return;
    const double w = r.width();
    const double learnt = w * counts_.learnt / counts_.total;
    const double progress = w * counts_.inProgress / counts_.total;
    p.fillRect(QRectF(0, 0, learnt, r.height()), kLearntColor);
    p.fillRect(QRectF(learnt, 0, progress, r.height()), kProgressColor);
}

CStudyCalendar::CStudyCalendar(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("calendar"));
}

QSize CStudyCalendar::sizeHint() const {
    return {ProgressReport::kCalendarWeeks * 18 + 30, 7 * 18 + 4};
}

void CStudyCalendar::SetDays(const QDate& today, const QList<int64_t>& shownPerDay) {
    today_ = today;
    days_ = shownPerDay;
    update();
}

void CStudyCalendar::paintEvent(QPaintEvent*) {
    if (!today_.isValid() || days_.isEmpty())
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const int cell = 18;
    const int left = 28;
    const int64_t most = std::max<int64_t>(1, *std::max_element(days_.begin(), days_.end()));
    static const char* const kWeekdays[] = {"一", "", "三", "", "五", "", "日"};
    p.setPen(palette().color(QPalette::WindowText));
    for (int row = 0; row < 7; ++row)
        p.drawText(QRect(0, row * cell, left - 4, cell), Qt::AlignRight | Qt::AlignVCenter,
                   QString::fromUtf8(kWeekdays[row]));
    // The last column is the current week; days after today stay empty.
    const QDate first = today_.addDays(-(days_.size() - 1));
    const QDate firstMonday = first.addDays(-(first.dayOfWeek() - 1));
    for (qsizetype i = 0; i < days_.size(); ++i) {
        const QDate day = first.addDays(i);
        const int column = static_cast<int>(firstMonday.daysTo(day) / 7) -
                           static_cast<int>(firstMonday.daysTo(today_) / 7) + ProgressReport::kCalendarWeeks -
                           1;
        if (column < 0)
            continue;
        const QRectF box(left + column * cell + 1, (day.dayOfWeek() - 1) * cell + 1, cell - 3, cell - 3);
        QColor colour = kNewColor;
        if (days_[i] > 0) {
            const double share = 0.25 + 0.75 * static_cast<double>(days_[i]) / static_cast<double>(most);
            colour = QColor::fromRgbF(1 - share * (1 - kLearntColor.redF()),
                                      1 - share * (1 - kLearntColor.greenF()),
                                      1 - share * (1 - kLearntColor.blueF()));
        }
        p.setPen(day == today_ ? QPen(palette().color(QPalette::WindowText), 1.2) : Qt::NoPen);
        p.setBrush(colour);
        p.drawRoundedRect(box, 3, 3);
    }
}

CProgressWindow::CProgressWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("progressWindow"));
    setWindowTitle(QStringLiteral("学习进度"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 14);
    layout->setSpacing(8);

    totals_ = new QLabel(this);
    totals_->setObjectName(QStringLiteral("totals"));
    layout->addWidget(totals_);

    layout->addWidget(Heading(QStringLiteral("词库进度"), this));
    auto* legend = new QLabel(Swatch(kLearntColor) + QStringLiteral(" 已掌握　") + Swatch(kProgressColor) +
                                  QStringLiteral(" 学习中　") + Swatch(kNewColor) + QStringLiteral(" 未学"),
                              this);
    layout->addWidget(legend);
    auto* listsBox = new QWidget(this);
    lists_ = new QVBoxLayout(listsBox);
    lists_->setContentsMargins(0, 0, 0, 0);
    lists_->setSpacing(4);
    layout->addWidget(listsBox);

    dueTitle_ = Heading(QString(), this);
    layout->addWidget(dueTitle_);
    dueChart_ = new QChart();
    dueChart_->legend()->hide();
    dueChart_->setMargins(QMargins(0, 0, 0, 0));
    dueChart_->setBackgroundRoundness(0);
    auto* series = new QBarSeries();
    dueSet_ = new QBarSet(QStringLiteral("待复习"));
    dueSet_->setColor(kDueColor);
    dueSet_->setBorderColor(kDueColor);
    series->append(dueSet_);
    series->setBarWidth(0.8);
    dueChart_->addSeries(series);
    // A value axis rather than categories: thirty category labels do not fit the width
    // and come out as ellipses, while a label every fifth run reads well.
    auto* runs = new QValueAxis();
    runs->setRange(-0.5, ListCounts::kDueRuns - 0.5);
    runs->setTickType(QValueAxis::TicksDynamic);
    runs->setTickAnchor(0);
    runs->setTickInterval(5);
    runs->setLabelFormat(QStringLiteral("%d"));
    runs->setGridLineVisible(false);
    QFont small = runs->labelsFont();
    small.setPointSizeF(8);
    runs->setLabelsFont(small);
    runs->setTitleText(QStringLiteral("距今第几次运行（0 = 本次）"));
    runs->setTitleFont(small);
    dueChart_->addAxis(runs, Qt::AlignBottom);
    series->attachAxis(runs);
    auto* count = new QValueAxis();
    count->setLabelFormat(QStringLiteral("%d"));
    dueChart_->addAxis(count, Qt::AlignLeft);
    series->attachAxis(count);
    auto* view = new QChartView(dueChart_, this);
    view->setObjectName(QStringLiteral("dueChart"));
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumHeight(190);
    layout->addWidget(view);

    layout->addWidget(Heading(QStringLiteral("最近 12 周每天学习的单词"), this));
    calendar_ = new CStudyCalendar(this);
    layout->addWidget(calendar_);
    resize(700, 660);
}

void CProgressWindow::ShowReport(const ProgressReport& report) {
    UpdateReport(report);
    show();
    raise();
    activateWindow();
}

void CProgressWindow::UpdateReport(const ProgressReport& report) {
    report_ = report;
    Fill();
}

void CProgressWindow::Fill() {
    const ProgressReport& r = report_;
    totals_->setText(
        QStringLiteral(
            "今天：学习 %1 个单词，%2 分钟\n累计：学习 %3 天，%4 个单词次，开始学习 %5 个新词，%6 分钟")
            .arg(r.shownToday)
            .arg(Minutes(r.studyMsToday))
            .arg(r.daysStudied)
            .arg(r.shownTotal)
            .arg(r.startedTotal)
            .arg(Minutes(r.studyMsTotal)));

    while (QLayoutItem* item = lists_->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    for (const ListProgress& list : r.lists) {
        const ListCounts& c = list.counts;
        auto* row = new QWidget();
        row->setObjectName(QStringLiteral("list_") + c.list);
        auto* grid = new QGridLayout(row);
        grid->setContentsMargins(0, 2, 0, 2);
        grid->setHorizontalSpacing(10);
        auto* name = list.current ? Heading(list.displayName + QStringLiteral("（当前）"), row)
                                  : new QLabel(list.displayName, row);
        auto* figures = new QLabel(QStringLiteral("已掌握 %1 · 学习中 %2 · 未学 %3 / 共 %4")
                                       .arg(c.learnt)
                                       .arg(c.inProgress)
                                       .arg(c.Fresh())
                                       .arg(c.total),
                                   row);
        figures->setObjectName(QStringLiteral("figures"));
        grid->addWidget(name, 0, 0);
        grid->addWidget(figures, 0, 1, Qt::AlignRight);
        grid->addWidget(new CListBar(c, row), 1, 0, 1, 2);
        lists_->addWidget(row);
    }
    if (r.lists.isEmpty())
        lists_->addWidget(new QLabel(QStringLiteral("没有打开的词库"), this));

    const ListCounts due = r.lists.isEmpty() ? ListCounts{} : r.lists.front().counts;
    dueTitle_->setText(QStringLiteral("今后 30 次运行中每次待复习的单词（%1）")
                           .arg(r.lists.isEmpty() ? QString() : r.lists.front().displayName));
    QList<qreal> values;
    int most = 1;
    for (int n : due.due) {
        values << n;
        most = std::max(most, n);
    }
    dueSet_->remove(0, dueSet_->count());
    dueSet_->append(values);
    const auto axes = dueChart_->axes(Qt::Vertical);
    if (!axes.isEmpty()) {
        auto* axis = static_cast<QValueAxis*>(axes.front());
        axis->setRange(0, std::max(most, 4));
        axis->applyNiceNumbers();
    }
    calendar_->SetDays(r.today, r.calendar);
}

} // namespace mnemora
