#include "StudyRig.h"
#include "TestData.h"
#include "platform/PresenceSource.h"
#include "study/AwayWatch.h"

#include <QSignalSpy>
#include <QTest>

using namespace mnemora;

namespace {

class FakePresence final : public IPresenceSource {
public:
    PresenceState State() const override { return state; }
    void SetIdleLimit(uint32_t ms) override { idleLimit = ms; }
    void SetWatchFullScreen(bool on) override { watchFullScreen = on; }
    void Set(PresenceState next) {
        state = next;
        emit changed(state);
    }
    PresenceState state;
    uint32_t idleLimit = 0;
    bool watchFullScreen = false;
};

// Four words without sentences, defaults 8 s / 4 s, the first batch scheduled at 0: w1 at
// 8 s, its meaning at 12 s, w2 at 16 s, ...
struct Rig {
    Rig() {
        rig.WriteList(Words(4));
        rig.Begin(10, true, false);
    }
    // "t w2" for a word, "t m2" for its meaning.
    QStringList Trace() const {
        QStringList out;
        for (const auto& s : rig.view.shown)
            out << QString::number(s.at) + (s.text.contains(u'[') ? " m" : " w") + s.text.mid(1, 1);
        return out;
    }
    StudyRig rig;
    CStudyCycle& c = *rig.cycle;
};

} // namespace

class TestAway final : public QObject {
    Q_OBJECT
private slots:
    // Nothing is shown or counted while away; the return gives the step on show a whole
    // period, and a meaning still due comes one meaning delay after the return.
    void pauseAndResume_data() {
        QTest::addColumn<int>("awayAt");
        QTest::addColumn<int>("backAt");
        QTest::addColumn<QStringList>("trace");
        QTest::addColumn<QList<uint32_t>>("showTimes");
        QTest::newRow("before the first word") << 2000 << 50000 << QStringList{"58000 w1", "62000 m1", "66000 w2"}
                                               << QList<uint32_t>{1, 1, 0, 0};
        QTest::newRow("word shown, meaning due")
            << 10000 << 100000 << QStringList{"8000 w1", "104000 m1", "108000 w2", "112000 m2", "116000 w3"}
            << QList<uint32_t>{1, 1, 1, 0};
        QTest::newRow("meaning shown") << 13000 << 100000
                                       << QStringList{"8000 w1", "12000 m1", "108000 w2", "112000 m2", "116000 w3"}
                                       << QList<uint32_t>{1, 1, 1, 0};
        QTest::newRow("back at once") << 13000 << 13000
                                      << QStringList{"8000 w1", "12000 m1", "21000 w2", "25000 m2", "29000 w3"}
                                      << QList<uint32_t>{1, 1, 1, 0};
    }
    void pauseAndResume() {
        QFETCH(int, awayAt);
        QFETCH(int, backAt);
        QFETCH(QStringList, trace);
        QFETCH(QList<uint32_t>, showTimes);
        Rig r;
        r.rig.clock.AdvanceTo(uint64_t(awayAt));
        const qsizetype shownBefore = r.rig.view.shown.size();
        r.c.SetAway(true);
        QVERIFY(r.c.IsAway() && !r.rig.AnyTimerArmed());
        r.rig.clock.AdvanceTo(uint64_t(backAt));
        QCOMPARE(r.rig.view.shown.size(), shownBefore);
        r.c.SetAway(false);
        r.rig.clock.AdvanceTo(uint64_t(backAt) + 16000);
        QCOMPARE(r.Trace(), trace);
        QCOMPARE(r.rig.ShowTimes(), showTimes);
    }

