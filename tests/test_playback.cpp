#include "StudyRig.h"

#include <QDir>
#include <QTest>
#include <random>

using namespace mnemora;

namespace {

// Texts of the fixture words, written out in full.
const QString M1 = QStringLiteral("abandon  [ əˈbændən ]\r\nv. 放弃");
const QString S11 = M1 + QStringLiteral("\r\nThey had to abandon the car.\r\n他们只好弃车。");
const QString S21 = M1 + QStringLiteral("\r\nNever abandon hope.\r\n永不放弃希望。");
const QString M2 = QStringLiteral("bay  [  ]\r\nn. 海湾");
const QString M3 = QStringLiteral("cab  [ kæb ]\r\nn. 出租车");
const QString S13 = M3 + QStringLiteral("\r\nTake a cab.\r\n打车。");
const QString M4 = QStringLiteral("dab  [ dæb ]\r\nv. 轻拍");

// w1 has both sentences, w2 none and no pronunciation, w3 only the first, w4 only
// the second (and a first of blanks), so its sentences are skipped.
const QList<fixture::Row> kFourWords{{1, "abandon", 0, 0, "əˈbændən", "v. 放弃",
                                      "They had to abandon the car.", "他们只好弃车。",
                                      "  Never abandon hope.", "永不放弃希望。"},
                                     {2, "bay", 0, 0, "", "n. 海湾"},
                                     {3, "cab", 0, 0, "kæb", "n. 出租车", "Take a cab.", "打车。"},
                                     {4, "dab", 0, 0, "dæb", "v. 轻拍", "   ", "", "Dab it.", "轻拍它。"}};

// The trace with the texts above by their names.
QStringList Named(const StudyRig& rig) {
    const QMap<QString, QString> names{{M1, "M1"}, {S11, "S11"}, {S21, "S21"}, {M2, "M2"},
                                       {M3, "M3"}, {S13, "S13"}, {M4, "M4"}};
    return rig.Trace([&](const QString& text) { return names.value(text, text); });
}

} // namespace

class TestPlayback final : public QObject {
    Q_OBJECT
private slots:
    // Keys and commands: "M"/"A" manual/automatic playback, "h" hide or show, "o" the options
    // sheet (the period set to 3 s in it), "n" next and "p" previous word; a number advances virtual time to
    // it. Manual playback without sentences shows word and meaning per press, and the meaning moves the
    // cursor on again: every second word, wrapping through the end position (the batch saved, the next
    // shown). The previous key re-shows a completed word, counting it again in the first pass. Showing the
    // window restarts the timers even in manual playback; the meaning tick then reveals the following entry's
    // meaning (uncounted) and moves on.
    void script_data() {
        QTest::addColumn<bool>("autoPlay");
        QTest::addColumn<bool>("showSentence");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QStringList>("trace");
        QTest::addColumn<QList<uint32_t>>("showTimes");
        QTest::addColumn<QStringList>("written");
        // clang-format off
        // The last word shown starts the second pass, which counts nothing.
        QTest::newRow("automatic") << true << true << "64000"
            << QStringList{"8000 abandon", "12000 M1", "16000 S11", "24000 S21", "32000 bay", "36000 M2",
                           "40000 cab", "44000 M3", "48000 S13", "56000 dab", "60000 M4", "64000 abandon"}
            << QList<uint32_t>{1, 1, 1, 1} << QStringList{};
        // A word tick that finds the batch finished saves it, loads the next and shows its first word
        // at once; the restarted word timer shows that word again a period later.
        QTest::newRow("automatic, no sentences, into the next batch") << true << false << "84000"
            << QStringList{"8000 abandon", "12000 M1", "16000 bay", "20000 M2", "24000 cab", "28000 M3", "32000 dab",
                           "36000 M4", "40000 abandon", "44000 M1", "48000 bay", "52000 M2", "56000 cab", "60000 M3",
                           "64000 dab", "68000 M4", "72000 abandon", "80000 abandon", "84000 M1"}
            << QList<uint32_t>{3, 1, 1, 1} << QStringList{"1:1:11", "2:1:11", "3:1:11", "4:1:11"};
        QTest::newRow("manual, no sentences") << true << false << "M M n n n n n n n"
            << QStringList{"bay", "M2", "dab", "M4", "abandon", "M1", "cab", "M3", "abandon", "M1", "cab", "M3",
                           "abandon", "M1"} // the last two from the next batch
            << QList<uint32_t>{2, 1, 1, 1} << QStringList{"1:1:11", "2:1:11", "3:1:11", "4:1:11"};
        QTest::newRow("next key in automatic playback") << true << true << "8000 n n n n 24000 n n"
            << QStringList{"8000 abandon", "8000 M1", "8000 S11", "8000 S21", "8000 M2", "12000 M3", "16000 S13",
                           "24000 dab", "24000 M4", "24000 M1"}
            << QList<uint32_t>{1, 0, 0, 1} << QStringList{};
        QTest::newRow("previous key in manual playback") << false << true << "p p n n p n n n n p"
            << QStringList{"abandon", "M1", "abandon", "M1", "S11", "S21", "abandon", "M1", "S11", "S21", "bay",
                           "M2", "cab", "M3", "bay", "M2"}
            << QList<uint32_t>{3, 2, 1, 0} << QStringList{};
        QTest::newRow("hidden and shown in manual playback") << true << false << "M h 30000 h 50000"
            << QStringList{"38000 abandon", "38000 M1", "42000 M2", "46000 cab", "46000 M3", "50000 M4"}
            << QList<uint32_t>{1, 0, 1, 0} << QStringList{};
        // Manual inside the first meaning delay: the pending arming goes too, and coming back
        // gives one fresh offset.
        QTest::newRow("manual inside the delay") << true << true << "2000 M 60000 A 72000"
            << QStringList{"68000 abandon", "72000 M1"} << QList<uint32_t>{1, 0, 0, 0} << QStringList{};
        // The sheet runs with the timers stopped; a period changed in it applies afterwards.
        QTest::newRow("options sheet") << true << true << "5000 o 9500" << QStringList{"8000 abandon", "9500 M1"}
            << QList<uint32_t>{1, 0, 0, 0} << QStringList{};
        // clang-format on
    }

