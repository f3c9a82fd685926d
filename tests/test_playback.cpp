#include "StudyRig.h"
#include "settings/SettingsFile.h"

#include <QTest>

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
QList<fixture::Row> FourWords() {
    const QList<QStringList> texts{{"abandon", "əˈbændən", "v. 放弃", "They had to abandon the car.",
                                    "他们只好弃车。", "  Never abandon hope.", "永不放弃希望。"},
                                   {"bay", "", "n. 海湾", "", "", "", ""},
                                   {"cab", "kæb", "n. 出租车", "Take a cab.", "打车。", "", ""},
                                   {"dab", "dæb", "v. 轻拍", "   ", "", "Dab it.", "轻拍它。"}};
    QList<fixture::Row> rows;
    for (const QStringList& t : texts)
        rows.append({int(rows.size() + 1), t[0], 0, 0, t[1], t[2], t[3], t[4], t[5], t[6]});
    return rows;
}

// A rig on FourWords with RunTimes 10, the first batch scheduled at time 0.
struct Started {
    explicit Started(bool autoPlay = true, bool showSentence = true) {
        rig.WriteList(FourWords());
        rig.Begin(10, autoPlay, showSentence);
    }
    QStringList Trace() const {
        QStringList out;
        for (const auto& s : rig.view.shown)
            out << QString::number(s.at) + u' ' + s.text;
        return out;
    }
    // As Trace, with the texts above named as there and the time left out at 0.
    QStringList Named() const {
        const QMap<QString, QString> names{{M1, "M1"}, {S11, "S11"}, {S21, "S21"}, {M2, "M2"},
                                           {M3, "M3"}, {S13, "S13"}, {M4, "M4"}};
        QStringList out;
        for (const auto& s : rig.view.shown)
            out << (s.at > 0 ? QString::number(s.at) + u' ' : QString()) + names.value(s.text, s.text);
        return out;
    }
    StudyRig rig;
    CStudyCycle& c = *rig.cycle;
};

QString At(int t, const QString& text) {
    return QString::number(t) + u' ' + text;
}

} // namespace

class TestPlayback final : public QObject {
    Q_OBJECT
private slots:

    void automaticSequence_data() {
        QTest::addColumn<bool>("showSentence");
        QTest::addColumn<QStringList>("trace");
        // clang-format off
        QTest::newRow("sentences") << true << QStringList{At(8000, "abandon"), At(12000, M1), At(16000, S11),
            At(24000, S21), At(32000, "bay"), At(36000, M2), At(40000, "cab"), At(44000, M3), At(48000, S13),
            At(56000, "dab"), At(60000, M4), At(64000, "abandon")};
        QTest::newRow("no sentences") << false << QStringList{At(8000, "abandon"), At(12000, M1), At(16000, "bay"),
            At(20000, M2), At(24000, "cab"), At(28000, M3), At(32000, "dab"), At(36000, M4), At(40000, "abandon")};
        // clang-format on
    }

    void automaticSequence() {
        QFETCH(bool, showSentence);
        QFETCH(QStringList, trace);
        Started s(true, showSentence);
        s.rig.clock.AdvanceTo(trace.size() == 12 ? 64000 : 40000);
        QCOMPARE(s.Trace(), trace);
        // The last word shown started the second pass, which counts nothing.
        QCOMPARE(s.rig.ShowTimes(), QList<uint32_t>({1, 1, 1, 1}));
        QVERIFY(s.c.secondPass);
    }

    // A word tick that finds the batch finished saves it, loads the next and shows its
    // first word at once; the restarted word timer shows that word again a period later.
    void reloadInsideWordTickShowsFirstWordTwice() {
        StudyRig rig;
        QVERIFY(rig.WriteList(Words(1)));
        rig.Begin(10, true, false);
        rig.clock.AdvanceTo(36000);
        QStringList at;
        for (const auto& s : rig.view.shown)
            at << QString::number(s.at);
        QCOMPARE(at, QStringList({"8000", "12000", "16000", "20000", "24000", "32000", "36000"}));
        QCOMPARE(rig.ShowTimes(), QList<uint32_t>{3});
        QVERIFY(rig.view.timerLog.contains("24000 arm 1124 8000"));
        QVERIFY(rig.view.timerLog.contains("28000 arm 1125 8000"));
    }

