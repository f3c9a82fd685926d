// The progress window shows the figures it is given, and any list can be charted.
#include "progress/ProgressWindow.h"

#include <QComboBox>
#include <QLabel>
#include <QTest>

using namespace mnemora;

class TestProgressWindow final : public QObject {
    Q_OBJECT
private slots:
    // Due words by day when the pace is known (run k falls on day floor(k / pace)), by run
    // otherwise; words beyond the chart are counted in the note.
    void dueChartInDaysOrRuns() {
        ListCounts counts;
        for (const auto& [run, n] : {std::pair{0, 2}, {1, 1}, {3, 4}, {15, 5}, {31, 6}})
            counts.due[run] = n;
        const struct {
            const char* name;
            double pace;
            QList<QPair<int, int>> bars; // the bars that are not empty
            QList<QPair<int, QString>> labels;
            QString noteEnd;
        } cases[] = {
            // clang-format off
            {"runs", 0, {{0, 2}, {1, 1}, {3, 4}, {15, 5}, {31, 6}}, {{0, "0"}, {1, ""}, {5, "5"}, {30, "30"}},
             "改按天数估算。"},
            {"two runs a day", 2, {{0, 3}, {1, 4}, {7, 5}, {15, 6}}, {{0, "今天"}, {7, "7 天后"}, {8, ""}},
             "每天约 2 轮复习"},
            {"a run every other day", 0.5, {{0, 2}, {2, 1}, {6, 4}}, {{28, "28 天后"}},
             "每天约 0.5 轮复习；30 天以后到期的还有 11 个"},
        }; // clang-format on
        for (const auto& t : cases) {
            const DueChart chart = MakeDueChart(counts, RunPace{t.pace, 7});
            QList<QPair<int, int>> bars;
            for (int i = 0; i < chart.bars.size(); ++i)
                if (chart.bars[i] != 0)
                    bars.append({i, chart.bars[i]});
            QVERIFY2(bars == t.bars, t.name);
            QVERIFY2(chart.labels.size() == chart.bars.size() && chart.tips.size() == chart.bars.size(),
                     t.name);
            for (const auto& [i, label] : t.labels)
                QVERIFY2(chart.labels.value(i) == label, t.name);
            QVERIFY2(chart.note.endsWith(t.noteEnd) && !chart.Empty(), qPrintable(chart.note));
        }
        QVERIFY(MakeDueChart(ListCounts{}, RunPace{2, 7}).Empty() && MakeDueChart(ListCounts{}, {}).Empty());
    }

    void countAxisAndCalendarScale() {
        const QList<QPair<int, QList<int>>> ticks = {// clang-format off
            {0, {0, 1}}, {1, {0, 1}}, {5, {0, 1, 2, 3, 4, 5}}, {7, {0, 2, 4, 6, 8}},
            {23, {0, 5, 10, 15, 20, 25}}, {101, {0, 50, 100, 150}}}; // clang-format on
        for (const auto& [most, expected] : ticks)
            QCOMPARE(CountTicks(most), expected);
        const QList<QList<int64_t>> levels = {
            {0, 10, 0}, {1, 100, 1}, {50, 100, 2}, {51, 100, 3}, {100, 100, 4}};
        for (const QList<int64_t>& l : levels)
            QCOMPARE(CalendarLevel(l[0], l[1]), int(l[2]));
        // A month is named over the week holding its first day; the first column's month
        // only when its name has room.
        using Months = QList<QPair<int, QString>>;
        QCOMPARE(CalendarMonths(QDate(2026, 12, 8), 12), (Months{{1, "10月"}, {5, "11月"}, {10, "12月"}}));
        QCOMPARE(CalendarMonths(QDate(2026, 4, 22), 12), (Months{{0, "2月"}, {3, "3月"}, {8, "4月"}}));
    }

