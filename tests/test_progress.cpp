// "I know this word", the daily history and the progress figures, on fixture lists and
// virtual time.
#include "StudyRig.h"
#include "TestData.h"
#include "store/WordCatalogue.h"
#include "study/KnownWords.h"
#include "study/ProgressData.h"
#include "study/StudyHistory.h"

#include <QDir>
#include <QRegularExpression>
#include <QTest>
#include <algorithm>

using namespace mnemora;

namespace {

// Words w1..wN in manual playback without sentences (each step shows word and meaning),
// RunTimes 10, the first word on show.
struct Marking {
    explicit Marking(int words = 6) {
        rig.Begin(Words(words), 10, false, false);
        c.AddObserver(&known);
        c.StepDisplay(); // w1
    }
    QString Shown() const { return rig.view.shown.last().text.section(QStringLiteral("  ["), 0, 0); }
    StudyRig rig;
    CStudyCycle& c = *rig.cycle;
    CKnownWords known{c, *rig.store};
};

} // namespace

class TestProgress final : public QObject {
    Q_OBJECT
private slots:
    void markWritesAtOnceAndStepsOn() {
        Marking m;
        QVERIFY(m.known.MarkShownWord());
        // Written before any batch end, with the seventh show's interval; the next word is on show.
        QCOMPARE(m.rig.FileCounters(1), qMakePair(qint64{7}, qint64{10 + 90}));
        QVERIFY(m.Shown() == "w2" && m.c.LearningStatsText().endsWith(
                                         QStringLiteral("已经完全记住单词数：1\n需要继续学习单词数：5")));
        QCOMPARE(m.rig.BatchWords(), (QStringList{"w2", "w3", "w4", "w5", "w6"}));
        // Neither the second pass nor the batch's write-back touches the marked row again.
        const qsizetype from = m.rig.statements.size();
        for (int i = 0; i < 12; ++i)
            m.c.NextWord();
        QVERIFY(m.rig.WrittenCounters(from).filter(QRegularExpression(QStringLiteral("^1:"))).isEmpty());
        QCOMPARE(m.rig.FileCounters(1), qMakePair(qint64{7}, qint64{100}));
    }

    // The last twenty marks of the current walk are undone, the latest first.
    void undoRestoresTheLastMarks() {
        Marking m(30);
        for (int i = 0; i < 25; ++i)
            QVERIFY(m.known.MarkShownWord());
        // Each undo writes the counters back as after the word's one showing and shows it again.
        int index = 25;
        for (; m.known.UndoLastMark(); --index) {
            QCOMPARE(m.rig.FileCounters(index), qMakePair(qint64{1}, qint64{11}));
            QCOMPARE(m.Shown(), QStringLiteral("w%1").arg(index));
        }
        QCOMPARE(index, 25 - CKnownWords::kUndoDepth);
        QVERIFY(m.rig.store->learntCount() == index && m.rig.BatchWords().count(QStringLiteral("w25")) == 1);
        // A new selection of the table (a wrap, another list) rebuilt the walk counters from
        // the file: the older marks are no longer undone.
        QVERIFY(m.known.MarkShownWord());
        m.rig.store->OpenWordTable();
        QVERIFY(!m.known.CanUndo());
    }

    void markingTheLastWordEndsTheBatch() {
        Marking m(1); // the whole list is learnt now: the next scheduling congratulates and resets it
        QVERIFY(m.known.MarkShownWord() &&
                m.rig.view.messages.value(0).first.startsWith(QStringLiteral("恭喜你")));
    }

