#include "settings/SpeechSettings.h"

#include "settings/IniProfile.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsKeys.h"

#include <cstdint>

namespace mnemora {

SpeechOptions ReadSpeechOptions() {
    SpeechOptions options;
    options.speakWord = ReadProfileInt(keys::kSpeech, keys::kSpeakWord, 0) != 0;
    options.speakSentences = ReadProfileInt(keys::kSpeech, keys::kSpeakSentences, 0) != 0;
    // The profile reader wraps negative numbers modulo 2^32; as a signed value they come back.
    const auto rate = static_cast<int32_t>(
        ReadProfileInt(keys::kSpeech, keys::kRate, static_cast<uint32_t>(SpeechOptions::kDefaultRate)));
    options.rate =
        rate < SpeechOptions::kRateMin || rate > SpeechOptions::kRateMax ? SpeechOptions::kDefaultRate : rate;
    const std::optional<QByteArray> voice = ini::ReadValue(GetSettingsPath(), keys::kSpeech, keys::kVoice);
    for (const QString& known : SpeechOptions::Voices()) {
        if (voice && QString::fromLatin1(*voice).compare(known, Qt::CaseInsensitive) == 0)
            options.voice = known;
    }
    return options;
}

bool WriteSpeechOptions(const SpeechOptions& options) {
    const QString& path = GetSettingsPath();
    bool ok = WriteProfileUInt(keys::kSpeech, keys::kSpeakWord, options.speakWord ? 1 : 0);
    ok = WriteProfileUInt(keys::kSpeech, keys::kSpeakSentences, options.speakSentences ? 1 : 0) && ok;
    // Written signed, so that a slower rate reads as "-20" in the file rather than its wrapped value.
    ok = ini::WriteValue(path, keys::kSpeech, keys::kRate, QByteArray::number(options.rate)) && ok;
    ok = ini::WriteValue(path, keys::kSpeech, keys::kVoice, options.voice.toLatin1()) && ok;
    return ok;
}

} // namespace mnemora