    void showsTheFiguresOfTheReport() {
        const ListCounts cet4{
            .list = "cet4", .total = 8, .learnt = 2, .inProgress = 4, .due = {2, 0, 0, 0, 0, 1}};
        const ListCounts nce2{.list = "nce2", .total = 4, .learnt = 4};
        const ListCounts gre{.list = "gre", .total = 3000};
        // clang-format off
        ProgressReport report{.today = QDate(2026, 5, 10),
                              .lists = {{cet4, "大学英语四级", true, true}, {nce2, "新概念英语NCE 第二册", false, false},
                                        {gre, "GRE", false, true}},
                              .calendar = QList<int64_t>(84, 0),
                              .shownTotal = 52, .startedTotal = 17, .learntTotal = 3, .studyMsTotal = 780'000,
                              .daysStudied = 2,
                              .shownToday = 45, .startedToday = 10, .learntToday = 2, .studyMsToday = 660'000};
        // clang-format on
        report.calendar.last() = 45;
        CProgressWindow window;
        window.ShowReport(report);
        QCOMPARE(window.findChild<QLabel*>("totals")->text(),
                 QStringLiteral("今天：学习 11 分钟，单词出现 45 次，新学 10 个，掌握 2 个\n"
                                "累计：学习 13 分钟（2 天），单词出现 52 次，新学 17 个，掌握 3 个"));
        const auto figures = [&window](const char* list) {
            const auto* row = window.findChild<QWidget*>(QStringLiteral("list_") + list);
            return row != nullptr ? row->findChild<QLabel*>("figures")->text() : QString("(no row)");
        };
        QCOMPARE(figures("cet4"), QStringLiteral("已掌握 2 · 学习中 4 · 未学 2 / 共 8"));
        QCOMPARE(figures("nce2"), QStringLiteral("已掌握 4 · 学习中 0 · 未学 0 / 共 4"));
        QCOMPARE(figures("gre"), QStringLiteral("(no row)")); // untouched: only in the box

        // Every list is in the box; the current one is charted first, in runs without a pace.
        auto* box = window.findChild<QComboBox*>("dueList");
        QStringList items;
        for (int i = 0; i < box->count(); ++i)
            items << box->itemText(i);
        QCOMPARE(items, (QStringList{"大学英语四级（当前）", "新概念英语NCE 第二册", "GRE"}));
        const auto* chart = window.findChild<CDueChartView*>("dueChart");
        QCOMPARE((QList<int>{chart->Chart().bars.value(0), chart->Chart().bars.value(5)}),
                 (QList<int>{2, 1}));
        QVERIFY(window.findChild<QLabel*>("dueNote")->text().startsWith(QStringLiteral("一轮复习")));
        QVERIFY(!window.grab().isNull());

        // A picked list stays picked when the figures are renewed, now in days.
        box->setCurrentIndex(1);
        QVERIFY(chart->Chart().Empty());
        QVERIFY(!window.grab().isNull()); // "暂无数据"
        report.lists[1].counts.due[2] = 3;
        report.pace = RunPace{2, 7};
        window.UpdateReport(report);
        QCOMPARE(box->currentIndex(), 1);
        QCOMPARE(chart->Chart().bars.value(1), 3);

        // New figures replace the old rows rather than adding to them; without a list open
        // there is a line saying so.
        report.lists.resize(1);
        window.UpdateReport(report);
        QVERIFY(figures("nce2") == "(no row)" && box->count() == 1 && chart->Chart().bars.value(0) == 2);
        report.lists[0].current = false;
        report.lists[0].counts = ListCounts{.list = "cet4"};
        window.UpdateReport(report);
        QVERIFY(chart->Chart().Empty());
        const QList<QLabel*> labels = window.findChildren<QLabel*>();
        QVERIFY(std::any_of(labels.begin(), labels.end(), [](const QLabel* label) {
            return label->text() == QStringLiteral("没有打开的词库");
        }));
    }
};

QTEST_MAIN(TestProgressWindow)
#include "test_progresswindow.moc"
