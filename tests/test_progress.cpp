// "I know this word", the daily history and the progress figures, on fixture lists and
// virtual time.
#include "StudyRig.h"
#include "settings/SettingsFile.h"
#include "study/KnownWords.h"
#include "study/ProgressData.h"
#include "study/StudyHistory.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <numeric>

using namespace mnemora;

namespace {

// Words w1..w6 in manual playback without sentences (each step shows word and meaning),
// RunTimes 10, the first word on show.
struct Marking {
    Marking() {
        rig.WriteList(Words(6));
        rig.SetSetting("Software", "RunTimes", 10);
        c.cachedRunTimes = 10;
        c.autoPlay = false;
        c.showSentence = false;
        rig.Open();
        c.AddObserver(&known);
        c.ScheduleNextBatch();
        c.StepDisplay(); // w1
    }
    QString Shown() const { return rig.view.shown.last().text.section(QStringLiteral("  ["), 0, 0); }
    QPair<qint64, qint64> FileCounters(int index) const {
        return fixture::Counters(rig.DbFile(QStringLiteral("cet4.dat")), QStringLiteral("cet4"), index).value();
    }
    QStringList BatchWords() const {
        QStringList words;
        for (auto p = rig.store->batch.begin(); p != rig.store->batch.end(); p = WordBatch::Next(p))
            words << WordBatch::At(p).word;
        return words;
    }
    StudyRig rig;
    CStudyCycle& c = *rig.cycle;
    CKnownWords known{c, *rig.store};
};

QDateTime At(const char* text) {
    return QDateTime::fromString(QString::fromLatin1(text), Qt::ISODate);
}

} // namespace

class TestProgress final : public QObject {
    Q_OBJECT
private slots:
    void markWritesAtOnceAndStepsOn() {
        Marking m;
        QVERIFY(m.known.MarkShownWord());
        // Written before any batch end, with the seventh show's interval; the next word is on show.
        QCOMPARE(m.FileCounters(1), qMakePair(qint64{7}, qint64{10 + 90}));
        QCOMPARE(m.Shown(), QStringLiteral("w2"));
        QCOMPARE(m.rig.store->learntCount, 1);
        QVERIFY(m.c.LearningStatsText().contains(QStringLiteral("已经完全记住单词数：1")));
        QCOMPARE(m.BatchWords(), (QStringList{"w2", "w3", "w4", "w5", "w6"}));

        // Neither the second pass nor the batch's write-back touches the marked row again.
        const qsizetype from = m.rig.statements.size();
        for (int i = 0; i < 12; ++i)
            m.c.NextWord();
        for (const QString& written : m.rig.WrittenCounters(from))
            QVERIFY2(!written.startsWith(QStringLiteral("1:")), qPrintable(written));
        QCOMPARE(m.FileCounters(1), qMakePair(qint64{7}, qint64{100}));
    }

    void undoRestoresTheLastMarks() {
        Marking m;
        QVERIFY(m.known.MarkShownWord()); // w1
        QVERIFY(m.known.MarkShownWord()); // w2
        QCOMPARE(m.Shown(), QStringLiteral("w3"));
        QCOMPARE(m.rig.store->learntCount, 2);
        QVERIFY(m.known.UndoLastMark());
        QCOMPARE(m.FileCounters(2), qMakePair(qint64{1}, qint64{11})); // as after its one showing
        QCOMPARE(m.Shown(), QStringLiteral("w2"));
        QVERIFY(m.known.UndoLastMark());
        QCOMPARE(m.FileCounters(1), qMakePair(qint64{1}, qint64{11}));
        QCOMPARE(m.rig.store->learntCount, 0);
        QVERIFY(!m.known.UndoLastMark());
        QCOMPARE(m.BatchWords().count(QStringLiteral("w2")), 1);
    }