    void script() {
        QFETCH(bool, autoPlay);
        QFETCH(bool, showSentence);
        QFETCH(QString, script);
        StudyRig rig;
        QVERIFY(rig.Begin(kFourWords, 10, autoPlay, showSentence));
        CStudyCycle& c = *rig.cycle;
        rig.view.onOptionsSheet = [&] { WriteProfileUInt("Word", "WordElapse", 3); };
        for (const QString& key : script.split(u' ')) {
            if (key == u"M")
                c.OnCommand(CStudyCycle::kCmdManualPlay);
            else if (key == u"A")
                c.OnCommand(CStudyCycle::kCmdAutoPlay);
            else if (key == u"h")
                c.OnCommand(CStudyCycle::kCmdToggleFloat);
            else if (key == u"o")
                c.OnCommand(CStudyCycle::kCmdOptions);
            else if (key == u"n")
                c.NextWord();
            else if (key == u"p")
                c.PrevWord();
            else
                rig.clock.AdvanceTo(key.toULongLong());
        }
        QTEST(Named(rig), "trace");
        QTEST(rig.ShowTimes(), "showTimes");
        QTEST(rig.WrittenCounters(), "written");
        QCOMPARE(rig.view.alerts.size(), script.count(u'M') > 0 ? 1 : 0); // the key help, once
        QCOMPARE(rig.view.timersKilledDuringSheet, script.contains(u'o'));
        if (script.startsWith(u"2000 ")) // armed on the way back only, never by the cancelled delay
            QCOMPARE(rig.view.timerLog.filter(QStringLiteral("arm 1125")).size(), 1);
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
            const auto last = [&] {
                return rig.view.shown.isEmpty() ? QString() : rig.view.shown.last().text;
            };
            if (studying) {
                QVERIFY(c.OpenList(0, 0));
                rig.clock.AdvanceTo(12000);
                QCOMPARE(Named(rig), (QStringList{"8000 abandon", "12000 M1"}));
            }
            QVERIFY(!c.OpenList(1, 0)); // no cet6.dat
            QVERIFY(rig.view.messages.size() == 1 &&
                    rig.view.messages[0].first.startsWith(
                        "打开数据库失败！ADO 错误：0x80004005，Could not find file"));
            QCOMPARE(last(), told);
            const qsizetype shown = rig.view.shown.size();
            c.NextWord();
            c.PrevWord();
            c.OnCommand(CStudyCycle::kCmdToggleFloat);
            c.OnCommand(CStudyCycle::kCmdToggleFloat);
            rig.clock.AdvanceBy(60000);
            QCOMPARE(rig.view.shown.size(), shown);
            c.OnCommand(CStudyCycle::kCmdLearningStats);
            QCOMPARE(rig.view.alerts.last().second, told);

            rig.view.onOptionsSheet = [&] { QVERIFY(c.OpenList(0, 0)); };
            c.OnCommand(CStudyCycle::kCmdOptions);
            QCOMPARE(last(), QStringLiteral("abandon"));
            QVERIFY(!c.ListUnavailable() && rig.view.AnyTimerArmed());
            c.OnCommand(CStudyCycle::kCmdLearningStats);
            QVERIFY(rig.view.alerts.last().second.startsWith("学习状态统计：\n所选词库共有单词数：4"));
        }
    }

    // Ticks that come off their ideal times (the system's timer slack) still step the display as exact
    // ticks do: the same texts in the same order and the same counters written. w1 starts at 6 shows: a new
    // batch shows its first word at once and again a period later, and neither that nor any jitter takes a
    // word past the learnt mark.
    void jitteredTicks_data() {
        QTest::addColumn<uint>("elapse");
        QTest::addColumn<uint>("delay");
        QTest::addColumn<int>("jitter");
        QTest::addColumn<bool>("showSentence");
        QTest::newRow("in step, 1 s") << 1u << 0u << 50 << false;
        QTest::newRow("in step, sentences") << 8u << 0u << 400 << true;
        QTest::newRow("delay below the jitter") << 2u << 1u << 900 << true;
        QTest::newRow("4 s behind") << 8u << 4u << 400 << false;
    }

    void jitteredTicks() {
        QFETCH(uint, elapse);
        QFETCH(uint, delay);
        QFETCH(int, jitter);
        QFETCH(bool, showSentence);
        QList<fixture::Row> rows = kFourWords.mid(0, 2);
        rows[0].showTimes = 6;
        const uint64_t end = uint64_t(elapse) * 1000 * 120;
        const auto run = [&](std::mt19937* random, QStringList& texts, QStringList& written) {
            // Memory-backed where there is one: every batch end syncs the list and the settings.
            StudyRig rig(QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm/mnemora-XXXXXX")
                                                                   : QString());
            WriteProfileUInt("Word", "WordElapse", elapse);
            WriteProfileUInt("Word", "WordDelayChnTime", delay);
            if (random)
                rig.view.jitter = [&](int) {
                    return std::uniform_int_distribution(-jitter, jitter)(*random);
                };
            QVERIFY(rig.Begin(rows, 10, true, showSentence));
            rig.clock.AdvanceTo(end);
            for (const FakeStudyView::Shown& shown : rig.view.shown)
                texts << shown.text;
            written = rig.WrittenCounters();
        };
        QStringList exactTexts, exactWritten;
        run(nullptr, exactTexts, exactWritten);
        for (const QString& counters : exactWritten)
            QVERIFY2(counters.section(u':', 1, 1).toUInt() <= CStudyCycle::kLearntShowTimes,
                     qPrintable(counters));
        for (unsigned seed = 1; seed <= 4; ++seed) {
            std::mt19937 random(seed);
            QStringList texts, written;
            run(&random, texts, written);
            // The last periods may fall either side of the end.
            const qsizetype n = std::min(texts.size(), exactTexts.size());
            QVERIFY(n >= exactTexts.size() * 9 / 10);
            QCOMPARE(texts.mid(0, n), exactTexts.mid(0, n));
            const qsizetype m = std::min(written.size(), exactWritten.size());
            QVERIFY(m >= exactWritten.size() * 9 / 10);
            QCOMPARE(written.mid(0, m), exactWritten.mid(0, m));
        }
    }

    // The meaning timer is armed offset after the word timer, so its ticks trail by offset.
    void timings_data() {
        QTest::addColumn<uint>("elapse");
        QTest::addColumn<uint>("delay");
        QTest::addColumn<uint>("period");
        QTest::addColumn<uint>("offset");
        QTest::newRow("elapse 0") << 0u << 4u << 8000u << 4000u;
        QTest::newRow("elapse 86401") << 86401u << 4u << 8000u << 4000u;
        QTest::newRow("elapse 86400") << 86400u << 4u << 86400000u << 4000u;
        QTest::newRow("delay equal to the period") << 5u << 5u << 5000u << 2500u;
        QTest::newRow("delay beyond the period") << 5u << 9u << 5000u << 2500u;
        QTest::newRow("delay wraps in 32 bits") << 8u << 4294968u << 8000u << 704u;
        QTest::newRow("no delay") << 8u << 0u << 8000u << 0u;
    }

    void timings() {
        QFETCH(uint, elapse);
        QFETCH(uint, delay);
        QFETCH(uint, period);
        QFETCH(uint, offset);
        StudyRig rig;
        WriteProfileUInt("Word", "WordElapse", elapse);
        WriteProfileUInt("Word", "WordDelayChnTime", delay);
        rig.cycle->RestartTimers();
        rig.clock.AdvanceTo(uint64_t(period) + offset);
        const QString p = QString::number(period), o = QString::number(offset);
        QCOMPARE(rig.view.timerLog.join(", "), "0 arm 1124 " + p + (offset > 0 ? ", 0 delay " + o : "") +
                                                   ", " + o + " arm 1125 " + p + ", " + p + " tick 1124, " +
                                                   QString::number(period + offset) + " tick 1125");
    }
};

QTEST_GUILESS_MAIN(TestPlayback)
#include "test_playback.moc"
