#pragma once

#include <QString>
#include <QStringList>

namespace mnemora {

// The pronunciation options, section "Speech" of the settings file.
struct SpeechOptions {
    static constexpr int kRateMin = -50;
    static constexpr int kRateMax = 50;
    // A little slower than the engine's normal pace: learners hear each sound.
    static constexpr int kDefaultRate = -20;

    bool speakWord = false;         // "SpeakWord": each new word as it appears
    bool speakSentences = false;    // "SpeakSentences": the English example sentences too
    int rate = kDefaultRate;        // "Rate"
    QString voice = DefaultVoice(); // "Voice"

    static QString DefaultVoice() { return QStringLiteral("en-US"); }
    // The voices offered, default first.
    static QStringList Voices() { return {QStringLiteral("en-US"), QStringLiteral("en-GB")}; }

    bool operator==(const SpeechOptions&) const = default;
};

// Reads the options; a rate outside -50..50 or an unknown voice reads as its default.
SpeechOptions ReadSpeechOptions();
// Writes all four keys; true when every one reached the file.
bool WriteSpeechOptions(const SpeechOptions& options);

} // namespace mnemora
