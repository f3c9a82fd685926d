#include "StudyRig.h"
#include "TestData.h"
#include "settings/SpeechSettings.h"
#include "speech/VoiceChoice.h"
#include "study/SpeechCoach.h"

#include <QPluginLoader>
#include <QTest>
#include <memory>

using namespace mnemora;

namespace {

// The engine as the coach drives it: every call is written down.
struct FakeSpeaker final : ISpeaker {
    FakeSpeaker(QStringList& log, QString problem) : log(log), problem(std::move(problem)) {}
    QString Problem() const override { return problem; }
    void Configure(const QString& v, int r) override { log << QStringLiteral("voice %1 %2").arg(v).arg(r); }
    void Say(const QString& text) override { log << QStringLiteral("say ") + text; }
    void Stop() override { log << QStringLiteral("stop"); }
    bool IsSpeaking() const override { return false; }
    void SetFailureHandler(std::function<void(const QString&)> f) override { fail = std::move(f); }
    QStringList& log;
    QString problem;
    std::function<void(const QString&)> fail;
};

} // namespace

class TestSpeech : public QObject {
    Q_OBJECT
private slots:
    // "abandon" with both sentences, "bay" with none: abandon at 8 s, its sentences at 16 and 24 s,
    // bay at 32 s. Steps: "opt W S RATE VOICE" new options (speak words, speak sentences, rate,
    // voice), "at MS" advances virtual time, "hide"/"show" the window, "space" the user's command,
    // "fail" a later engine failure, "mute" an engine that cannot speak at all. Speaking off ends
    // the log with "off" and why.
    void speaksWhatTheStudyShows_data() {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("expected");
        // clang-format off
        QTest::newRow("silent by default, no engine made") << QStringList{"at 39000"} << QStringList{};
        QTest::newRow("space says the word on show, even under its sentence; a new word stops it")
            << QStringList{"at 17000", "space", "at 33000"} << QStringList{"voice en-US -20", "say abandon", "stop"};
        QTest::newRow("each new word and its sentences in English, with the chosen voice and rate")
            << QStringList{"opt 1 1 10 en-GB", "at 39000"} << QStringList{"voice en-GB 10", "say abandon",
               "say They had to abandon the car.", "say Never abandon hope.", "stop", "say bay"};
        QTest::newRow("nothing said on its own while hidden; hiding stops speech")
            << QStringList{"opt 1 1 -20 en-US", "at 9000", "hide", "at 39000", "show", "space"}
            << QStringList{"voice en-US -20", "say abandon", "stop", "stop", "say bay"};
        QTest::newRow("options changed on the way take effect at once")
            << QStringList{"opt 1 0 -20 en-US", "at 9000", "opt 0 1 30 en-GB", "at 39000"}
            << QStringList{"voice en-US -20", "say abandon", "voice en-GB 30", "say They had to abandon the car.",
                           "say Never abandon hope.", "stop"};
        QTest::newRow("a later failure turns speaking off for the run")
            << QStringList{"opt 1 0 -20 en-US", "at 9000", "fail", "at 39000", "space"}
            << QStringList{"voice en-US -20", "say abandon", "report 无法朗读：audio gone", "off audio gone"};
        QTest::newRow("an engine that cannot speak: one line, the command off after")
            << QStringList{"opt 1 0 -20 en-US", "mute", "at 9000", "space", "at 39000"}
            << QStringList{"report 无法朗读：没有英语语音", "off 没有英语语音"};
        // clang-format on
    }

