// The word store on real encrypted list files (opening lists, reading rows, the batch and its
// write-back), and the study cycle on them and virtual time: scheduling and saving, playback by
// timer and by key, pausing while away, "I know this word", the daily history and the progress
// figures.
#include "RecordingMessageBox.h"
#include "StudyRig.h"
#include "TestData.h"
#include "platform/PresenceSource.h"
#include "store/WordCatalogue.h"
#include "store/WordStore.h"
#include "study/AwayWatch.h"
#include "study/KnownWords.h"
#include "study/ProgressData.h"
#include "study/StudyHistory.h"

#include <QDir>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <random>
#include <sqlcipher/sqlite3.h>

using namespace mnemora;

namespace {

int commits = 0; // on files in rollback-journal mode, counted by the journals they delete

// A store on one list of the test folder, its table selected.
struct OpenList {
    RecordingMessageBox box;
    CWordStore store;
    OpenList(const QString& program, int index, int category) : store(box, program) {
        store.OpenWordList(index, category);
        store.OpenWordTable();
    }
};

// A second connection holding the write lock, so that every write of the store fails.
std::unique_ptr<sqlite3, int (*)(sqlite3*)> WriteLock(const QString& path) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_key(db, fixture::kPassword, int(sizeof fixture::kPassword - 1));
    sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    return {db, sqlite3_close_v2};
}

// Every word of the batch once per pass; the end of the second saves it and schedules the next.
void RunBatch(StudyRig& rig) {
    for (int pass = 0; pass < 2; ++pass) {
        while (rig.cycle->batchCursor != rig.store->batch.end())
            rig.cycle->StepDisplay();
        rig.cycle->EndOfBatch();
    }
}

// w1 has both sentences, w2 none and no pronunciation, w3 only the first, w4 only
// the second (and a first of blanks), so its sentences are skipped.
const QList<fixture::Row> kFourWords{{1, "abandon", 0, 0, "əˈbændən", "v. 放弃",
                                      "They had to abandon the car.", "他们只好弃车。",
                                      "  Never abandon hope.", "永不放弃希望。"},
                                     {2, "bay", 0, 0, "", "n. 海湾"},
                                     {3, "cab", 0, 0, "kæb", "n. 出租车", "Take a cab.", "打车。"},
                                     {4, "dab", 0, 0, "dæb", "v. 轻拍", "   ", "", "Dab it.", "轻拍它。"}};

// The trace with the fixture words' texts by name: M1 the meaning of w1, S21 its second sentence.
QStringList Named(const StudyRig& rig) {
    const QString m1 = QStringLiteral("abandon  [ əˈbændən ]\r\nv. 放弃"),
                  m3 = QStringLiteral("cab  [ kæb ]\r\nn. 出租车");
    const QMap<QString, QString> names{
        {m1, "M1"},
        {m1 + QStringLiteral("\r\nThey had to abandon the car.\r\n他们只好弃车。"), "S11"},
        {m1 + QStringLiteral("\r\nNever abandon hope.\r\n永不放弃希望。"), "S21"},
        {QStringLiteral("bay  [  ]\r\nn. 海湾"), "M2"},
        {m3, "M3"},
        {m3 + QStringLiteral("\r\nTake a cab.\r\n打车。"), "S13"},
        {QStringLiteral("dab  [ dæb ]\r\nv. 轻拍"), "M4"}};
    return rig.Trace([&](const QString& text) { return names.value(text, text); });
}

// Runs a script of keys and commands: "M"/"A" manual/automatic playback, "h" hide or show, "o" the
// options sheet, "t" the tray's double click, "n"/"p" next/previous word, "s" a new batch scheduled,
// "a"/"b" away and back; a number advances virtual time to it. Nothing may tick while away.
void Play(StudyRig& rig, const QString& script) {
    CStudyCycle& c = *rig.cycle;
    for (const QString& key : script.split(u' ')) {
        switch (key[0].toLatin1()) { // clang-format off
        case 'M': c.OnCommand(CStudyCycle::kCmdManualPlay); break;
        case 'A': c.OnCommand(CStudyCycle::kCmdAutoPlay); break;
        case 'h': c.OnCommand(CStudyCycle::kCmdToggleFloat); break;
        case 'o': c.OnCommand(CStudyCycle::kCmdOptions); break;
        case 't': c.OnTrayDoubleClick(); break;
        case 'n': c.NextWord(); break;
        case 'p': c.PrevWord(); break;
        case 's': c.ScheduleNextBatch(); break;
        case 'a': c.SetAway(true); break;
        case 'b': c.SetAway(false); break;
        default: rig.clock.AdvanceTo(key.toULongLong());
        } // clang-format on
        QVERIFY2(!c.IsAway() || !rig.view.AnyTimerArmed(), qPrintable(script));
    }
}

