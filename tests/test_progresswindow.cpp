// The progress window shows the figures it is given.
#include "progress/ProgressWindow.h"

#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QLabel>
#include <QTest>
#include <QValueAxis>

using namespace mnemora;

class TestProgressWindow final : public QObject {
    Q_OBJECT
private slots:
    void showsTheFiguresOfTheReport() {
        const ListCounts cet4{
            .list = "cet4", .total = 8, .learnt = 2, .inProgress = 4, .due = {2, 0, 0, 0, 0, 1}};
        const ListCounts nce2{.list = "nce2", .total = 4, .learnt = 4};
        ProgressReport report{
            .today = QDate(2026, 5, 10),
            .lists = {{cet4, "大学英语四级", true, true}, {nce2, "新概念英语NCE 第二册", false, false}},
            .calendar = QList<int64_t>(84, 0),
            .shownTotal = 52,
            .startedTotal = 17,
            .studyMsTotal = 780'000,
            .daysStudied = 2,
            .shownToday = 45,
            .studyMsToday = 660'000};
        report.calendar.last() = 45;
        CProgressWindow window;
        window.ShowReport(report);
        QCOMPARE(
            window.findChild<QLabel*>("totals")->text(),
            QStringLiteral(
                "今天：学习 45 个单词，11 分钟\n累计：学习 2 天，52 个单词次，开始学习 17 个新词，13 分钟"));
        const auto figures = [&window](const char* list) {
            const auto* row = window.findChild<QWidget*>(QStringLiteral("list_") + list);
            return row != nullptr ? row->findChild<QLabel*>("figures")->text() : QString("(no row)");
        };
        QCOMPARE(figures("cet4"), QStringLiteral("已掌握 2 · 学习中 4 · 未学 2 / 共 8"));
        QCOMPARE(figures("nce2"), QStringLiteral("已掌握 4 · 学习中 0 · 未学 0 / 共 4"));

        auto* chart = window.findChild<QChartView*>("dueChart")->chart();
        QBarSet* due = qobject_cast<QBarSeries*>(chart->series().front())->barSets().front();
        QCOMPARE(due->count(), 30);
        QCOMPARE((QList<qreal>{due->at(0), due->at(1), due->at(5)}), (QList<qreal>{2, 0, 1}));
        // Thirty runs do not fit a label each: one every fifth run, from run 0.
        auto* runs = qobject_cast<QValueAxis*>(chart->axes(Qt::Horizontal).front());
        QVERIFY(runs != nullptr);
        QCOMPARE((QList<qreal>{runs->min(), runs->max(), runs->tickAnchor(), runs->tickInterval()}),
                 (QList<qreal>{-0.5, 29.5, 0, 5}));

        // New figures replace the old rows rather than adding to them; with no list there
        // is a line saying so and an empty chart.
        report.lists.resize(1);
        window.UpdateReport(report);
        QCOMPARE(figures("nce2"), QStringLiteral("(no row)"));
        QCOMPARE(due->at(0), 2);
        report.lists.clear();
        window.UpdateReport(report);
        QCOMPARE(figures("cet4"), QStringLiteral("(no row)"));
        QCOMPARE(due->at(0), 0);
        const QList<QLabel*> labels = window.findChildren<QLabel*>();
        QVERIFY(std::any_of(labels.begin(), labels.end(), [](const QLabel* label) {
            return label->text() == QStringLiteral("没有打开的词库");
        }));
    }
};

QTEST_MAIN(TestProgressWindow)
#include "test_progresswindow.moc"
