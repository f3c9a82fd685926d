// The speech engine module on Windows: SAPI 5's voice (ISpVoice) through COM, with a voice
// of the system picked by its language. A Qt plugin loaded on first use.
#include "speech/VoiceChoice.h"
#include "study/SpeechModule.h"

#include <QObject>
#include <utility>
#include <vector>

#include <windows.h>

#include <objbase.h>
#include <sapi.h>
#include <wrl/client.h>

namespace mnemora {
namespace {

using Microsoft::WRL::ComPtr;

QString ErrorText(const char* what, HRESULT result) {
    return QStringLiteral("%1（SAPI 错误 0x%2）")
        .arg(QString::fromUtf8(what))
        .arg(quint32(result), 8, 16, QLatin1Char('0'));
}

// The system's voices with their "Language" attributes, in the system's order.
std::vector<std::pair<ComPtr<ISpObjectToken>, QString>> Voices() {
    std::vector<std::pair<ComPtr<ISpObjectToken>, QString>> voices;
    ComPtr<ISpObjectTokenCategory> category;
    ComPtr<IEnumSpObjectTokens> tokens;
    if (FAILED(CoCreateInstance(CLSID_SpObjectTokenCategory, nullptr, CLSCTX_ALL, IID_PPV_ARGS(&category))) ||
        FAILED(category->SetId(SPCAT_VOICES, FALSE)) ||
        FAILED(category->EnumTokens(nullptr, nullptr, &tokens)))
        return voices;
    ComPtr<ISpObjectToken> token;
    while (tokens->Next(1, &token, nullptr) == S_OK) {
        QString language;
        ComPtr<ISpDataKey> attributes;
        wchar_t* value = nullptr;
        if (SUCCEEDED(token->OpenKey(L"Attributes", &attributes)) &&
            SUCCEEDED(attributes->GetStringValue(L"Language", &value))) {
            language = QString::fromWCharArray(value);
            CoTaskMemFree(value);
        }
        voices.emplace_back(std::move(token), language);
        token.Reset();
    }
    return voices;
}

class CSapiSpeaker final : public ISpeaker {
public:
    CSapiSpeaker() {
        // The window's thread is already a single-threaded apartment (Qt's Windows plugin
        // starts OLE); elsewhere this makes it one. Only a successful call is balanced.
        const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        comStarted_ = SUCCEEDED(com);
        const HRESULT made = CoCreateInstance(CLSID_SpVoice, nullptr, CLSCTX_ALL, IID_PPV_ARGS(&voice_));
        if (FAILED(made))
            problem_ = ErrorText("Windows 语音服务（SAPI）无法启动", made);
    }

    ~CSapiSpeaker() override {
        if (voice_)
            voice_->Speak(nullptr, SPF_PURGEBEFORESPEAK, nullptr);
        voice_.Reset();
        if (comStarted_)
            CoUninitialize();
    }

    CSapiSpeaker(const CSapiSpeaker&) = delete;
    CSapiSpeaker& operator=(const CSapiSpeaker&) = delete;

    QString Problem() const override { return problem_; }

    void Configure(const QString& voice, int rate) override {
        if (!problem_.isEmpty())
            return;
        const auto voices = Voices();
        QStringList languages;
        for (const auto& entry : voices)
            languages << entry.second;
        const int chosen = ChooseVoice(languages, voice);
        // Never the system's default voice of another language, which would read English
        // words with its own rules.
        if (chosen < 0) {
            problem_ = QStringLiteral("系统没有英语语音（Windows 设置“语音”中可以添加）");
            return;
        }
        HRESULT result = voice_->SetVoice(voices[size_t(chosen)].first.Get());
        if (SUCCEEDED(result))
            result = voice_->SetRate(long(qBound(-10, rate / 5, 10))); // -50..50 onto SAPI's -10..10
        if (FAILED(result))
            problem_ = ErrorText("无法设置英语语音", result);
    }

    void Say(const QString& text) override {
        if (!problem_.isEmpty())
            return;
        // Asynchronous: the voice speaks on a thread of its own; whatever it still says is
        // dropped first. The text is plain text, never markup.
        const std::wstring wide = text.toStdWString();
        const HRESULT result =
            voice_->Speak(wide.c_str(), SPF_ASYNC | SPF_PURGEBEFORESPEAK | SPF_IS_NOT_XML, nullptr);
        if (FAILED(result))
            Fail(ErrorText("朗读失败", result));
    }

    void Stop() override {
        if (problem_.isEmpty())
            voice_->Speak(nullptr, SPF_PURGEBEFORESPEAK, nullptr);
    }

    bool IsSpeaking() const override {
        SPVOICESTATUS status{};
        return problem_.isEmpty() && SUCCEEDED(voice_->GetStatus(&status, nullptr)) &&
               status.dwRunningState == SPRS_IS_SPEAKING;
    }

    void SetFailureHandler(std::function<void(const QString&)> handler) override {
        failed_ = std::move(handler);
    }

private:
    void Fail(const QString& reason) {
        if (problem_.isEmpty())
            problem_ = reason;
        if (failed_)
            failed_(reason);
    }

    ComPtr<ISpVoice> voice_;
    bool comStarted_ = false;
    QString problem_;
    std::function<void(const QString&)> failed_;
};

} // namespace

class CSpeechModule final : public QObject, public ISpeechModule {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID MNEMORA_SPEECH_MODULE_IID)
    Q_INTERFACES(mnemora::ISpeechModule)

public:
    ISpeaker* CreateSpeaker() override { return new CSapiSpeaker(); }
};

} // namespace mnemora

#include "SapiSpeaker.moc"
