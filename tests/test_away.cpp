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
    void Set(PresenceState next) { emit changed(state = next); }
    PresenceState state;
    uint32_t idleLimit = 0;
    bool watchFullScreen = false;
};

// Four words without sentences, defaults 8 s / 4 s, the first batch scheduled at 0: w1 at
// 8 s, its meaning at 12 s, w2 at 16 s, ...
struct Rig : StudyRig {
    Rig() { Begin(Words(4), 10, true, false); }
    // "t w2" for a word, "t m2" for its meaning.
    QStringList Steps() const {
        return Trace([](const QString& text) { return (text.contains(u'[') ? "m" : "w") + text.mid(1, 1); });
    }
    CStudyCycle& c = *cycle;
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
        // clang-format off
        QTest::newRow("before the first word") << 2000 << 50000 << QStringList{"58000 w1", "62000 m1", "66000 w2"}
            << QList<uint32_t>{1, 1, 0, 0};
        QTest::newRow("word shown, meaning due") << 10000 << 100000
            << QStringList{"8000 w1", "104000 m1", "108000 w2", "112000 m2", "116000 w3"} << QList<uint32_t>{1, 1, 1, 0};
        QTest::newRow("meaning shown") << 13000 << 100000
            << QStringList{"8000 w1", "12000 m1", "108000 w2", "112000 m2", "116000 w3"} << QList<uint32_t>{1, 1, 1, 0};
        QTest::newRow("back at once") << 13000 << 13000
            << QStringList{"8000 w1", "12000 m1", "21000 w2", "25000 m2", "29000 w3"} << QList<uint32_t>{1, 1, 1, 0};
        // clang-format on
    }
    void pauseAndResume() {
        QFETCH(int, awayAt);
        QFETCH(int, backAt);
        Rig r;
        r.clock.AdvanceTo(uint64_t(awayAt));
        r.c.SetAway(true);
        QVERIFY(r.c.IsAway() && !r.view.AnyTimerArmed());
        r.clock.AdvanceTo(uint64_t(backAt));
        r.c.SetAway(false);
        r.clock.AdvanceTo(uint64_t(backAt) + 16000);
        QTEST(r.Steps(), "trace");
        QTEST(r.ShowTimes(), "showTimes");
    }

    // Whatever would restart the timers while away only notes whether they are wanted.
    void commandsWhileAway_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("armedAfterReturn");
        QTest::newRow("options sheet") << "options" << true; // hide and show would go the same way
        QTest::newRow("hide only") << "toggle" << false;
        QTest::newRow("tray double click") << "tray" << true;
        QTest::newRow("manual") << "manual" << false;
        QTest::newRow("manual then automatic") << "manual auto" << true;
        QTest::newRow("new batch") << "schedule" << true;
    }
    void commandsWhileAway() {
        QFETCH(QString, action);
        Rig r;
        r.clock.AdvanceTo(13000);
        r.c.SetAway(true);
        const QMap<QString, void (CStudyCycle::*)()> commands{
            {"options", &CStudyCycle::OpenOptions},    {"toggle", &CStudyCycle::OnToggleFloat},
            {"tray", &CStudyCycle::OnTrayDoubleClick}, {"manual", &CStudyCycle::OnManualPlay},
            {"auto", &CStudyCycle::OnAutoPlay},        {"schedule", &CStudyCycle::ScheduleNextBatch}};
        for (const QString& step : action.split(u' '))
            (r.c.*commands[step])();
        r.clock.AdvanceTo(60000);
        QVERIFY(!r.view.AnyTimerArmed() && r.view.shown.size() == 2);
        r.c.SetAway(false);
        QTEST(r.clock.IsArmed(kWordTimerId), "armedAfterReturn");
    }

    // Which signs pause and which hide, under the settings and the playback mode. A state names
    // the signs: locked, idle, full (screen); and the setup: pause (PauseWhenAway), hide
    // (HideOnFullScreen), manual playback.
    void policy_data() {
        QTest::addColumn<QString>("state");
        QTest::addColumn<bool>("paused");
        QTest::addColumn<bool>("covered");
        QTest::newRow("locked") << "locked pause hide" << true << false;
        QTest::newRow("locked, pause off") << "locked hide" << false << false;
        QTest::newRow("idle") << "idle pause hide" << true << false;
        QTest::newRow("idle, manual") << "idle pause hide manual" << false << false;
        QTest::newRow("locked, manual") << "locked pause hide manual" << true << false;
        QTest::newRow("full screen") << "full hide" << true << true;
        QTest::newRow("full screen, hide off") << "full pause" << false << false;
    }
    void policy() {
        QFETCH(QString, state);
        QFETCH(bool, paused);
        const bool pauseWhenAway = state.contains("pause"), hideOnFullScreen = state.contains("hide");
        Rig r;
        WriteProfileUInt("Away", "PauseWhenAway", pauseWhenAway ? 1 : 0);
        WriteProfileUInt("Away", "HideOnFullScreen", hideOnFullScreen ? 1 : 0);
        WriteProfileUInt("Away", "AwayMinutes", 7);
        if (state.contains("manual"))
            r.c.OnManualPlay();
        FakePresence presence;
        CAwayWatch watch(presence, r.c);
        watch.LoadSettings();
        QVERIFY(presence.idleLimit == (pauseWhenAway ? 7u * 60000u : 0u) &&
                presence.watchFullScreen == hideOnFullScreen);
        QSignalSpy tip(&watch, &CAwayWatch::pausedChanged);
        presence.Set({state.contains("locked"), state.contains("idle"), state.contains("full")});
        QVERIFY(watch.Paused() == paused && r.c.IsAway() == paused && tip.size() == (paused ? 1 : 0));
        QTEST(watch.Covered(), "covered");
        presence.Set({});
        QVERIFY(!watch.Paused() && !r.c.IsAway() && !watch.Covered());
    }

    // Stored values are read back; missing or out-of-range ones give the defaults.
    void settingsRepair() {
        const QList<QPair<QByteArray, QList<int>>> cases{
            {"", {1, 5, 1}},
            {"PauseWhenAway=0\nAwayMinutes=120\nHideOnFullScreen=2\n", {0, 120, 0}},
            {"AwayMinutes=0\n", {1, 5, 1}},
            {"AwayMinutes=121\n", {1, 5, 1}}};
        StudyRig rig;
        for (const auto& [file, read] : cases) {
            QVERIFY(testdata::WriteFile(rig.dir.filePath("mnemora.ini"), "[Away]\n" + file));
            const AwaySettings s = ReadAwaySettings();
            QCOMPARE((QList<int>{s.pauseWhenAway, int(s.awayMinutes), s.hideOnFullScreen}), read);
        }
    }
};

QTEST_GUILESS_MAIN(TestAway)
#include "test_away.moc"
