// The float window's pronunciation: the speech module, loaded on first use, and the
// coach that says the words the study shows.
#include "app/MnemoraDlg.h"
#include "platform/ModuleLoader.h"
#include "study/SpeechCoach.h"
#include "study/SpeechModule.h"

#include <cstdio>

namespace mnemora {
namespace {

// How long the one notice that speaking is off stays up.
constexpr int kSpeechAlertSeconds = 6;

std::unique_ptr<ISpeaker> LoadSpeaker(QString* problem) {
    QString error;
    ISpeechModule* module = LoadModuleAs<ISpeechModule>(QString::fromLatin1(kSpeechModuleName), &error);
    if (module == nullptr) {
        *problem = QStringLiteral("没有朗读模块（%1）").arg(error);
        return nullptr;
    }
    return std::unique_ptr<ISpeaker>(module->CreateSpeaker());
}

} // namespace

void CMnemoraDlg::SetUpSpeech() {
    speech = std::make_unique<CSpeechCoach>(
        LoadSpeaker,
        // Nothing is said on its own while nobody sees the word or the study is paused.
        [this] { return isVisible() && !study.IsAway(); },
        [this](const QString& line) {
            std::fprintf(stderr, "mnemora: %s\n", line.toLocal8Bit().constData());
            ShowDesktopAlert(kSpeechAlertSeconds, line);
        });
    study.AddObserver(speech.get());
}

void CMnemoraDlg::OnSpeakWord() {
    speech->SpeakWordOnShow();
}

void CMnemoraDlg::ApplySpeechOptions(const SpeechOptions& options) {
    speech->SetOptions(options);
}

} // namespace mnemora
