#include "progress/ProgressWindow.h"
#include "settings/ui/Heading.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace mnemora {
namespace {

const QColor kLearntColor(0x2e, 0x9e, 0x5b);
const QColor kProgressColor(0xf0, 0xa2, 0x2e);
const QColor kNewColor(0xd9, 0xdd, 0xe3);
const QColor kDueColor(0x3b, 0x7d, 0xd8);

constexpr int kCell = 18;         // calendar square with its gap
constexpr int kWeekdayWidth = 28; // calendar weekday names

QString Minutes(int64_t ms) {
    return QString::number((ms + 30'000) / 60'000);
}

QString Swatch(const QColor& colour) {
    return QStringLiteral("<span style='color:%1'>■</span>").arg(colour.name());
}

QColor LevelColour(int level) {
    if (level <= 0)
        return kNewColor;
    const double share = static_cast<double>(level) / (kCalendarLevels - 1);
    return QColor::fromRgbF(static_cast<float>(1 - share * (1 - kLearntColor.redF())),
                            static_cast<float>(1 - share * (1 - kLearntColor.greenF())),
                            static_cast<float>(1 - share * (1 - kLearntColor.blueF())));
}

QFont SmallFont(const QWidget* widget) {
    QFont font = widget->font();
    font.setPointSizeF(std::max(7.0, font.pointSizeF() * 0.85));
    return font;
}

} // namespace

bool DueChart::Empty() const {
    return std::all_of(bars.begin(), bars.end(), [](int n) { return n == 0; });
}

DueChart MakeDueChart(const ListCounts& counts, const RunPace& pace) {
    DueChart chart;
    if (pace.runsPerDay <= 0) {
        for (int run = 0; run < ListCounts::kDueRuns; ++run) {
            chart.bars << counts.due[static_cast<size_t>(run)];
            chart.labels << (run % 5 == 0 ? QString::number(run) : QString());
            chart.tips << (run == 0 ? QStringLiteral("本轮") : QStringLiteral("第 %1 轮").arg(run));
        }
        chart.axisTitle = QStringLiteral("复习轮次（0 = 本轮）");
        chart.note =
            QStringLiteral("一轮复习：启动一次程序，或把词库中到期的单词学完一遍。学习几天后改按天数估算。");
        return chart;
    }
    chart.bars = QList<int>(DueChart::kDays, 0);
    int later = 0;
    for (int run = 0; run < ListCounts::kDueRuns; ++run) {
        const int n = counts.due[static_cast<size_t>(run)];
        // Run k comes after k more steps of the clock; run 0 is due now, or overdue.
        const double day = std::floor(run / pace.runsPerDay);
        if (day < DueChart::kDays)
            chart.bars[static_cast<qsizetype>(day)] += n;
        else
            later += n;
    }
    for (int day = 0; day < DueChart::kDays; ++day) {
        const QString after = QStringLiteral("%1 天后").arg(day);
        chart.labels << (day == 0 ? QStringLiteral("今天") : day % 7 == 0 ? after : QString());
        chart.tips << (day == 0 ? QStringLiteral("今天") : day == 1 ? QStringLiteral("明天") : after);
    }
    chart.axisTitle = QStringLiteral("到期时间（按天估算）");
    chart.note = QStringLiteral("按最近 %1 天的学习估算：每天约 %2 轮复习")
                     .arg(pace.days)
                     .arg(QString::number(pace.runsPerDay, 'g', 2));
    if (later > 0)
        chart.note += QStringLiteral("；%1 天以后到期的还有 %2 个").arg(DueChart::kDays).arg(later);
    return chart;
}

QList<int> CountTicks(int most) {
    most = std::max(most, 1);
    int step = 1;
    for (int i = 1, scale = 1; (most + step - 1) / step > 5; ++i) {
        if (i % 3 == 0)
            scale *= 10;
        step = scale * (i % 3 == 0 ? 1 : i % 3 == 1 ? 2 : 5);
    }
    QList<int> ticks;
    for (int t = 0; t < most + step; t += step)
        ticks << t;
    return ticks;
}

QList<QPair<int, QString>> CalendarMonths(const QDate& today, int weeks) {
    const QDate lastMonday = today.addDays(1 - today.dayOfWeek());
    QList<QPair<int, QString>> months;
    for (int column = 0; column < weeks; ++column) {
        const QDate monday = lastMonday.addDays(7 * (column - weeks + 1));
        const QDate sunday = monday.addDays(6);
        if (sunday.day() <= 7) // the first of sunday's month lies in this week
            months.append({column, QStringLiteral("%1月").arg(sunday.month())});
    }
    // The first column's month too, when its name has room before the next one.
    if (months.isEmpty() || months.front().first >= 3)
        months.prepend({0, QStringLiteral("%1月").arg(lastMonday.addDays(-7 * (weeks - 1)).month())});
    return months;
}

int CalendarLevel(int64_t shown, int64_t most) {
    if (shown <= 0)
        return 0;
    const int64_t steps = kCalendarLevels - 1;
    const int64_t level = (shown * steps + std::max<int64_t>(most, 1) - 1) / std::max<int64_t>(most, 1);
    return static_cast<int>(std::clamp<int64_t>(level, 1, steps));
}

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

CDueChartView::CDueChartView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("dueChart"));
    setMinimumHeight(170);
}