    // Keys in a script: "M" manual playback, "n" next word, "p" previous word, a number
    // advances virtual time to it. Without sentences each press moves one entry and shows
    // that word with its meaning, which moves the cursor on again: every second word,
    // wrapping through the end position, where the batch is saved and the next one shown.
    // The next key reveals a meaning at once even with no word step before it; the
    // previous key stays on the first entry, re-shows a completed word (counting it again
    // in the first pass), and during a word's sentence steps goes to the word before.
    void keys_data() {
        QTest::addColumn<bool>("autoPlay");
        QTest::addColumn<bool>("showSentence");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QStringList>("trace");
        QTest::addColumn<QList<uint32_t>>("showTimes");
        QTest::addColumn<QStringList>("written");
        // clang-format off
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
        // clang-format on
    }

    void keys() {
        QFETCH(bool, autoPlay);
        QFETCH(bool, showSentence);
        QFETCH(QString, script);
        QFETCH(QStringList, trace);
        QFETCH(QList<uint32_t>, showTimes);
        QFETCH(QStringList, written);
        Started s(autoPlay, showSentence);
        for (const QString& key : script.split(u' ')) {
            if (key == u"M")
                s.c.OnManualPlay();
            else if (key == u"n")
                s.c.NextWord();
            else if (key == u"p")
                s.c.PrevWord();
            else
                s.rig.clock.AdvanceTo(key.toULongLong());
        }
        QCOMPARE(s.Named(), trace);
        QCOMPARE(s.rig.ShowTimes(), showTimes);
        QCOMPARE(s.rig.WrittenCounters(), written);
        QVERIFY(s.c.autoPlay || !s.rig.AnyTimerArmed()); // manual playback stays without timers
        QCOMPARE(s.rig.view.alerts.size(), script.count(u'M') > 0 ? 1 : 0); // the key help, once
    }

    // Showing the window restarts the timers even in manual playback: each word tick shows
    // word and meaning and moves on, and the meaning tick then reveals the following
    // entry's meaning (uncounted) and moves on again.
    void timersAfterHideAndShowInManualPlayback() {
        Started s(true, false);
        s.c.OnManualPlay();
        s.c.OnCommand(CStudyCycle::kCmdToggleFloat);
        s.rig.clock.AdvanceTo(30000);
        s.c.OnCommand(CStudyCycle::kCmdToggleFloat);
        s.rig.clock.AdvanceTo(50000);
        QCOMPARE(s.Trace(), QStringList({At(38000, "abandon"), At(38000, M1), At(42000, M2), At(46000, "cab"),
                                         At(46000, M3), At(50000, M4)}));
        QCOMPARE(s.rig.ShowTimes(), QList<uint32_t>({1, 0, 1, 0}));
    }

    void timings_data() {
        QTest::addColumn<int>("elapse"); // -1: key absent
        QTest::addColumn<int>("delay");
        QTest::addColumn<uint>("period");
        QTest::addColumn<uint>("offset");
        QTest::newRow("defaults") << -1 << -1 << 8000u << 4000u;
        QTest::newRow("elapse 0") << 0 << 4 << 8000u << 4000u;
        QTest::newRow("elapse 86401") << 86401 << 4 << 8000u << 4000u;
        QTest::newRow("elapse 86400") << 86400 << 4 << 86400000u << 4000u;
        QTest::newRow("delay equal to the period") << 5 << 5 << 5000u << 2500u;
        QTest::newRow("delay beyond the period") << 5 << 9 << 5000u << 2500u;
        QTest::newRow("delay below the period") << 3 << 2 << 3000u << 2000u;
        QTest::newRow("delay wraps in 32 bits") << 8 << 4294968 << 8000u << 704u;
        QTest::newRow("no delay") << 8 << 0 << 8000u << 0u;
    }

