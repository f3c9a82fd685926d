// The speech engine module: Qt TextToSpeech on the desktop's speech service
// (speech-dispatcher). A Qt plugin loaded on first use, so the program itself never links
// Qt TextToSpeech.
#include "study/SpeechModule.h"

#include <QLocale>
#include <QTextToSpeech>
#include <QVoice>
#include <memory>
#include <utility>

namespace mnemora {
namespace {

// speech-dispatcher speaks through whatever synthesiser the desktop set up (espeak-ng
// by default) and the user can point it at better voices. Qt 6.4's flite engine goes
// silent after its first utterance, so it is never chosen.
constexpr char kEngine[] = "speechd";

QLocale LocaleOf(const QString& voice) {
    return QLocale(QString(voice).replace(u'-', u'_'));
}

class CQtSpeaker final : public ISpeaker {
public:
    CQtSpeaker() {
        if (!QTextToSpeech::availableEngines().contains(QLatin1String(kEngine))) {
            problem_ = QStringLiteral(
                "没有 speechd 语音引擎（需要 qt6-speech-speechd-plugin 和 speech-dispatcher）");
            return;
        }
        tts_ = std::make_unique<QTextToSpeech>(QString::fromLatin1(kEngine));
        if (tts_->state() == QTextToSpeech::Error) {
            problem_ = EngineError();
            return;
        }
        QObject::connect(tts_.get(), &QTextToSpeech::errorOccurred, tts_.get(),
                         [this](QTextToSpeech::ErrorReason, const QString& text) {
                             const QString reason = text.isEmpty() ? EngineError() : text;
                             if (problem_.isEmpty())
                                 problem_ = reason;
                             if (failed_)
                                 failed_(reason);
                         });
    }

    QString Problem() const override { return problem_; }

    void Configure(const QString& voice, int rate) override {
        if (!problem_.isEmpty())
            return;
        const QList<QLocale> locales = tts_->availableLocales();
        const QLocale wanted = LocaleOf(voice);
        // The wanted accent, else any English voice; never the engine's "C" default,
        // which would read English words with another language's rules.
        QLocale chosen = QLocale::c();
        for (const QLocale& locale : locales) {
            if (locale.language() == wanted.language() && locale.territory() == wanted.territory()) {
                chosen = locale;
                break;
            }
            if (locale.language() == QLocale::English && chosen == QLocale::c())
                chosen = locale;
        }
        if (chosen == QLocale::c()) {
            problem_ = QStringLiteral("语音服务没有英语语音");
            return;
        }
        tts_->setLocale(chosen);
        tts_->setRate(rate / 100.0);
        if (tts_->state() == QTextToSpeech::Error)
            problem_ = EngineError();
    }

    void Say(const QString& text) override {
        if (!problem_.isEmpty())
            return;
        if (tts_->state() == QTextToSpeech::Speaking)
            tts_->stop(QTextToSpeech::BoundaryHint::Immediate);
        tts_->say(text);
    }

    void Stop() override {
        if (problem_.isEmpty() && tts_->state() == QTextToSpeech::Speaking)
            tts_->stop(QTextToSpeech::BoundaryHint::Immediate);
    }

    bool IsSpeaking() const override {
        return problem_.isEmpty() && tts_->state() == QTextToSpeech::Speaking;
    }

    void SetFailureHandler(std::function<void(const QString&)> handler) override {
        failed_ = std::move(handler);
    }

private:
    QString EngineError() const {
        const QString text = tts_->errorString();
        return text.isEmpty() ? QStringLiteral("语音服务（speech-dispatcher）无法启动") : text;
    }

    std::unique_ptr<QTextToSpeech> tts_;
    QString problem_;
    std::function<void(const QString&)> failed_;
};

} // namespace

class CSpeechModule final : public QObject, public ISpeechModule {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID MNEMORA_SPEECH_MODULE_IID)
    Q_INTERFACES(mnemora::ISpeechModule)

public:
    ISpeaker* CreateSpeaker() override { return new CQtSpeaker(); }
};

} // namespace mnemora

#include "QtSpeaker.moc"