    void historyAddsUpDaysListsAndCappedTime() {
        // Steps "<ms later><kind><showTimes>", kind w a first-pass word, s a second-pass word,
        // e a sentence, k a mark, b a batch saved. Days: day of month, shown, started, learnt, studyMs.
        const struct {
            const char* name;
            const char* start;
            const char* steps;
            QList<QList<int64_t>> days;
        } cases[] = {
            // clang-format off
            // Two first showings ever; a 10-minute pause counts the 60 s cap; a second-pass
            // showing counts time only; the mark adds a learnt word and no time.
            {"capped time", "2026-03-01T23:47:00", "0w1 8000w2 8000e0 600000w7 30000s3 50000w1 0k0",
             {{1, 4, 2, 2, (8 + 8 + 60 + 30 + 50) * 1000}}},
            // Time is split at midnight, and a later flush adds to the day's row.
            {"midnight", "2026-03-01T23:59:40", "0w2 30000w2 0b0 20000w2 0b0",
             {{1, 1, 0, 0, 20'000}, {2, 2, 0, 0, 30'000}}},
        }; // clang-format on
        for (const auto& t : cases) {
            StudyRig rig;
            rig.WriteList(Words(3));
            rig.Open();
            QDateTime now = QDateTime::fromString(QString::fromLatin1(t.start), Qt::ISODate);
            rig.cycle->wordPeriod = 8000;
            const QString path = rig.dir.filePath(QStringLiteral("history.sqlite"));
            CStudyHistory history(
                *rig.cycle, *rig.store, [&] { return path; }, [&] { return now; });
            for (const QString& step : QString::fromLatin1(t.steps).split(u' ')) {
                const qsizetype k = step.indexOf(QRegularExpression(QStringLiteral("[a-z]")));
                now = now.addMSecs(step.left(k).toLongLong());
                WordRecord r;
                r.showTimes = step.mid(k + 1).toUInt();
                switch (step[k].toLatin1()) { // clang-format off
                case 'e': history.OnSentenceShown(r, 1); break;
                case 'k': history.OnWordMarked(true); break;
                case 'b': history.OnBatchSaved(); break;
                default: history.OnWordShown(r, step[k] == u'w');
                } // clang-format on
            }
            QVERIFY2(history.Flush() && history.Pending().isEmpty(), t.name);
            // The clock goes with the figures, for telling runs in days.
            const auto clock = history.File().RunTimesByDay(QDate(2026, 3, 1), QDate(2026, 3, 2));
            QVERIFY2(!clock.isEmpty() && clock.last() == qMakePair(now.date(), rig.cycle->CurrentRunTimes()),
                     t.name);
            QList<QList<int64_t>> days;
            for (const DayRow& d : history.File().Days(QDate(2026, 3, 1), QDate(2026, 3, 2))) {
                QCOMPARE(d.list, QStringLiteral("cet4"));
                days.append({d.day.day(), d.shown, d.started, d.learnt, d.studyMs});
            }
            QVERIFY2(days == t.days, t.name);
        }
    }