void CDueChartView::SetChart(DueChart chart) {
    chart_ = std::move(chart);
    update();
}

QRectF CDueChartView::Plot() const {
    const QFontMetrics metrics(SmallFont(this));
    const QList<int> ticks =
        CountTicks(chart_.bars.isEmpty() ? 1 : *std::max_element(chart_.bars.begin(), chart_.bars.end()));
    const int left = metrics.horizontalAdvance(QString::number(ticks.last())) + 10;
    const int top = metrics.height() / 2 + 2;
    const int bottom = 2 * metrics.height() + 8;
    return QRectF(left, top, width() - left - 10, height() - top - bottom);
}

void CDueChartView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setFont(SmallFont(this));
    const QColor text = palette().color(QPalette::WindowText);
    const QRectF plot = Plot();
    if (chart_.Empty()) {
        QFont big = font();
        big.setPointSizeF(font().pointSizeF() * 1.2);
        p.setFont(big);
        p.setPen(palette().color(QPalette::PlaceholderText));
        p.drawText(rect(), Qt::AlignCenter, QStringLiteral("暂无数据"));
        return;
    }
    const QList<int> ticks = CountTicks(*std::max_element(chart_.bars.begin(), chart_.bars.end()));
    const double top = ticks.last();
    const QFontMetrics metrics(p.font());
    for (int tick : ticks) {
        const double y = plot.bottom() - plot.height() * tick / top;
        QColor line = text;
        line.setAlphaF(tick == 0 ? 0.6f : 0.12f);
        p.setPen(QPen(line, 1));
        p.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        p.setPen(text);
        p.drawText(QRectF(0, y - metrics.height() / 2.0, plot.left() - 6, metrics.height()),
                   Qt::AlignRight | Qt::AlignVCenter, QString::number(tick));
    }
    const double slot = plot.width() / chart_.bars.size();
    p.setPen(Qt::NoPen);
    p.setBrush(kDueColor);
    for (qsizetype i = 0; i < chart_.bars.size(); ++i) {
        const double h = plot.height() * chart_.bars[i] / top;
        p.drawRect(QRectF(plot.left() + i * slot + slot * 0.15, plot.bottom() - h, slot * 0.7, h));
    }
    p.setPen(text);
    for (qsizetype i = 0; i < chart_.labels.size(); ++i) {
        if (chart_.labels[i].isEmpty())
            continue;
        const double w = metrics.horizontalAdvance(chart_.labels[i]) + 4;
        const double x = std::clamp(plot.left() + (i + 0.5) * slot - w / 2, 0.0, width() - w);
        p.drawText(QRectF(x, plot.bottom() + 3, w, metrics.height()), Qt::AlignCenter, chart_.labels[i]);
    }
    p.drawText(QRectF(plot.left(), plot.bottom() + 5 + metrics.height(), plot.width(), metrics.height()),
               Qt::AlignCenter, chart_.axisTitle);
}