class FakePresence final : public IPresenceSource {
public:
    PresenceState State() const override { return state; }
    void SetIdleLimit(uint32_t ms) override { idleLimit = ms; }
    void SetWatchFullScreen(bool on) override { watchFullScreen = on; }
    void Set(PresenceState next) { emit changed(state = next); }
    PresenceState state;
    uint32_t idleLimit = 0;
    bool watchFullScreen = false;
};

// Words w1..wN without sentences, RunTimes 10, the first batch scheduled, "I know this word"
// attached. Manual playback shows word and meaning per step, the first at once.
struct Rig : StudyRig {
    explicit Rig(int words = 4, bool autoPlay = true) {
        Begin(Words(words), 10, autoPlay, false);
        c.AddObserver(&known);
        if (!autoPlay)
            c.StepDisplay();
    }
    // The last text shown: "w2" for a word, "m2" for its meaning.
    QString Shown() const {
        const QString text = LastShown();
        return (text.contains(u'[') ? u'm' : u'w') + text.section(u' ', 0, 0).mid(1);
    }
    CStudyCycle& c = *cycle;
    CKnownWords known{c, *store};
};

} // namespace

class TestStudy final : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString program_; // a fake program file whose folder holds db/ (cet6.dat is missing)

    bool Write(const char* file, const char* table, const QList<fixture::Row>& rows) {
        return fixture::WriteTable(dir_.filePath(QStringLiteral("db/") + QLatin1String(file)), table, rows);
    }

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid() && QDir(dir_.path()).mkpath(QStringLiteral("db")));
        program_ = dir_.filePath(QStringLiteral("mnemora"));
        // nce4 is missing from nce.dat; toefl has a row of NULLs but the word.
        QVERIFY(
            Write("gre.dat", "gre", fixture::GeneratedRows(5)) &&
            Write("nce.dat", "nce2", fixture::GeneratedRows(4, 7, 300)) &&
            Write("nce.dat", "nce3", fixture::GeneratedRows(6)) && Write("cet4.dat", "cet4", {}) &&
            Write("ielts.dat", "ielts",
                  fixture::GeneratedRows(5) << fixture::Row{4464, "alias"} << fixture::Row{70000, "wide"}) &&
            Write("toefl.dat", "toefl", {{{}, "  able ", {}, {}, {}, {}, {}, {}, {}, {}}}));
        static sqlite3_vfs* const base = sqlite3_vfs_find(nullptr);
        static sqlite3_vfs counting = *base;
        counting.zName = "counting";
        counting.xDelete = [](sqlite3_vfs*, const char* name, int syncDir) {
            commits += QByteArray(name).endsWith("-journal") ? 1 : 0;
            return base->xDelete(base, name, syncDir);
        };
        QCOMPARE(sqlite3_vfs_register(&counting, 1), SQLITE_OK);
    }

    void opensListsByKey() {
        // Index, category -> table, rows, open.
        const std::tuple<int, int, const char*, int, int> lists[] = {
            {4, 0, "gre", 5, 1}, {2, 1, "nce3", 6, 1}, {0, 0, "cet4", 0, 1}, {1, 0, "cet6", 0, 0}};
        for (const auto& [index, category, table, rows, isOpen] : lists) {
            const OpenList list(program_, index, category);
            QCOMPARE(QByteArray(list.store.tableName()), QByteArray(table));
            QCOMPARE(list.store.recordCount(), rows);
            QCOMPARE(list.store.isOpen(), isOpen);
            // A missing list is told once; the failed select after it is silent.
            QCOMPARE(list.box.shown.size(), 1 - isOpen);
            if (!isOpen)
                QVERIFY(list.box.shown[0].first.startsWith(
                            QStringLiteral("打开数据库失败！ADO 错误：0x80004005，")) &&
                        list.box.shown[0].second == MessageIcon::Error);
        }
    }

    void readsRowsWithNullsAndBlanks() {
        OpenList toefl(program_, 3, 0);
        WordRecord r;
        r.index = 99;
        r.wordChn = QStringLiteral("stale");
        toefl.store.ReadRow(r);
        QVERIFY(r.word == QStringLiteral("able ") && r.index == 1 && r.showTimes == 0 &&
                r.wordChn.isEmpty() && r.sentence2.isEmpty());
    }

    void saveBatchWritesEachRecordInOneCommit() {
        OpenList ielts(program_, 2, 0);
        // Counters go out as signed decimals; 70000 cut to 16 bits would name the alias row 4464.
        for (const auto& [index, shown] : {std::pair{5, 1u}, {4464, 3u}, {70000, 1u}}) {
            WordRecord r;
            r.index = index;
            r.showTimes = shown;
            r.toShowTime = 4294967295u;
            ielts.store.batch.Append(r);
        }
        const int before = commits;
        ielts.store.SaveBatch();
        QCOMPARE(commits - before, 1);
        // Reopened, as a change of list does, the store writes through its new connection
        // while its selection is open.
        ielts.store.OpenWordList(2, 0);
        ielts.store.OpenWordTable();
        for (auto p = ielts.store.batch.begin(); p != ielts.store.batch.end(); p = WordBatch::Next(p))
            ++WordBatch::At(p).showTimes;
        ielts.store.SaveBatch();
        ielts.store.Close();
        QCOMPARE(
            fixture::Select(dir_.filePath(QStringLiteral("db/ielts.dat")),
                            QStringLiteral("SELECT showTimes, toShowTime FROM ielts WHERE \"index\" > 4000")),
            (QList<QStringList>{{"4", "-1"}, {"2", "-1"}}));
    }

    void resetZeroesTheWholeTable() {
        OpenList nce2(program_, 1, 1);
        QVERIFY(nce2.store.ResetTable());
        WordRecord r;
        nce2.store.ReadRow(r);
        QVERIFY(r.showTimes == 0 && r.toShowTime == 0);
        OpenList nce4(program_, 3, 1); // not in the file: the reset fails and says why
        QVERIFY(!nce4.store.ResetTable() && nce4.store.LastError().contains(QStringLiteral("nce4")));
    }

    void workedExample() {
        StudyRig rig;
        QVERIFY(rig.WriteList(Words(3)));
        WriteProfileUInt("Software", "RunTimes", 4);
        CStudyCycle& c = *rig.cycle;
        c.autoPlay = c.showSentence = false;
        QCOMPARE(c.CountStart(), 5u);
        rig.Open();
        c.ScheduleNextBatch();
        // RunTimes and cachedRunTimes after each following scheduling, and the counters the
        // batch before it wrote back (the same for all three words). At 7:148 the words are
        // learnt: 60 at the wrap, 61 empty, completed and reset, 62 empty.
        const std::tuple<uint32_t, uint32_t, const char*> steps[] = {
            {6, 5, "1:6"},    {7, 5, "2:7"},    {8, 5, "3:8"},     {13, 12, "4:13"},
            {28, 27, "5:28"}, {59, 58, "6:58"}, {62, 62, "7:148"}, {63, 62, "1:63"}};
        for (const auto& [runTimes, cached, written] : steps) {
            const qsizetype from = rig.statements.size();
            RunBatch(rig);
            const QString w = QString::fromLatin1(written);
            QCOMPARE(rig.WrittenCounters(from), QStringList({"1:" + w, "2:" + w, "3:" + w}));
            QCOMPARE(QList<uint32_t>({ReadRunTimes(), c.cachedRunTimes}),
                     QList<uint32_t>({runTimes, cached}));
            QCOMPARE(rig.Batch(&WordRecord::word), QStringList({"w1", "w2", "w3"}));
        }
        QCOMPARE(rig.view.messages,
                 (QList<QPair<QString, MessageIcon>>{
                     {"恭喜你！！该单词表已经背诵完毕，请选择新的单词表。", MessageIcon::Plain}}));
    }

    // Saves that cannot write (another program holds the write lock) keep the counters in
    // memory: the learner is told once, the walk works from them, so a word counted is not
    // counted again, and the first save that can write writes them all.
    void failedSavesKeepCountersUntilOneWrites() {
        StudyRig rig;
        QVERIFY(rig.Begin(Words(3), 4, false, false));
        {
            const auto lock = WriteLock(rig.DbFile(QStringLiteral("cet4.dat")));
            RunBatch(rig);
            RunBatch(rig);
            QVERIFY(rig.store->Unsaved());
            QCOMPARE(rig.FileCounters(1), qMakePair(qint64{0}, qint64{0}));
        }
        QCOMPARE(rig.view.messages.size(), 1);
        QVERIFY(rig.view.messages[0].first.startsWith(QStringLiteral("无法保存复习进度：单词表文件“")) &&
                rig.view.messages[0].first.contains(QStringLiteral("cet4.dat")));
        RunBatch(rig);
        QVERIFY(!rig.store->Unsaved());
        QCOMPARE(rig.FileCounters(1).first, qint64{3});
        QCOMPARE(rig.view.messages.size(), 1);
    }

    // A completed list is congratulated and reset, and the options sheet opened; another
    // list chosen there schedules a batch of its own, which the suspended scheduling keeps.
    // A reset that fails is reported once per scheduling, not in an endless series of boxes.
    void completion() {
        for (const bool resetFails : {false, true}) {
            StudyRig rig;
            QVERIFY(rig.WriteList(Words(4), QStringLiteral("cet6.dat"), QStringLiteral("cet6")));
            QVERIFY(rig.WriteList(Words(3, 7, 50)));
            CStudyCycle& c = *rig.cycle;
            rig.view.onOptionsSheet = [&] { // what the dictionary page does when another list is confirmed
                if (resetFails)
                    return;
                c.SaveBatch();
                rig.store->Close();
                c.OpenList(1, 0);
            };
            WriteProfileUInt("Software", "RunTimes", 20);
            c.cachedRunTimes = 20;
            rig.Open();
            if (resetFails) {
                WriteLock(rig.DbFile("cet4.dat")),
                    c.ScheduleNextBatch(); // the lock lasts for the statement
                QVERIFY(rig.view.messages.size() == 2 && !c.HasBatch());
            }
            c.ScheduleNextBatch();
            QCOMPARE(rig.view.messages.size(), resetFails ? 3 : 1); // and the error
            QVERIFY(rig.view.sheets == (resetFails ? 2 : 1) && rig.view.timersKilledDuringSheet);
            QCOMPARE(rig.FileCounters(2), (QPair<qint64, qint64>(0, 0)));
            QCOMPARE(rig.Batch(&WordRecord::showTimes), QList<uint32_t>(resetFails ? 3 : 4, 0));
            QCOMPARE(QList<uint32_t>({ReadRunTimes(), c.cachedRunTimes}),
                     QList<uint32_t>(2, resetFails ? 22 : 21));
            QVERIFY(!c.secondPass && c.batchCursor == rig.store->batch.begin());
            // The resumed scheduling left working timers: the first word comes one period later.
            rig.clock.AdvanceTo(8000);
            QCOMPARE(rig.LastShown(), QStringLiteral("w1"));
        }
    }

    // Scripts (see Play) on the four fixture words. Manual playback without sentences shows word and
    // meaning per press, and the meaning moves the cursor on again: every second word, wrapping through the
    // end position (the batch saved, the next shown). The previous key re-shows a completed word, counting
    // it again in the first pass. Showing the window restarts the timers even in manual playback; the
    // meaning tick then reveals the following entry's meaning (uncounted) and moves on. While away nothing
    // is shown or counted, and whatever would restart the timers only notes whether they are wanted; the
    // return gives the step on show a whole period, and a meaning still due comes one meaning delay after
    // the return.
    void script() {
        const struct {
            bool autoPlay, showSentence;
            QString script;
            QStringList trace;
            QList<uint32_t> showTimes;
            QStringList written;
        } rows[] = {
            // clang-format off
            // Automatic: the last word shown starts the second pass, which counts nothing.
            {true, true, "64000",
             {"8000 abandon", "12000 M1", "16000 S11", "24000 S21", "32000 bay", "36000 M2",
              "40000 cab", "44000 M3", "48000 S13", "56000 dab", "60000 M4", "64000 abandon"}, {1, 1, 1, 1}, {}},
            // Into the next batch: a word tick that finds the batch finished saves it, loads the next and shows
            // its first word at once; the restarted word timer shows that word again a period later.
            {true, false, "84000",
             {"8000 abandon", "12000 M1", "16000 bay", "20000 M2", "24000 cab", "28000 M3", "32000 dab",
              "36000 M4", "40000 abandon", "44000 M1", "48000 bay", "52000 M2", "56000 cab", "60000 M3",
              "64000 dab", "68000 M4", "72000 abandon", "80000 abandon", "84000 M1"},
             {3, 1, 1, 1}, {"1:1:11", "2:1:11", "3:1:11", "4:1:11"}},
            // Manual, no sentences; the last two from the next batch.
            {true, false, "M M n n n n n n n",
             {"bay", "M2", "dab", "M4", "abandon", "M1", "cab", "M3", "abandon", "M1", "cab", "M3", "abandon", "M1"},
             {2, 1, 1, 1}, {"1:1:11", "2:1:11", "3:1:11", "4:1:11"}},
            // The next key in automatic playback.
            {true, true, "8000 n n n n 24000 n n",
             {"8000 abandon", "8000 M1", "8000 S11", "8000 S21", "8000 M2", "12000 M3", "16000 S13",
              "24000 dab", "24000 M4", "24000 M1"}, {1, 0, 0, 1}, {}},
            // The previous key in manual playback.
            {false, true, "p p n n p n n n n p",
             {"abandon", "M1", "abandon", "M1", "S11", "S21", "abandon", "M1", "S11", "S21", "bay",
              "M2", "cab", "M3", "bay", "M2"}, {3, 2, 1, 0}, {}},
            // Hidden and shown in manual playback.
            {true, false, "M h 30000 h 50000",
             {"38000 abandon", "38000 M1", "42000 M2", "46000 cab", "46000 M3", "50000 M4"}, {1, 0, 1, 0}, {}},
            // Manual inside the first meaning delay: the pending arming goes too, and coming back
            // gives one fresh offset.
            {true, true, "2000 M 60000 A 72000", {"68000 abandon", "72000 M1"}, {1, 0, 0, 0}, {}},
            // The sheet runs with the timers stopped; a period changed in it applies afterwards.
            {true, true, "5000 o 9500", {"8000 abandon", "9500 M1"}, {1, 0, 0, 0}, {}},
            // Away before the first word, with the meaning due, with it shown, and back at once.
            {true, false, "2000 a 50000 b 66000", {"58000 abandon", "62000 M1", "66000 bay"}, {1, 1, 0, 0}, {}},
            {true, false, "10000 a 100000 b 116000",
             {"8000 abandon", "104000 M1", "108000 bay", "112000 M2", "116000 cab"}, {1, 1, 1, 0}, {}},
            {true, false, "13000 a 100000 b 116000",
             {"8000 abandon", "12000 M1", "108000 bay", "112000 M2", "116000 cab"}, {1, 1, 1, 0}, {}},
            {true, false, "13000 a b 29000",
             {"8000 abandon", "12000 M1", "21000 bay", "25000 M2", "29000 cab"}, {1, 1, 1, 0}, {}},
            // Away: the options sheet (3 s from the return), hide, the tray, manual, manual then automatic,
            // a new batch.
            {true, false, "13000 a o 60000 b 64500", {"8000 abandon", "12000 M1", "63000 bay", "64500 M2"},
             {1, 1, 0, 0}, {}},
            {true, false, "13000 a h 60000 b 76000", {"8000 abandon", "12000 M1"}, {1, 0, 0, 0}, {}},
            {true, false, "13000 a t 60000 b 76000",
             {"8000 abandon", "12000 M1", "68000 bay", "72000 M2", "76000 cab"}, {1, 1, 1, 0}, {}},
            {true, false, "13000 a M 60000 b 76000", {"8000 abandon", "12000 M1"}, {1, 0, 0, 0}, {}},
            {true, false, "13000 a M A 60000 b 76000",
             {"8000 abandon", "12000 M1", "68000 bay", "72000 M2", "76000 cab"}, {1, 1, 1, 0}, {}},
            {true, false, "13000 a s 60000 b 76000",
             {"8000 abandon", "12000 M1", "68000 abandon", "72000 M1", "76000 bay"}, {1, 1, 0, 0}, {}},
        }; // clang-format on
        for (const auto& row : rows) {
            StudyRig rig;
            QVERIFY(rig.Begin(kFourWords, 10, row.autoPlay, row.showSentence));
            rig.view.onOptionsSheet = [&] { WriteProfileUInt("Word", "WordElapse", 3); };
            Play(rig, row.script);
            QCOMPARE(Named(rig), row.trace);
            QCOMPARE(rig.Batch(&WordRecord::showTimes), row.showTimes);
            QCOMPARE(rig.WrittenCounters(), row.written);
            QCOMPARE(rig.view.alerts.size(), row.script.contains(u'M') ? 1 : 0); // the key help, once
            QCOMPARE(rig.view.timersKilledDuringSheet, row.script.contains(u'o'));
            // Armed on the way back only, never by the cancelled delay.
            if (row.script.startsWith(u"2000 "))
                QCOMPARE(rig.view.timerLog.filter(QStringLiteral("arm 1125")).size(), 1);
        }
    }

    // A list that cannot be opened, at start-up or chosen instead of one being studied: after the open
    // error the window says what to do, in place of "正在加载……" or the words of the other list; nothing
    // ticks, the statistics show no figures. Choosing a list that opens (in the options sheet) shows its
    // first word at once.
    void unopenableListSaysWhatToDo() {
        const QString told =
            QStringLiteral("无法打开所选的词库。\n请在“选项设置”的“词库设置”中选择其他词库，\n"
                           "或重新安装 Mnemora 以恢复词库。");
        for (const bool studying : {false, true}) {
            StudyRig rig;
            QVERIFY(rig.WriteList(kFourWords));
            CStudyCycle& c = *rig.cycle;
            if (studying) {
                QVERIFY(c.OpenList(0, 0));
                rig.clock.AdvanceTo(12000);
                QCOMPARE(Named(rig), (QStringList{"8000 abandon", "12000 M1"}));
            }
            QVERIFY(!c.OpenList(1, 0)); // no cet6.dat
            QVERIFY(rig.view.messages.size() == 1 &&
                    rig.view.messages[0].first.startsWith(
                        "打开数据库失败！ADO 错误：0x80004005，Could not find file"));
            QCOMPARE(rig.LastShown(), told);
            const qsizetype shown = rig.view.shown.size();
            Play(rig, QStringLiteral("n p h h 90000"));
            QCOMPARE(rig.view.shown.size(), shown);
            c.OnCommand(CStudyCycle::kCmdLearningStats);
            QCOMPARE(rig.view.alerts.last().second, told);

            rig.view.onOptionsSheet = [&] { QVERIFY(c.OpenList(0, 0)); };
            c.OnCommand(CStudyCycle::kCmdOptions);
            QCOMPARE(rig.LastShown(), QStringLiteral("abandon"));
            QVERIFY(!c.ListUnavailable() && rig.view.AnyTimerArmed());
            c.OnCommand(CStudyCycle::kCmdLearningStats);
            QVERIFY(rig.view.alerts.last().second.startsWith("学习状态统计：\n所选词库共有单词数：4"));
        }
    }

    // Ticks that come off their ideal times (the system's timer slack) still step the display as exact
    // ticks do: the same texts in the same order and the same counters written. w1 starts at 6 shows: a new
    // batch shows its first word at once and again a period later, and neither that nor any jitter takes a
    // word past the learnt mark.
    void jitteredTicks() {
        QList<fixture::Row> words = kFourWords.mid(0, 2);
        words[0].showTimes = 6;
        // Word and meaning periods, jitter (ms), sentences: in step at 1 s and with sentences, a
        // delay below the jitter, 4 s behind.
        const std::tuple<uint32_t, uint32_t, int, bool> rows[] = {
            {1, 0, 50, false}, {8, 0, 400, true}, {2, 1, 900, true}, {8, 4, 400, false}};
        for (const auto& [elapse, delay, jitter, showSentence] : rows) {
            // The texts shown and the counters written in 120 periods, the ticks off by random jitter
            // from seed (0: exact ticks).
            const auto run = [&](unsigned seed) {
                StudyRig rig(true); // every batch end syncs the list and the settings
                WriteProfileUInt("Word", "WordElapse", elapse);
                WriteProfileUInt("Word", "WordDelayChnTime", delay);
                std::mt19937 random(seed);
                if (seed > 0)
                    rig.view.jitter = [&](int) {
                        return std::uniform_int_distribution(-jitter, jitter)(random);
                    };
                rig.Begin(words, 10, true, showSentence);
                rig.clock.AdvanceTo(uint64_t(elapse) * 1000 * 120);
                QStringList texts;
                QList<int64_t> times;
                for (const FakeStudyView::Shown& shown : rig.view.shown)
                    texts << shown.text, times << int64_t(shown.at);
                return std::tuple{texts, rig.WrittenCounters(), times};
            };
            const auto [exactTexts, exactWritten, exactTimes] = run(0);
            QVERIFY(!exactWritten.isEmpty());
            for (const QString& counters : exactWritten)
                QVERIFY2(counters.section(u':', 1, 1).toUInt() <= CStudyCycle::kLearntShowTimes,
                         qPrintable(counters));
            for (unsigned seed = 1; seed <= 4; ++seed) {
                const auto [texts, written, times] = run(seed);
                // The last periods may fall either side of the end.
                const qsizetype n = std::min(texts.size(), exactTexts.size());
                const qsizetype m = std::min(written.size(), exactWritten.size());
                QVERIFY(n >= exactTexts.size() * 9 / 10 && m >= exactWritten.size() * 9 / 10);
                QCOMPARE(texts.mid(0, n), exactTexts.mid(0, n));
                QCOMPARE(written.mid(0, m), exactWritten.mid(0, m));
                // Each text follows the one before as with exact ticks, give or take a few ticks' jitter: an
                // early meaning tick must not leave the meaning timer a period out of step.
                for (qsizetype i = 1; i < n; ++i)
                    QVERIFY(std::abs(times[i] - times[i - 1] - exactTimes[i] + exactTimes[i - 1]) <=
                            4 * jitter);
            }
        }
    }

    // The meaning timer is armed offset after the word timer, so its ticks trail by offset.
    void timings() {
        // WordElapse, WordDelayChnTime (s) -> period, offset (ms): elapse 0 and 86401 are the
        // default, a delay equal to or beyond the period is half of it, one that wraps in 32 bits, none.
        const std::array<uint, 4> rows[] = {
            {0, 4, 8000, 4000}, {86401, 4, 8000, 4000}, {86400, 4, 86400000, 4000},
            {5, 5, 5000, 2500}, {5, 9, 5000, 2500},     {8, 4294968, 8000, 704},
            {8, 0, 8000, 0}};
        for (const auto& [elapse, delay, period, offset] : rows) {
            StudyRig rig;
            WriteProfileUInt("Word", "WordElapse", elapse);
            WriteProfileUInt("Word", "WordDelayChnTime", delay);
            rig.cycle->RestartTimers();
            rig.clock.AdvanceTo(uint64_t(period) + offset);
            const QString p = QString::number(period), o = QString::number(offset);
            QCOMPARE(rig.view.timerLog.join(", "),
                     "0 arm 1124 " + p + (offset > 0 ? ", 0 delay " + o : "") + ", " + o + " arm 1125 " + p +
                         ", " + p + " tick 1124, " + QString::number(period + offset) + " tick 1125");
        }
    }

    // Which signs pause and which hide, under the settings and the playback mode. A state names
    // the signs: locked, idle, full (screen); and the setup: pause (PauseWhenAway), hide
    // (HideOnFullScreen), manual playback.
    void policy() {
        // clang-format off
        const std::tuple<const char*, bool, bool> rows[] = { // state, paused, covered
            {"locked pause hide", true, false}, {"locked hide", false, false}, {"idle pause hide", true, false},
            {"idle pause hide manual", false, false}, {"locked pause hide manual", true, false},
            {"full hide", true, true}, {"full pause", false, false}};
        // clang-format on
        for (const auto& [state, paused, covered] : rows) {
            const QString s = QString::fromLatin1(state);
            const bool pauseWhenAway = s.contains("pause"), hideOnFullScreen = s.contains("hide");
            Rig r;
            WriteProfileUInt("Away", "PauseWhenAway", pauseWhenAway ? 1 : 0);
            WriteProfileUInt("Away", "HideOnFullScreen", hideOnFullScreen ? 1 : 0);
            WriteProfileUInt("Away", "AwayMinutes", 7);
            if (s.contains("manual"))
                r.c.OnManualPlay();
            FakePresence presence;
            CAwayWatch watch(presence, r.c);
            watch.LoadSettings();
            QVERIFY(presence.idleLimit == (pauseWhenAway ? 7u * 60000u : 0u) &&
                    presence.watchFullScreen == hideOnFullScreen);
            QSignalSpy tip(&watch, &CAwayWatch::pausedChanged);
            presence.Set({s.contains("locked"), s.contains("idle"), s.contains("full")});
            QVERIFY2(watch.Paused() == paused && r.c.IsAway() == paused && tip.size() == (paused ? 1 : 0) &&
                         watch.Covered() == covered,
                     state);
            presence.Set({});
            QVERIFY(!watch.Paused() && !r.c.IsAway() && !watch.Covered());
        }
    }

    void markWritesAtOnceAndStepsOn() {
        Rig m(6, false);
        QVERIFY(m.known.MarkShownWord());
        // Written before any batch end, with the seventh show's interval; the next word is on show.
        QCOMPARE(m.FileCounters(1), qMakePair(qint64{7}, qint64{10 + 90}));
        QVERIFY(m.Shown() == "m2" && m.c.LearningStatsText().endsWith(
                                         QStringLiteral("已经完全记住单词数：1\n需要继续学习单词数：5")));
        QCOMPARE(m.Batch(&WordRecord::word), (QStringList{"w2", "w3", "w4", "w5", "w6"}));
        // Neither the second pass nor the batch's write-back touches the marked row again.
        const qsizetype from = m.statements.size();
        for (int i = 0; i < 12; ++i)
            m.c.NextWord();
        QVERIFY(m.WrittenCounters(from).filter(QRegularExpression(QStringLiteral("^1:"))).isEmpty());
        QCOMPARE(m.FileCounters(1), qMakePair(qint64{7}, qint64{100}));
    }

    // The last twenty marks of the current walk are undone, the latest first.
    void undoRestoresTheLastMarks() {
        Rig m(30, false);
        for (int i = 0; i < 25; ++i)
            QVERIFY(m.known.MarkShownWord());
        // Each undo writes the counters back as after the word's one showing and shows it again.
        int index = 25;
        for (; m.known.UndoLastMark(); --index) {
            QCOMPARE(m.FileCounters(index), qMakePair(qint64{1}, qint64{11}));
            QCOMPARE(m.Shown(), QStringLiteral("m%1").arg(index));
        }
        QCOMPARE(index, 25 - CKnownWords::kUndoDepth);
        QVERIFY(m.store->learntCount() == index &&
                m.Batch(&WordRecord::word).count(QStringLiteral("w25")) == 1);
        // A new selection of the table (a wrap, another list) rebuilt the walk counters from
        // the file: the older marks are no longer undone.
        QVERIFY(m.known.MarkShownWord());
        m.store->OpenWordTable();
        QVERIFY(!m.known.CanUndo());
    }

    void markingTheLastWordEndsTheBatch() {
        Rig m(1, false); // the whole list is learnt now: the next scheduling congratulates and resets it
        QVERIFY(m.known.MarkShownWord() &&
                m.view.messages.value(0).first.startsWith(QStringLiteral("恭喜你")));
    }

    void historyAddsUpDaysListsAndCappedTime() {
        // Steps "<ms later><kind><showTimes>", kind w a first-pass word, s a second-pass word,
        // e a sentence, k a mark, b a batch saved. Days: day of month, shown, started, learnt, studyMs.
        const struct {
            const char* start;
            const char* steps;
            QList<QList<int64_t>> days;
        } cases[] = {
            // clang-format off
            // Two first showings ever; a 10-minute pause counts the 60 s cap; a second-pass
            // showing counts time only; the mark adds a learnt word and no time.
            {"2026-03-01T23:47:00", "0w1 8000w2 8000e0 600000w7 30000s3 50000w1 0k0",
             {{1, 4, 2, 2, (8 + 8 + 60 + 30 + 50) * 1000}}},
            // Time is split at midnight, and a later flush adds to the day's row.
            {"2026-03-01T23:59:40", "0w2 30000w2 0b0 20000w2 0b0",
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
            QVERIFY(history.Flush() && history.Pending().isEmpty());
            // The clock goes with the figures, for telling runs in days.
            const auto clock = history.File().RunTimesByDay(QDate(2026, 3, 1), QDate(2026, 3, 2));
            QVERIFY(!clock.isEmpty() && clock.last() == qMakePair(now.date(), rig.cycle->CurrentRunTimes()));
            QList<QList<int64_t>> days;
            for (const DayRow& d : history.File().Days(QDate(2026, 3, 1), QDate(2026, 3, 2))) {
                QCOMPARE(d.list, QStringLiteral("cet4"));
                days.append({d.day.day(), d.shown, d.started, d.learnt, d.studyMs});
            }
            QCOMPARE(days, t.days);
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

QTEST_GUILESS_MAIN(TestStudy)
#include "test_study.moc"
