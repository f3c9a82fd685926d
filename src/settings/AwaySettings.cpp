#include "settings/AwaySettings.h"

#include "settings/SettingsFile.h"
#include "settings/SettingsKeys.h"

namespace mnemora {
namespace {

void WriteIfChanged(const char* key, uint32_t defaultValue, uint32_t value) {
    if (ReadProfileInt(keys::kAway, key, defaultValue) != value)
        WriteProfileUInt(keys::kAway, key, value);
}

} // namespace

AwaySettings ReadAwaySettings() {
    AwaySettings s;
    s.pauseWhenAway = ReadProfileInt(keys::kAway, keys::kPauseWhenAway, 1) == 1;
    const uint32_t minutes = ReadProfileInt(keys::kAway, keys::kAwayMinutes, AwaySettings::kDefaultMinutes);
    s.awayMinutes = minutes < AwaySettings::kMinutesLow || minutes > AwaySettings::kMinutesHigh
                        ? AwaySettings::kDefaultMinutes
                        : minutes;
    s.hideOnFullScreen = ReadProfileInt(keys::kAway, keys::kHideOnFullScreen, 1) == 1;
    return s;
}

void WriteAwaySettings(const AwaySettings& settings) {
    // A stored 2 reads as off; writing "0" for an unchanged off would be a needless change.
    if ((ReadProfileInt(keys::kAway, keys::kPauseWhenAway, 1) == 1) != settings.pauseWhenAway)
        WriteProfileUInt(keys::kAway, keys::kPauseWhenAway, settings.pauseWhenAway ? 1 : 0);
    WriteIfChanged(keys::kAwayMinutes, AwaySettings::kDefaultMinutes, settings.awayMinutes);
    if ((ReadProfileInt(keys::kAway, keys::kHideOnFullScreen, 1) == 1) != settings.hideOnFullScreen)
        WriteProfileUInt(keys::kAway, keys::kHideOnFullScreen, settings.hideOnFullScreen ? 1 : 0);
}

} // namespace mnemora