    void damagedHistoryIsSetAsideAndStartedAfresh() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("history.sqlite"));
        QVERIFY(testdata::WriteFile(path, QByteArray(4096, 'x')));
        CHistoryFile file(path);
        QVERIFY(file.AddDays({DayRow{QDate(2026, 1, 2), QStringLiteral("gre"), 5, 1, 0, 1000}}));
        QCOMPARE(file.Days(QDate(2026, 1, 1), QDate(2026, 1, 3)).size(), 1);
        const QStringList aside = QDir(dir.path()).entryList({QStringLiteral("history.sqlite.damaged-*")});
        QCOMPARE(testdata::ReadFile(dir.filePath(aside.value(0))), QByteArray(4096, 'x'));
    }

    void progressFiguresOfAFixtureList() {
        StudyRig rig;
        // RunTimes 20: two learnt, three in progress (due now, overdue, in 5 runs, in 31 runs,
        // the longest interval of a word in progress), two new.
        QList<fixture::Row> rows = Words(8);
        const int counters[][2] = {{7, 99}, {9, 0}, {1, 20}, {3, 12}, {2, 25}, {6, 51}, {0, 0}, {0, 0}};
        for (int i = 0; i < 8; ++i)
            rows[i].showTimes = counters[i][0], rows[i].toShowTime = counters[i][1];
        rig.WriteList(rows);
        rig.WriteList(Words(4, 7), QStringLiteral("nce.dat"), QStringLiteral("nce2"));
        rig.WriteList(Words(3), QStringLiteral("nce.dat"), QStringLiteral("nce1"));
        CHistoryFile history(rig.dir.filePath(QStringLiteral("history.sqlite")));
        history.AddDays({DayRow{QDate(2026, 5, 10), QStringLiteral("cet4"), 40, 10, 2, 600'000},
                         DayRow{QDate(2026, 5, 10), QStringLiteral("nce2"), 5, 0, 0, 60'000},
                         DayRow{QDate(2026, 2, 1), QStringLiteral("cet4"), 7, 7, 1, 120'000}});
        history.PutRunTimes(QDate(2026, 5, 6), 8);
        CProgressData data(rig.store->dbFolder(), history);
        ProgressReport report = data.Build(0, 0, 20, QDate(2026, 5, 10));
        // Every list can be picked: the current one first, the rest in catalogue order.
        QCOMPARE(report.lists.size(), qsizetype(kCatalogue.size()));
        QVERIFY(report.lists[0].current && report.lists[1].counts.list == "cet6" &&
                report.lists[1].counts.total == 0);
        const ListCounts& cet4 = report.lists[0].counts;
        QCOMPARE((QList<int>{cet4.total, cet4.learnt, cet4.inProgress, cet4.Fresh()}),
                 (QList<int>{8, 2, 4, 2}));
        QCOMPARE((QList<int>{cet4.due[0], cet4.due[5], cet4.due[31]}), (QList<int>{2, 1, 1}));
        QVERIFY(report.calendar.size() == 84 && report.calendar.last() == 45);
        QCOMPARE((QList<int64_t>{report.shownTotal, report.shownToday, report.startedToday,
                                 report.learntTotal, report.studyMsToday, report.daysStudied}),
                 (QList<int64_t>{52, 45, 10, 3, 660'000, 2}));
        // Twelve runs in four days; today's clock is kept for the next opening.
        QVERIFY(report.pace.runsPerDay == 3.0 && report.pace.days == 4);
        QCOMPARE(history.RunTimesByDay(QDate(2026, 5, 10), QDate(2026, 5, 10)).value(0).second, 20u);
        // The other lists: counted apart, kept, and found again without opening their files.
        data.Merge(report, data.CountOtherLists(0, 0, 20));
        const auto nce2 = [](const ProgressReport& r) {
            return std::find_if(r.lists.begin(), r.lists.end(),
                                [](const ListProgress& p) { return p.counts.list == "nce2"; })
                ->counts.learnt;
        };
        QCOMPARE(nce2(report), 4);
        QCOMPARE(nce2(data.Build(0, 0, 20, QDate(2026, 5, 10))), 4);
    }

    // Runs per day from the clock's daily values: the earliest day of the last four weeks
    // that the clock has not gone back below.
    void paceFromTheDailyClock() {
        const QDate today(2026, 5, 10);
        const struct {
            const char* name;
            QList<QPair<int, uint32_t>> kept; // days before today, RunTimes then
            uint32_t now;
            double runsPerDay;
            int days;
        } cases[] = {
            {"no history", {}, 20, 0, 0},
            {"today only", {{0, 18}}, 20, 0, 0},
            {"since yesterday", {{1, 17}, {0, 19}}, 20, 3.0, 1},
            {"earliest of the window", {{10, 10}, {3, 40}}, 50, 4.0, 10},
            {"older than four weeks", {{29, 0}, {2, 44}}, 50, 3.0, 2},
            {"clock set back", {{5, 900}, {4, 42}}, 50, 2.0, 4},
            {"no run since", {{6, 50}}, 50, 0, 0},
        };
        for (const auto& t : cases) {
            QList<QPair<QDate, uint32_t>> kept;
            for (const auto& [ago, runs] : t.kept)
                kept.append({today.addDays(-ago), runs});
            const RunPace pace = EstimatePace(kept, today, t.now);
            QVERIFY2(pace.runsPerDay == t.runsPerDay && pace.days == t.days, t.name);
        }
    }
};

QTEST_GUILESS_MAIN(TestProgress)
#include "test_progress.moc"
