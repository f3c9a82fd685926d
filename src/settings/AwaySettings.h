#pragma once

#include <cstdint>

namespace mnemora {

// Section "Away": when the study pauses by itself. Switches count as on only for 1.
struct AwaySettings {
    static constexpr uint32_t kMinutesLow = 1;
    static constexpr uint32_t kMinutesHigh = 120;
    static constexpr uint32_t kDefaultMinutes = 5;

    bool pauseWhenAway = true;              // pause while locked, the saver is on, or idle
    uint32_t awayMinutes = kDefaultMinutes; // idle this long counts as away
    bool hideOnFullScreen = true;           // pause and hide under a full-screen window
};

// Out-of-range minutes read as the default.
AwaySettings ReadAwaySettings();
// Writes only the keys whose stored value (or default) differs, so an untouched file stays so.
void WriteAwaySettings(const AwaySettings& settings);

} // namespace mnemora