    void undoKeepsTwentyMarksOfTheCurrentWalk() {
        StudyRig rig;
        rig.WriteList(Words(30));
        rig.Open();
        CStudyCycle& c = *rig.cycle;
        c.autoPlay = false;
        c.showSentence = false;
        CKnownWords known(c, *rig.store);
        c.AddObserver(&known);
        c.ScheduleNextBatch();
        c.StepDisplay();
        for (int i = 0; i < 25; ++i)
            QVERIFY(known.MarkShownWord());
        int undone = 0;
        while (known.UndoLastMark())
            ++undone;
        QCOMPARE(undone, CKnownWords::kUndoDepth);
        QCOMPARE(rig.store->learntCount, 5);

        // A new selection of the table (a wrap, another list) rebuilt the walk counters from
        // the file: the older marks are no longer undone.
        QVERIFY(known.MarkShownWord());
        rig.store->db.CloseRecordset();
        rig.store->OpenWordTable();
        QVERIFY(!known.CanUndo());
    }

    void markingTheLastWordEndsTheBatch() {
        StudyRig rig;
        rig.WriteList(Words(1));
        rig.Open();
        CStudyCycle& c = *rig.cycle;
        c.autoPlay = false;
        CKnownWords known(c, *rig.store);
        c.AddObserver(&known);
        c.ScheduleNextBatch();
        c.StepDisplay();
        // The whole list is learnt now: the next scheduling congratulates and resets it.
        QVERIFY(known.MarkShownWord());
        QVERIFY(!rig.view.messages.isEmpty());
        QVERIFY(rig.view.messages.front().first.startsWith(QStringLiteral("恭喜你")));
    }

