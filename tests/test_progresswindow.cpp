// The progress window shows the figures it is given, and any list can be charted.
#include "progress/ProgressWindow.h"

#include <QComboBox>
#include <QLabel>
#include <QTest>

using namespace mnemora;

namespace {
// The bars that are not empty ("day:words") and the labels that are not ("day'label'").
QString Sketch(const DueChart& chart) {
    QStringList parts;
    for (int i = 0; i < chart.bars.size(); ++i)
        parts << (chart.bars[i] != 0 ? QString("%1:%2").arg(i).arg(chart.bars[i]) : QString());
    for (int i = 0; i < chart.labels.size(); ++i)
        parts << (chart.labels[i].isEmpty() ? QString() : QString("%1'%2'").arg(i).arg(chart.labels[i]));
    parts.removeAll(QString());
    return parts.join(' ');
}
} // namespace

class TestProgressWindow final : public QObject {
    Q_OBJECT
private slots:
    // Due words by day when the pace is known (run k falls on day floor(k / pace)), by run
    // otherwise; words beyond the chart are counted in the note.
    void dueChartInDaysOrRuns() {
        ListCounts counts;
        for (const auto& [run, n] : {std::pair{0, 2}, {1, 1}, {3, 4}, {15, 5}, {31, 6}})
            counts.due[run] = n;
        const QString days("0'今天' 7'7 天后' 14'14 天后' 21'21 天后' 28'28 天后'");
        for (const auto& [pace, sketch, noteEnd] :
             {std::tuple{0.0, QString("0:2 1:1 3:4 15:5 31:6 0'0' 5'5' 10'10' 15'15' 20'20' 25'25' 30'30'"),
                         "改按天数估算。"},
              {2.0, "0:3 1:4 7:5 15:6 " + days, "每天约 2 轮复习"},
              {0.5, "0:2 2:1 6:4 " + days, "每天约 0.5 轮复习；30 天以后到期的还有 11 个"}}) {
            const DueChart chart = MakeDueChart(counts, RunPace{pace, 7});
            QCOMPARE(Sketch(chart), sketch);
            QVERIFY(chart.labels.size() == chart.bars.size() && chart.tips.size() == chart.bars.size());
            QVERIFY2(chart.note.endsWith(noteEnd) && !chart.Empty(), qPrintable(chart.note));
        }
        QVERIFY(MakeDueChart(ListCounts{}, RunPace{2, 7}).Empty() && MakeDueChart(ListCounts{}, {}).Empty());
    }

    void countAxisAndCalendarScale() {
        const QList<QPair<int, QList<int>>> ticks = {// clang-format off
            {0, {0, 1}}, {1, {0, 1}}, {5, {0, 1, 2, 3, 4, 5}}, {7, {0, 2, 4, 6, 8}},
            {23, {0, 5, 10, 15, 20, 25}}, {101, {0, 50, 100, 150}}}; // clang-format on
        for (const auto& [most, expected] : ticks)
            QCOMPARE(CountTicks(most), expected);
        for (const auto& [shown, most, level] :
             {std::tuple{0, 10, 0}, {1, 100, 1}, {50, 100, 2}, {51, 100, 3}, {100, 100, 4}})
            QCOMPARE(CalendarLevel(shown, most), level);
        // A month is named over the week holding its first day; the first column's month
        // only when its name has room.
        using Months = QList<QPair<int, QString>>;
        QCOMPARE(CalendarMonths(QDate(2026, 12, 8), 12), (Months{{1, "10月"}, {5, "11月"}, {10, "12月"}}));
        QCOMPARE(CalendarMonths(QDate(2026, 4, 22), 12), (Months{{0, "2月"}, {3, "3月"}, {8, "4月"}}));
    }

    void showsTheFiguresOfTheReport() {
        // clang-format off
        ProgressReport report{.today = QDate(2026, 5, 10),
            .lists = {{{.list = "cet4", .total = 8, .learnt = 2, .inProgress = 4, .due = {2, 0, 0, 0, 0, 1}},
                       "大学英语四级", true, true},
                      {{.list = "nce2", .total = 4, .learnt = 4}, "新概念英语NCE 第二册", false, false},
                      {{.list = "gre", .total = 3000}, "GRE", false, true}},
            .calendar = QList<int64_t>(84, 0), .shownTotal = 52, .startedTotal = 17, .learntTotal = 3,
            .studyMsTotal = 780'000, .daysStudied = 2,
            .shownToday = 45, .startedToday = 10, .learntToday = 2, .studyMsToday = 660'000};
        // clang-format on
        report.calendar.last() = 45;
        CProgressWindow window;
        window.ShowReport(report);
        QCOMPARE(window.findChild<QLabel*>("totals")->text(),
                 QStringLiteral("今天：学习 11 分钟，单词出现 45 次，新学 10 个，掌握 2 个\n"
                                "累计：学习 13 分钟（2 天），单词出现 52 次，新学 17 个，掌握 3 个"));
        // The lists' rows by name and figures; an untouched list is only in the box.
        const auto rows = [&window] {
            QStringList shown;
            for (const QLabel* figures : window.findChildren<QLabel*>("figures"))
                shown << figures->parent()->objectName() + ' ' + figures->text();
            return shown;
        };
        QCOMPARE(rows(), (QStringList{"list_cet4 已掌握 2 · 学习中 4 · 未学 2 / 共 8",
                                      "list_nce2 已掌握 4 · 学习中 0 · 未学 0 / 共 4"}));

        // Every list is in the box; the current one is charted first, in runs without a pace.
        auto* box = window.findChild<QComboBox*>("dueList");
        QStringList items;
        for (int i = 0; i < box->count(); ++i)
            items << box->itemText(i);
        QCOMPARE(items, (QStringList{"大学英语四级（当前）", "新概念英语NCE 第二册", "GRE"}));
        const auto* chart = window.findChild<CDueChartView*>("dueChart");
        QVERIFY(chart->Chart().bars.value(0) == 2 && chart->Chart().bars.value(5) == 1);
        QVERIFY(window.findChild<QLabel*>("dueNote")->text().startsWith(QStringLiteral("一轮复习")));
        QVERIFY(!window.grab().isNull());

        // A picked list stays picked when the figures are renewed, now in days.
        box->setCurrentIndex(1);
        QVERIFY(chart->Chart().Empty());
        QVERIFY(!window.grab().isNull()); // "暂无数据"
        report.lists[1].counts.due[2] = 3;
        report.pace = RunPace{2, 7};
        window.UpdateReport(report);
        QVERIFY(box->currentIndex() == 1 && chart->Chart().bars.value(1) == 3);

        // New figures replace the old rows rather than adding to them; without a list open
        // there is a line saying so.
        report.lists.resize(1);
        window.UpdateReport(report);
        QVERIFY(rows().size() == 1 && box->count() == 1 && chart->Chart().bars.value(0) == 2);
        report.lists[0].current = false;
        report.lists[0].counts = ListCounts{.list = "cet4"};
        window.UpdateReport(report);
        QVERIFY(chart->Chart().Empty());
        QStringList texts;
        for (const QLabel* label : window.findChildren<QLabel*>())
            texts << label->text();
        QVERIFY(texts.contains(QStringLiteral("没有打开的词库")));
    }
};

QTEST_MAIN(TestProgressWindow)
#include "test_progresswindow.moc"
