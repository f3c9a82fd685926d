#pragma once

#include <QString>
#include <QtPlugin>
#include <functional>

namespace mnemora {

// The speech engine as the study's pronunciation sees it. The real one lives in an
// optional module (mnemora-speech) so that neither start-up nor a machine without a
// speech service pays for it; tests use a fake.
class ISpeaker {
public:
    virtual ~ISpeaker() = default;

    // Empty while the engine can speak, else why it cannot ("没有英语语音", ...).
    virtual QString Problem() const = 0;
    // voice: "en-US" or "en-GB"; rate: -50 (slow) .. 50 (fast), 0 the engine's normal pace.
    virtual void Configure(const QString& voice, int rate) = 0;
    // Starts speaking text; speech still going on is cut off first.
    virtual void Say(const QString& text) = 0;
    virtual void Stop() = 0;
    virtual bool IsSpeaking() const = 0;
    // Called when the engine fails after it was made (the speech service went away, ...).
    virtual void SetFailureHandler(std::function<void(const QString& reason)> handler) = 0;
};

// The speech module's root object (platform/ModuleLoader.h).
class ISpeechModule {
public:
    virtual ~ISpeechModule() = default;
    // A new engine, owned by the caller. Never null; an engine that cannot work says so
    // through Problem().
    virtual ISpeaker* CreateSpeaker() = 0;
};

inline constexpr char kSpeechModuleName[] = "mnemora-speech";

} // namespace mnemora

// The version after the slash changes whenever either interface above changes.
#define MNEMORA_SPEECH_MODULE_IID "io.github.mnemora.SpeechModule/1"
Q_DECLARE_INTERFACE(mnemora::ISpeechModule, MNEMORA_SPEECH_MODULE_IID)
