#include "study/SpeechCoach.h"

#include <utility>

namespace mnemora {

CSpeechCoach::CSpeechCoach(SpeakerFactory factory, MaySpeak maySpeak, Report report)
    : factory_(std::move(factory)), maySpeak_(std::move(maySpeak)), report_(std::move(report)) {}

CSpeechCoach::~CSpeechCoach() = default;

QString CSpeechCoach::ReportLine(const QString& problem) {
    return QStringLiteral("无法朗读：") + problem;
}

void CSpeechCoach::SetOptions(const SpeechOptions& options) {
    const bool engineChange = options.voice != options_.voice || options.rate != options_.rate;
    options_ = options;
    if (speaker_ && engineChange && Available())
        speaker_->Configure(options_.voice, options_.rate);
}

void CSpeechCoach::OnWordShown(const WordRecord& record, bool /*firstPass*/) {
    word_ = record.word;
    if (speaker_ && Available())
        speaker_->Stop(); // the previous word's speech belongs to a word no longer on show
    if (options_.speakWord && maySpeak_())
        Speak(word_);
}

void CSpeechCoach::OnSentenceShown(const WordRecord& record, int which) {
    if (!options_.speakSentences || !maySpeak_())
        return;
    Speak(which == 1 ? record.sentence1 : record.sentence2);
}

void CSpeechCoach::SpeakWordOnShow() {
    // Asked for by the user at the window, so the window is there to hear it from.
    Speak(word_);
}

void CSpeechCoach::Silence() {
    if (speaker_ && Available())
        speaker_->Stop();
}

ISpeaker* CSpeechCoach::Engine() {
    if (!Available())
        return nullptr;
    if (!speaker_) {
        QString problem;
        std::unique_ptr<ISpeaker> made = factory_ ? factory_(&problem) : nullptr;
        if (made && problem.isEmpty())
            problem = made->Problem();
        if (!made || !problem.isEmpty()) {
            Fail(problem.isEmpty() ? QStringLiteral("没有语音引擎") : problem);
            return nullptr;
        }
        speaker_ = std::move(made);
        // The engine reports a later failure from inside its own event handling; only
        // the state is changed there, the engine itself stays until the coach goes.
        speaker_->SetFailureHandler([this](const QString& reason) { Fail(reason); });
        speaker_->Configure(options_.voice, options_.rate);
        if (const QString problemAfter = speaker_->Problem(); !problemAfter.isEmpty()) {
            Fail(problemAfter);
            return nullptr;
        }
    }
    return speaker_.get();
}

void CSpeechCoach::Speak(const QString& text) {
    if (text.trimmed().isEmpty())
        return;
    if (ISpeaker* engine = Engine())
        engine->Say(text);
}

void CSpeechCoach::Fail(const QString& problem) {
    if (!Available())
        return; // reported once
    problem_ = problem;
    if (report_)
        report_(ReportLine(problem));
}

} // namespace mnemora
