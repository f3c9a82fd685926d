#pragma once

#include "settings/SpeechSettings.h"
#include "study/SpeechModule.h"
#include "study/StudyObserver.h"

#include <QString>
#include <functional>
#include <memory>

namespace mnemora {

// Says what the study shows: the word when it appears (option SpeakWord) or when the
// user asks for it, and the English example sentences (SpeakSentences). A new word cuts
// off speech still going on. Nothing is said on its own while the study may not speak
// (the window is hidden, the study paused).
//
// The engine is made on first use, not before: a run that never speaks never loads it.
// When it cannot be made or fails later, the reason is reported once and speaking stays
// off for the rest of the run; the study goes on silently.
class CSpeechCoach final : public IStudyObserver {
public:
    // Makes the engine; null with a reason in problem when there is none.
    using SpeakerFactory = std::function<std::unique_ptr<ISpeaker>(QString* problem)>;
    using MaySpeak = std::function<bool()>;
    // Gets the one line that tells the user speaking is off ("无法朗读：…").
    using Report = std::function<void(const QString& line)>;

    CSpeechCoach(SpeakerFactory factory, MaySpeak maySpeak, Report report);
    ~CSpeechCoach() override;
    CSpeechCoach(const CSpeechCoach&) = delete;
    CSpeechCoach& operator=(const CSpeechCoach&) = delete;

    void SetOptions(const SpeechOptions& options);
    const SpeechOptions& Options() const { return options_; }

    void OnWordShown(const WordRecord& record, bool firstPass) override;
    void OnSentenceShown(const WordRecord& record, int which) override;

    // The command "朗读单词" and the Space key: says the word on show again.
    void SpeakWordOnShow();
    // Cuts off speech going on (the window was hidden, the study paused).
    void Silence();

    // False once speaking has failed; Problem() then says why.
    bool Available() const { return problem_.isEmpty(); }
    const QString& Problem() const { return problem_; }
    // Whether a word is on show to be spoken.
    bool HasWord() const { return !word_.isEmpty(); }
    // Whether the engine has been made (tests and the start-up benchmark look at it).
    bool EngineLoaded() const { return speaker_ != nullptr; }

    static QString ReportLine(const QString& problem);

private:
    ISpeaker* Engine();
    void Speak(const QString& text);
    void Fail(const QString& problem);

    SpeakerFactory factory_;
    MaySpeak maySpeak_;
    Report report_;
    SpeechOptions options_;
    std::unique_ptr<ISpeaker> speaker_;
    QString word_;
    QString problem_;
};

} // namespace mnemora