bool CDueChartView::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip)
        return QWidget::event(event);
    auto* help = static_cast<QHelpEvent*>(event);
    const QRectF plot = Plot();
    const qsizetype i =
        chart_.bars.isEmpty() || chart_.Empty() || help->pos().x() < plot.left()
            ? -1
            : static_cast<qsizetype>((help->pos().x() - plot.left()) / (plot.width() / chart_.bars.size()));
    if (i < 0 || i >= chart_.bars.size() || i >= chart_.tips.size()) {
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    QToolTip::showText(help->globalPos(), QStringLiteral("%1：%2 个").arg(chart_.tips[i]).arg(chart_.bars[i]),
                       this);
    return true;
}

CStudyCalendar::CStudyCalendar(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("calendar"));
}

QSize CStudyCalendar::sizeHint() const {
    const int line = QFontMetrics(SmallFont(this)).height();
    return {kWeekdayWidth + ProgressReport::kCalendarWeeks * kCell + 2, line + 4 + 7 * kCell + line + 8};
}

void CStudyCalendar::SetDays(const QDate& today, const QList<int64_t>& shownPerDay) {
    today_ = today;
    days_ = shownPerDay;
    update();
}

QDate CStudyCalendar::DayAt(const QPoint& point) const {
    const int top = QFontMetrics(SmallFont(this)).height() + 4;
    if (!today_.isValid() || point.x() < kWeekdayWidth || point.y() < top)
        return {};
    const int column = (point.x() - kWeekdayWidth) / kCell;
    const int row = (point.y() - top) / kCell;
    if (column >= ProgressReport::kCalendarWeeks || row >= 7)
        return {};
    const QDate lastMonday = today_.addDays(1 - today_.dayOfWeek());
    const QDate day = lastMonday.addDays(7 * (column - ProgressReport::kCalendarWeeks + 1) + row);
    return day <= today_ && day > today_.addDays(-days_.size()) ? day : QDate();
}

void CStudyCalendar::paintEvent(QPaintEvent*) {
    if (!today_.isValid() || days_.isEmpty())
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setFont(SmallFont(this));
    const int line = p.fontMetrics().height();
    const int top = line + 4;
    const QColor text = palette().color(QPalette::WindowText);
    const int64_t most = *std::max_element(days_.begin(), days_.end());
    static const char* const kWeekdays[] = {"一", "", "三", "", "五", "", "日"};
    p.setPen(text);
    for (int row = 0; row < 7; ++row)
        p.drawText(QRect(0, top + row * kCell, kWeekdayWidth - 4, kCell), Qt::AlignRight | Qt::AlignVCenter,
                   QString::fromUtf8(kWeekdays[row]));
    for (const auto& [column, month] : CalendarMonths(today_, ProgressReport::kCalendarWeeks))
        p.drawText(QRect(kWeekdayWidth + column * kCell, 0, 3 * kCell, line), Qt::AlignLeft | Qt::AlignBottom,
                   month);
    for (int x = kWeekdayWidth; x < kWeekdayWidth + ProgressReport::kCalendarWeeks * kCell; x += kCell) {
        for (int y = top; y < top + 7 * kCell; y += kCell) {
            const QDate day = DayAt(QPoint(x, y));
            if (!day.isValid())
                continue;
            const int64_t shown = days_[days_.size() - 1 - day.daysTo(today_)];
            p.setPen(day == today_ ? QPen(text, 1.2) : Qt::NoPen);
            p.setBrush(LevelColour(CalendarLevel(shown, most)));
            p.drawRoundedRect(QRectF(x + 1, y + 1, kCell - 3, kCell - 3), 3, 3);
        }
    }
    // The colour steps, from nothing to the busiest day, under the right end of the grid.
    const int legendTop = top + 7 * kCell + 4;
    const QString few = QStringLiteral("少");
    const QString many = QStringLiteral("多");
    const int right = kWeekdayWidth + ProgressReport::kCalendarWeeks * kCell;
    int x = right - p.fontMetrics().horizontalAdvance(many);
    p.setPen(text);
    p.drawText(QRect(x, legendTop, kCell * 2, line), Qt::AlignLeft | Qt::AlignVCenter, many);
    p.setPen(Qt::NoPen);
    for (int level = kCalendarLevels - 1; level >= 0; --level) {
        x -= kCell - 4;
        p.setBrush(LevelColour(level));
        const int box = kCell - 6;
        p.drawRoundedRect(QRectF(x, legendTop + (line - box) / 2.0, box, box), 2, 2);
    }
    x -= p.fontMetrics().horizontalAdvance(few) + 4;
    p.setPen(text);
    p.drawText(QRect(x, legendTop, kCell * 2, line), Qt::AlignLeft | Qt::AlignVCenter, few);
}