    void speaksWhatTheStudyShows() {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, expected);
        StudyRig rig;
        QVERIFY(rig.Begin({{1, "abandon", 0, 0, "əˈbændən", "v. 放弃", "They had to abandon the car.",
                            "他们只好弃车。", "Never abandon hope.", "永不放弃希望。"},
                           {2, "bay", 0, 0, "", "n. 海湾"}},
                          10));
        QStringList log;
        FakeSpeaker* engine = nullptr;
        QString problem;
        CSpeechCoach coach(
            [&](QString*) { return std::unique_ptr<ISpeaker>(engine = new FakeSpeaker(log, problem)); },
            [&] { return rig.view.visible; },
            [&](const QString& line) { log << QStringLiteral("report ") + line; });
        rig.cycle->AddObserver(&coach);
        for (const QString& step : steps) {
            if (step.startsWith(u"at "))
                rig.clock.AdvanceTo(step.mid(3).toULongLong());
            else if (step == u"hide")
                coach.Silence(), rig.view.visible = false; // as the window does when it hides
            else if (step == u"show")
                rig.view.visible = true;
            else if (step == u"space")
                coach.SpeakWordOnShow();
            else if (const QStringList f = step.split(u' '); f[0] == u"opt")
                coach.SetOptions({f[1] == u"1", f[2] == u"1", f[3].toInt(), f[4]});
            else if (step == u"fail" && engine != nullptr)
                engine->fail(QStringLiteral("audio gone"));
            else if (step == u"mute")
                problem = QStringLiteral("没有英语语音");
        }
        if (!coach.Available())
            log << QStringLiteral("off ") + coach.Problem();
        QCOMPARE(log, expected);
        QCOMPARE(coach.EngineLoaded(), expected.value(0).startsWith(u"voice"));
        rig.cycle->RemoveObserver(&coach);
    }

    // The system's voices by their "Language" attribute: the accent asked for, else any
    // English voice, never another language.
    void choosesAnEnglishVoiceByLanguage() {
        const QList<std::tuple<QStringList, QString, int>> cases{
            {{"411", "809", "409;9"}, "en-US", 2}, {{"411", "809", "409;9"}, "en-GB", 1},
            {{"411", "c09", "809"}, "en-US", 1}, // another accent rather than another language
            {{"", "x", "9"}, "en-GB", 2},        // the neutral English id
            {{"411;804", "1009"}, "en-US", 1},   // a voice of two languages, Canadian English
            {{"411", "804", "0"}, "en-US", -1}};
        for (const auto& [languages, accent, chosen] : cases)
            QCOMPARE(ChooseVoice(languages, accent), chosen);
    }

#ifdef SAPI_MODULE
    // The Windows module on the system's SAPI. Wine's prefix has SAPI but no voice: the
    // engine says so in one line, and nothing it is asked afterwards speaks, fails or crashes.
    void sapiWithoutAnEnglishVoiceSaysWhy() {
        QPluginLoader loader(QStringLiteral(SAPI_MODULE));
        auto* module = qobject_cast<ISpeechModule*>(loader.instance());
        QVERIFY2(module != nullptr, qPrintable(loader.errorString()));
        const std::unique_ptr<ISpeaker> speaker(module->CreateSpeaker());
        QStringList failures;
        speaker->SetFailureHandler([&](const QString& why) { failures << why; });
        QCOMPARE(speaker->Problem(), QString());
        speaker->Configure(QStringLiteral("en-US"), -20);
        QCOMPARE(speaker->Problem(), QStringLiteral("系统没有英语语音（Windows 设置“语音”中可以添加）"));
        speaker->Say(QStringLiteral("abandon"));
        speaker->Stop();
        QVERIFY(!speaker->IsSpeaking() && failures.isEmpty());
    }
#endif

    // What the file says, or the default where it says nothing usable; what is written reads back.
    void readsOptionsWithDefaults() {
        StudyRig rig; // points the settings at its own file
        for (const auto& [text, options] : QList<QPair<QByteArray, SpeechOptions>>{
                 {"SpeakWord=0\nSpeakSentences=2\nRate=-50\nVoice=en-gb\n", {false, true, -50, "en-GB"}},
                 {"SpeakWord=1\nRate=51\nVoice=C\n", {true, false, -20, "en-US"}},
                 {"Rate=-51\nVoice=\n", {}},
                 {"Rate=99999999999\n", {}}}) {
            QVERIFY(testdata::WriteFile(rig.dir.filePath("mnemora.ini"), "[Speech]\n" + text));
            QCOMPARE(ReadSpeechOptions(), options);
            QVERIFY(testdata::WriteFile(rig.dir.filePath("mnemora.ini"), {}) && WriteSpeechOptions(options));
            QCOMPARE(ReadSpeechOptions(), options);
        }
    }
};

QTEST_GUILESS_MAIN(TestSpeech)
#include "test_speech.moc"