    void historyCountsDaysListsAndCappedTime() {
        StudyRig rig;
        rig.WriteList(Words(3));
        rig.Open();
        QDateTime now = At("2026-03-01T23:47:00");
        CStudyCycle& c = *rig.cycle;
        c.wordPeriod = 8000;
        const QString path = rig.dir.filePath(QStringLiteral("history.sqlite"));
        CStudyHistory history(c, *rig.store, [&] { return path; }, [&] { return now; });

        struct Step {
            int64_t afterMs;
            uint32_t showTimes; // 0: a sentence step
            bool firstPass;
        };
        // A first showing ever, a word and a sentence 8 s apart, a 10-minute pause (counts the
        // 60 s cap), a second-pass showing (time only) and another first showing.
        const Step steps[] = {{0, 1, true},       {8000, 2, true},    {8000, 0, true},
                              {600'000, 7, true}, {30'000, 3, false}, {50'000, 1, true}};
        for (const Step& s : steps) {
            now = now.addMSecs(s.afterMs);
            WordRecord r;
            r.showTimes = s.showTimes;
            if (s.showTimes == 0)
                history.OnSentenceShown(r, 1);
            else
                history.OnWordShown(r, s.firstPass);
        }
        history.OnWordMarked(true);
        QVERIFY(history.Flush());
        QVERIFY(history.Pending().isEmpty());

        const QList<DayRow> rows = history.File().Days(QDate(2026, 3, 1), QDate(2026, 3, 2));
        QCOMPARE(rows.size(), 1);
        // The mark, at the moment of the last showing, adds a learnt word and no time.
        QCOMPARE((QList<int64_t>{rows[0].shown, rows[0].started, rows[0].learnt, rows[0].studyMs}),
                 (QList<int64_t>{4, 2, 2, (8 + 8 + 60 + 30 + 50) * 1000}));
    }

    void historySplitsAtMidnightAndAddsUp() {
        StudyRig rig;
        rig.WriteList(Words(3));
        rig.Open();
        QDateTime now = At("2026-03-01T23:59:40");
        const QString path = rig.dir.filePath(QStringLiteral("history.sqlite"));
        CStudyHistory history(*rig.cycle, *rig.store, [&] { return path; }, [&] { return now; });
        WordRecord r;
        r.showTimes = 2;
        history.OnWordShown(r, true); // 23:59:40
        now = now.addSecs(30);
        history.OnWordShown(r, true); // 00:00:10
        history.OnBatchSaved();
        now = now.addSecs(20);
        history.OnWordShown(r, true); // 00:00:30, in a second flush
        history.OnBatchSaved();

        const QList<DayRow> rows = history.File().Days(QDate(2026, 3, 1), QDate(2026, 3, 2));
        QCOMPARE(rows.size(), 2);
        QCOMPARE((QList<int64_t>{rows[0].shown, rows[0].studyMs}), (QList<int64_t>{1, 20'000}));
        QCOMPARE((QList<int64_t>{rows[1].shown, rows[1].studyMs}), (QList<int64_t>{2, 30'000}));
        QCOMPARE(rows[1].list, QStringLiteral("cet4"));
    }

    void damagedHistoryIsSetAsideAndStartedAfresh() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("history.sqlite"));
        QFile junk(path);
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write(QByteArray(4096, 'x'));
        junk.close();

        CHistoryFile file(path);
        QVERIFY(file.AddDays({DayRow{QDate(2026, 1, 2), QStringLiteral("gre"), 5, 1, 0, 1000}}));
        QCOMPARE(file.Days(QDate(2026, 1, 1), QDate(2026, 1, 3)).size(), 1);
        const QStringList aside = QDir(dir.path()).entryList({QStringLiteral("history.sqlite.damaged-*")});
        QCOMPARE(aside.size(), 1);
        QFile kept(dir.filePath(aside.front()));
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray(4096, 'x'));
    }

    void progressFiguresOfAFixtureList() {
        StudyRig rig;
        // RunTimes 20: two learnt, three in progress (due now, overdue, in 5 runs; one
        // beyond 30 runs is not charted), two new.
        QList<fixture::Row> rows = Words(8);
        const int counters[][2] = {{7, 99}, {9, 0}, {1, 20}, {3, 12}, {2, 25}, {6, 60}, {0, 0}, {0, 0}};
        for (int i = 0; i < 8; ++i) {
            rows[i].showTimes = counters[i][0];
            rows[i].toShowTime = counters[i][1];
        }
        rig.WriteList(rows);
        rig.WriteList(Words(4, 7), QStringLiteral("nce.dat"), QStringLiteral("nce2"));
        rig.WriteList(Words(3), QStringLiteral("nce.dat"), QStringLiteral("nce1"));
        CHistoryFile history(rig.dir.filePath(QStringLiteral("history.sqlite")));
        history.AddDays({DayRow{QDate(2026, 5, 10), QStringLiteral("cet4"), 40, 10, 2, 600'000},
                         DayRow{QDate(2026, 5, 10), QStringLiteral("nce2"), 5, 0, 0, 60'000},
                         DayRow{QDate(2026, 2, 1), QStringLiteral("cet4"), 7, 7, 0, 120'000}});

        CProgressData data(rig.store->dbFolder, history);
        ProgressReport report = data.Build(0, 0, 20, QDate(2026, 5, 10));
        QCOMPARE(report.lists.size(), 1);
        const ListCounts& cet4 = report.lists[0].counts;
        QCOMPARE((QList<int>{cet4.total, cet4.learnt, cet4.inProgress, cet4.Fresh()}), (QList<int>{8, 2, 4, 2}));
        QCOMPARE((QList<int>{cet4.due[0], cet4.due[5], cet4.due[29]}), (QList<int>{2, 1, 0}));
        QCOMPARE(std::accumulate(cet4.due.begin(), cet4.due.end(), 0), 3);
        QCOMPARE(report.calendar.size(), 84);
        QCOMPARE(report.calendar.last(), 45);
        QCOMPARE((QList<int64_t>{report.shownTotal, report.shownToday, report.studyMsToday, report.daysStudied}),
                 (QList<int64_t>{52, 45, 660'000, 2}));

        // The other lists: counted apart, kept, and shown when they have progress.
        data.Merge(report, data.CountOtherLists(0, 0, 20));
        QCOMPARE(report.lists.size(), 2);
        QCOMPARE(report.lists[1].counts.list, QStringLiteral("nce2"));
        QCOMPARE(report.lists[1].counts.learnt, 4);
        const ProgressReport again = data.Build(0, 0, 20, QDate(2026, 5, 10));
        QCOMPARE(again.lists.size(), 2); // from the kept counts, no file opened
    }
};

QTEST_GUILESS_MAIN(TestProgress)
#include "test_progress.moc"