bool CStudyCalendar::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip)
        return QWidget::event(event);
    auto* help = static_cast<QHelpEvent*>(event);
    const QDate day = DayAt(help->pos());
    if (!day.isValid()) {
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    const int64_t shown = days_[days_.size() - 1 - day.daysTo(today_)];
    QToolTip::showText(help->globalPos(),
                       QStringLiteral("%1月%2日：%3 个单词").arg(day.month()).arg(day.day()).arg(shown),
                       this);
    return true;
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

    auto* dueHead = new QHBoxLayout();
    dueHead->addWidget(Heading(QStringLiteral("单词何时需要复习"), this));
    dueHead->addStretch();
    dueList_ = new QComboBox(this);
    dueList_->setObjectName(QStringLiteral("dueList"));
    dueHead->addWidget(dueList_);
    layout->addLayout(dueHead);
    dueChart_ = new CDueChartView(this);
    layout->addWidget(dueChart_, 1);
    dueNote_ = new QLabel(this);
    dueNote_->setObjectName(QStringLiteral("dueNote"));
    dueNote_->setWordWrap(true);
    dueNote_->setFont(SmallFont(this));
    layout->addWidget(dueNote_);
    connect(dueList_, &QComboBox::currentIndexChanged, this, &CProgressWindow::ShowDue);

    layout->addWidget(Heading(QStringLiteral("最近 12 周每天学习的单词"), this));
    calendar_ = new CStudyCalendar(this);
    layout->addWidget(calendar_);
    resize(700, 720);
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
    // Both lines in the same units: minutes, showings of words, words begun, words learnt.
    totals_->setText(QStringLiteral("今天：学习 %1 分钟，单词出现 %2 次，新学 %3 个，掌握 %4 个\n"
                                    "累计：学习 %5 分钟（%6 天），单词出现 %7 次，新学 %8 个，掌握 %9 个")
                         .arg(Minutes(r.studyMsToday))
                         .arg(r.shownToday)
                         .arg(r.startedToday)
                         .arg(r.learntToday)
                         .arg(Minutes(r.studyMsTotal))
                         .arg(r.daysStudied)
                         .arg(r.shownTotal)
                         .arg(r.startedTotal)
                         .arg(r.learntTotal));
    FillLists();

    // Every list can be charted; the one picked stays picked when the figures are renewed.
    const QString picked = dueList_->currentData().toString();
    {
        const QSignalBlocker block(dueList_);
        dueList_->clear();
        for (const ListProgress& list : r.lists)
            dueList_->addItem(list.current ? list.displayName + QStringLiteral("（当前）") : list.displayName,
                              list.counts.list);
        dueList_->setCurrentIndex(std::max(0, dueList_->findData(picked)));
    }
    ShowDue();
    calendar_->SetDays(r.today, r.calendar);
}

void CProgressWindow::FillLists() {
    while (QLayoutItem* item = lists_->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    bool anyCurrent = false;
    for (const ListProgress& list : report_.lists) {
        const ListCounts& c = list.counts;
        anyCurrent = anyCurrent || list.current;
        if (!list.current && c.learnt == 0 && c.inProgress == 0)
            continue; // the untouched lists are still in the box above the chart
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
    if (!anyCurrent)
        lists_->addWidget(new QLabel(QStringLiteral("没有打开的词库"), this));
}

void CProgressWindow::ShowDue() {
    const QString table = dueList_->currentData().toString();
    const auto it = std::find_if(report_.lists.begin(), report_.lists.end(),
                                 [&](const ListProgress& list) { return list.counts.list == table; });
    const DueChart chart = MakeDueChart(it != report_.lists.end() ? it->counts : ListCounts{}, report_.pace);
    dueNote_->setText(chart.note);
    dueNote_->setVisible(!chart.Empty());
    dueChart_->SetChart(chart);
}

} // namespace mnemora