    // Whatever would restart the timers while away only notes whether they are wanted.
    void commandsWhileAway_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("armedAfterReturn");
        QTest::newRow("options sheet") << "options" << true;
        QTest::newRow("hide and show") << "toggle toggle" << true;
        QTest::newRow("hide only") << "toggle" << false;
        QTest::newRow("tray double click") << "tray" << true;
        QTest::newRow("manual") << "manual" << false;
        QTest::newRow("manual then automatic") << "manual auto" << true;
        QTest::newRow("new batch") << "schedule" << true;
    }
    void commandsWhileAway() {
        QFETCH(QString, action);
        QFETCH(bool, armedAfterReturn);
        Rig r;
        r.rig.clock.AdvanceTo(13000);
        r.c.SetAway(true);
        const QMap<QString, void (CStudyCycle::*)()> commands{
            {"options", &CStudyCycle::OpenOptions},     {"toggle", &CStudyCycle::OnToggleFloat},
            {"tray", &CStudyCycle::OnTrayDoubleClick},  {"manual", &CStudyCycle::OnManualPlay},
            {"auto", &CStudyCycle::OnAutoPlay},         {"schedule", &CStudyCycle::ScheduleNextBatch}};
        for (const QString& step : action.split(u' '))
            (r.c.*commands[step])();
        r.rig.clock.AdvanceTo(60000);
        QVERIFY(!r.rig.AnyTimerArmed() && r.rig.view.shown.size() == 2);
        r.c.SetAway(false);
        QCOMPARE(r.rig.view.TimerArmed(kWordTimerId), armedAfterReturn);
    }

    // Which signs pause and which hide, under the settings and the playback mode.
    void policy_data() {
        QTest::addColumn<QString>("signs");
        QTest::addColumn<bool>("pauseWhenAway");
        QTest::addColumn<bool>("hideOnFullScreen");
        QTest::addColumn<bool>("autoPlay");
        QTest::addColumn<bool>("paused");
        QTest::addColumn<bool>("covered");
        QTest::newRow("present") << "" << true << true << true << false << false;
        QTest::newRow("locked") << "locked" << true << true << true << true << false;
        QTest::newRow("locked, pause off") << "locked" << false << true << true << false << false;
        QTest::newRow("idle") << "idle" << true << true << true << true << false;
        QTest::newRow("idle, manual") << "idle" << true << true << false << false << false;
        QTest::newRow("locked, manual") << "locked" << true << true << false << true << false;
        QTest::newRow("full screen") << "full" << false << true << true << true << true;
        QTest::newRow("full screen, hide off") << "full" << true << false << true << false << false;
    }
    void policy() {
        QFETCH(QString, signs);
        QFETCH(bool, pauseWhenAway);
        QFETCH(bool, hideOnFullScreen);
        QFETCH(bool, autoPlay);
        QFETCH(bool, paused);
        QFETCH(bool, covered);
        Rig r;
        r.rig.SetSetting("Away", "PauseWhenAway", pauseWhenAway ? 1 : 0);
        r.rig.SetSetting("Away", "HideOnFullScreen", hideOnFullScreen ? 1 : 0);
        r.rig.SetSetting("Away", "AwayMinutes", 7);
        if (!autoPlay)
            r.c.OnManualPlay();
        FakePresence presence;
        CAwayWatch watch(presence, r.c);
        watch.LoadSettings();
        QCOMPARE(presence.idleLimit, pauseWhenAway ? 7u * 60000u : 0u);
        QCOMPARE(presence.watchFullScreen, hideOnFullScreen);
        QSignalSpy tip(&watch, &CAwayWatch::pausedChanged);
        presence.Set({signs.contains("locked"), signs.contains("idle"), signs.contains("full")});
        QCOMPARE(watch.Paused(), paused);
        QCOMPARE(r.c.IsAway(), paused);
        QCOMPARE(watch.Covered(), covered);
        QCOMPARE(tip.size(), paused ? 1 : 0);
        presence.Set({});
        QVERIFY(!watch.Paused() && !r.c.IsAway() && !watch.Covered());
    }

    void settingsRepair_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("read"); // pause/minutes/hide
        QTest::newRow("no keys") << "" << "1/5/1";
        QTest::newRow("stored") << "PauseWhenAway=0\nAwayMinutes=120\nHideOnFullScreen=2\n" << "0/120/0";
        QTest::newRow("0 minutes") << "AwayMinutes=0\n" << "1/5/1";
        QTest::newRow("121 minutes") << "AwayMinutes=121\n" << "1/5/1";
    }
    void settingsRepair() {
        QFETCH(QString, file);
        QFETCH(QString, read);
        StudyRig rig;
        QVERIFY(testdata::WriteFile(rig.dir.filePath("mnemora.ini"), ("[Away]\n" + file).toUtf8()));
        const AwaySettings s = ReadAwaySettings();
        QCOMPARE(QStringLiteral("%1/%2/%3").arg(int(s.pauseWhenAway)).arg(s.awayMinutes).arg(int(s.hideOnFullScreen)),
                 read);
    }
};

QTEST_GUILESS_MAIN(TestAway)
#include "test_away.moc"
