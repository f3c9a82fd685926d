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
class FakeSpeaker final : public ISpeaker {
public:
    explicit FakeSpeaker(QStringList& log, QString problem = {}) : log_(log), problem_(std::move(problem)) {}
    QString Problem() const override { return problem_; }
    void Configure(const QString& voice, int rate) override {
        log_ << QStringLiteral("voice %1 %2").arg(voice).arg(rate);
    }
    void Say(const QString& text) override { log_ << QStringLiteral("say ") + text; }
    void Stop() override { log_ << QStringLiteral("stop"); }
    bool IsSpeaking() const override { return false; }
    void SetFailureHandler(std::function<void(const QString&)> handler) override {
        fail = std::move(handler);
    }
    std::function<void(const QString&)> fail;

private:
    QStringList& log_;
    QString problem_;
};

// "W S RATE VOICE": speak words, speak sentences, rate, voice.
SpeechOptions Options(const QString& text) {
    const QStringList f = text.split(u' ');
    return {f[0] == u"1", f[1] == u"1", f[2].toInt(), f[3]};
}

} // namespace

class TestSpeech : public QObject {
    Q_OBJECT
private slots:
    // "abandon" with both sentences, "bay" with none: abandon at 8 s, its sentences at 16
    // and 24 s, bay at 32 s. Steps: "at MS" advances virtual time, "hide"/"show" the window,
    // "space" the user's command, "opt W S RATE VOICE" new options, "fail" a later engine failure.
    void speaksWhatTheStudyShows_data() {
        QTest::addColumn<QString>("options");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("expected");
        // clang-format off
        QTest::newRow("silent by default, no engine made") << "0 0 -20 en-US" << QStringList{"at 39000"} << QStringList{};
        QTest::newRow("space says the word on show, even under its sentence; a new word stops it")
            << "0 0 -20 en-US" << QStringList{"at 17000", "space", "at 33000"}
            << QStringList{"voice en-US -20", "say abandon", "stop"};
        QTest::newRow("each new word, with the chosen voice and rate") << "1 0 10 en-GB" << QStringList{"at 39000"}
            << QStringList{"voice en-GB 10", "say abandon", "stop", "say bay"};
        QTest::newRow("sentences in English as they appear") << "1 1 -20 en-US" << QStringList{"at 30000"}
            << QStringList{"voice en-US -20", "say abandon", "say They had to abandon the car.", "say Never abandon hope."};
        QTest::newRow("nothing said on its own while hidden; hiding stops speech")
            << "1 1 -20 en-US" << QStringList{"at 9000", "hide", "at 39000", "show", "space"}
            << QStringList{"voice en-US -20", "say abandon", "stop", "stop", "say bay"};
        QTest::newRow("options changed on the way take effect at once")
            << "1 0 -20 en-US" << QStringList{"at 9000", "opt 0 1 30 en-GB", "at 39000"}
            << QStringList{"voice en-US -20", "say abandon", "voice en-GB 30", "say They had to abandon the car.",
                           "say Never abandon hope.", "stop"};
        QTest::newRow("a later failure turns speaking off for the run")
            << "1 0 -20 en-US" << QStringList{"at 9000", "fail", "at 39000", "space"}
            << QStringList{"voice en-US -20", "say abandon", "report 无法朗读：audio gone"};
        // clang-format on
    }

    void speaksWhatTheStudyShows() {
        QFETCH(QString, options);
        QFETCH(QStringList, steps);
        QFETCH(QStringList, expected);
        StudyRig rig;
        QVERIFY(rig.Begin({{1, "abandon", 0, 0, "əˈbændən", "v. 放弃", "They had to abandon the car.",
                            "他们只好弃车。", "Never abandon hope.", "永不放弃希望。"},
                           {2, "bay", 0, 0, "", "n. 海湾"}},
                          10));
        QStringList log;
        FakeSpeaker* engine = nullptr;
        CSpeechCoach coach(
            [&](QString*) {
                auto made = std::make_unique<FakeSpeaker>(log);
                engine = made.get();
                return made;
            },
            [&] { return rig.view.visible; },
            [&](const QString& line) { log << QStringLiteral("report ") + line; });
        coach.SetOptions(Options(options));
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
            else if (step.startsWith(u"opt "))
                coach.SetOptions(Options(step.mid(4)));
            else if (step == u"fail" && engine != nullptr)
                engine->fail(QStringLiteral("audio gone"));
        }
        QCOMPARE(log, expected);
        QCOMPARE(coach.EngineLoaded(), !expected.isEmpty());
        rig.cycle->RemoveObserver(&coach);
    }

    // An engine that cannot speak: one line, the command disabled after. (A missing module
    // goes the same way; the desktop test sees it.)
    void reportsAnEngineThatCannotSpeakOnce() {
        const QString why = QStringLiteral("语音服务没有英语语音");
        QStringList log;
        CSpeechCoach coach([&](QString*) { return std::make_unique<FakeSpeaker>(log, why); },
                           [] { return true; }, [&](const QString& line) { log << line; });
        coach.SetOptions({true, false, 0, QStringLiteral("en-US")});
        WordRecord word;
        word.word = QStringLiteral("abandon");
        coach.OnWordShown(word, true);
        coach.SpeakWordOnShow();
        coach.OnWordShown(word, false);
        QCOMPARE(log, QStringList{QStringLiteral("无法朗读：") + why});
        QVERIFY(!coach.Available() && coach.Problem() == why);
    }

    // The system's voices by their "Language" attribute: the accent asked for, else any
    // English voice, never another language.
    void choosesAnEnglishVoiceByLanguage() {
        const QList<std::tuple<QStringList, QString, int>> cases{
            {{"411", "809", "409;9"}, "en-US", 2}, {{"411", "809", "409;9"}, "en-GB", 1},
            {{"411", "c09", "809"}, "en-US", 1}, // another accent rather than another language
            {{"", "x", "9"}, "en-GB", 2},        // the neutral English id
            {{"411;804", "1009"}, "en-US", 1},   // a voice of two languages, Canadian English
            {{"411", "804", "0"}, "en-US", -1},
        };
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

    void readsOptionsWithDefaults() {
        StudyRig rig; // points the settings at its own file
        const QList<QPair<QByteArray, SpeechOptions>> cases{
            {"SpeakWord=1\nSpeakSentences=2\nRate=-50\nVoice=en-gb\n",
             {true, true, -50, QStringLiteral("en-GB")}},
            {"Rate=51\nVoice=C\n", {}},
            {"Rate=-51\nVoice=\n", {}},
            {"Rate=99999999999\n", {}},
        };
        for (const auto& [text, options] : cases) {
            QVERIFY(testdata::WriteFile(rig.dir.filePath("mnemora.ini"), "[Speech]\n" + text));
            QCOMPARE(ReadSpeechOptions(), options);
        }
        const SpeechOptions slow{false, true, -20, QStringLiteral("en-GB")};
        QVERIFY(WriteSpeechOptions(slow));
        QCOMPARE(ReadSpeechOptions(), slow);
    }
};

QTEST_GUILESS_MAIN(TestSpeech)
#include "test_speech.moc"