    // The meaning timer is armed offset after the word timer, so its ticks trail by offset.
    void timings() {
        QFETCH(int, elapse);
        QFETCH(int, delay);
        QFETCH(uint, period);
        QFETCH(uint, offset);
        StudyRig rig;
        if (elapse >= 0)
            rig.SetSetting("Word", "WordElapse", uint32_t(elapse));
        if (delay >= 0)
            rig.SetSetting("Word", "WordDelayChnTime", uint32_t(delay));
        rig.clock.AdvanceTo(1000);
        rig.cycle->RestartTimers();
        QCOMPARE(rig.cycle->wordPeriod, period);
        QCOMPARE(rig.cycle->meaningDelay, offset);
        rig.clock.AdvanceTo(1000 + uint64_t(period) + offset);
        const QStringList log = rig.view.timerLog.filter(QRegularExpression(" (arm|tick|delay)"));
        const QString p = QString::number(period);
        QStringList expected{QStringLiteral("1000 arm 1124 ") + p};
        if (offset > 0)
            expected << QStringLiteral("1000 delay %1").arg(offset);
        expected << QStringLiteral("%1 arm 1125 ").arg(1000 + offset) + p
                 << QStringLiteral("%1 tick 1124").arg(1000 + uint64_t(period))
                 << QStringLiteral("%1 tick 1125").arg(1000 + uint64_t(period) + offset);
        QCOMPARE(log, expected);
    }

    void killingCancelsPendingArm_data() {
        QTest::addColumn<int>("command");
        QTest::newRow("manual playback") << int(CStudyCycle::kCmdManualPlay);
        QTest::newRow("hide") << int(CStudyCycle::kCmdToggleFloat);
    }

    void killingCancelsPendingArm() {
        QFETCH(int, command);
        Started s;
        s.rig.clock.AdvanceTo(2000); // inside the 4-second delay
        QVERIFY(s.rig.view.DelayPending());
        s.c.OnCommand(command);
        s.rig.clock.AdvanceTo(60000);
        QVERIFY(s.rig.view.shown.isEmpty());
        QVERIFY(s.rig.view.timerLog.filter(QStringLiteral("arm 1125")).isEmpty());
        // Back to automatic playback (or shown again): one fresh offset, nothing left over.
        s.c.OnCommand(command == CStudyCycle::kCmdManualPlay ? CStudyCycle::kCmdAutoPlay
                                                             : CStudyCycle::kCmdToggleFloat);
        s.rig.clock.AdvanceTo(72000);
        QCOMPARE(s.Trace(), QStringList({At(68000, "abandon"), At(72000, M1)}));
    }

    // The sheet runs with the timers stopped; a period changed in it applies afterwards.
    void optionsSheetRereadsTimings() {
        Started s;
        s.rig.view.onOptionsSheet = [&] { s.rig.SetSetting("Word", "WordElapse", 3); };
        s.rig.clock.AdvanceTo(5000);
        s.c.OnCommand(CStudyCycle::kCmdOptions);
        QVERIFY(s.rig.view.timersKilledDuringSheet);
        s.rig.clock.AdvanceTo(9500);
        QCOMPARE(s.Trace(), QStringList({At(8000, "abandon"), At(9500, M1)}));
    }

    void learningStats() {
        QList<fixture::Row> rows = Words(5);
        rows[1].showTimes = 7;
        rows[3].showTimes = 9;
        StudyRig rig;
        QVERIFY(rig.WriteList(rows));
        rig.Open();
        CStudyCycle& c = *rig.cycle;
        c.OnCommand(CStudyCycle::kCmdLearningStats);
        c.ScheduleNextBatch(); // the walk passes every row
        c.OnCommand(CStudyCycle::kCmdLearningStats);
        QCOMPARE(rig.view.alerts.size(), 2);
        QVERIFY(rig.view.alerts[0].second.endsWith(QStringLiteral("完全记住单词数：0\n需要继续学习单词数：5")));
        QCOMPARE(rig.view.alerts[1].second,
                 QStringLiteral(
                     "学习状态统计：\n所选词库共有单词数：5\n已经完全记住单词数：2\n需要继续学习单词数：3"));
    }
};

QTEST_GUILESS_MAIN(TestPlayback)
#include "test_playback.moc"
