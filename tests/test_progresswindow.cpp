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
        ProgressReport report;
        report.today = QDate(2026, 5, 10);
        report.calendar = QList<int64_t>(84, 0);
        report.calendar.last() = 45;
        report.shownToday = 45;
        report.studyMsToday = 660'000;
        report.shownTotal = 52;
        report.startedTotal = 17;
        report.studyMsTotal = 780'000;
        report.daysStudied = 2;
        ListCounts cet4;
        cet4.list = QStringLiteral("cet4");
        cet4.total = 8;
        cet4.learnt = 2;
        cet4.inProgress = 4;
        cet4.due[0] = 2;
        cet4.due[5] = 1;
        ListCounts nce2;
        nce2.list = QStringLiteral("nce2");
        nce2.total = 4;
        nce2.learnt = 4;
        report.lists = {{cet4, QStringLiteral("大学英语四级"), true, true}, {nce2, QStringLiteral("新概念英语NCE 第二册"), false, false}};

        CProgressWindow window;
        window.ShowReport(report);
        QCOMPARE(window.windowTitle(), QStringLiteral("学习进度"));
        QCOMPARE(window.findChild<QLabel*>(QStringLiteral("totals"))->text(),
                 QStringLiteral("今天：学习 45 个单词，11 分钟\n累计：学习 2 天，52 个单词次，开始学习 17 个新词，13 分钟"));

        const struct {
            const char* row;
            const char* figures;
        } rows[] = {{"list_cet4", "已掌握 2 · 学习中 4 · 未学 2 / 共 8"}, {"list_nce2", "已掌握 4 · 学习中 0 · 未学 0 / 共 4"}};
        for (const auto& r : rows) {
            auto* row = window.findChild<QWidget*>(QString::fromLatin1(r.row));
            QVERIFY2(row != nullptr, r.row);
            QCOMPARE(row->findChild<QLabel*>(QStringLiteral("figures"))->text(), QString::fromUtf8(r.figures));
        }

        auto* view = window.findChild<QChartView*>(QStringLiteral("dueChart"));
        auto* series = qobject_cast<QBarSeries*>(view->chart()->series().front());
        QBarSet* due = series->barSets().front();
        QCOMPARE(due->count(), 30);
        QCOMPARE((QList<qreal>{due->at(0), due->at(1), due->at(5)}), (QList<qreal>{2, 0, 1}));
        // Thirty runs do not fit a label each: one every fifth run, from run 0.
        auto* runs = qobject_cast<QValueAxis*>(view->chart()->axes(Qt::Horizontal).front());
        QVERIFY(runs != nullptr);
        QCOMPARE((QList<qreal>{runs->min(), runs->max(), runs->tickAnchor(), runs->tickInterval()}),
                 (QList<qreal>{-0.5, 29.5, 0, 5}));

        // New figures replace the old rows rather than adding to them; with no list there
        // is a line saying so and an empty chart.
        const struct {
            int lists;
            const char* absent;
            qreal firstDue;
        } updates[] = {{1, "list_nce2", 2}, {0, "list_cet4", 0}};
        for (const auto& u : updates) {
            report.lists.resize(u.lists);
            window.UpdateReport(report);
            QVERIFY2(window.findChild<QWidget*>(QString::fromLatin1(u.absent)) == nullptr, u.absent);
            QCOMPARE(due->at(0), u.firstDue);
        }
        bool saysNoList = false;
        for (const QLabel* label : window.findChildren<QLabel*>())
            saysNoList = saysNoList || label->text() == QStringLiteral("没有打开的词库");
        QVERIFY(saysNoList);
    }
};

QTEST_MAIN(TestProgressWindow)
#include "test_progresswindow.moc"
