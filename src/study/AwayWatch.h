#pragma once

#include "platform/PresenceSource.h"
#include "settings/AwaySettings.h"

#include <QObject>

namespace mnemora {

class CStudyCycle;

// Turns what the desktop says about presence into the study's pause, under the [Away]
// settings:
// - locked or screen saver on: away when PauseWhenAway;
// - idle: away when PauseWhenAway and something would step on its own (automatic
//   playback, or timers running in manual playback); manual stepping by key is the
//   user's own pace, so idle alone leaves it as it is;
// - full screen: away and covered when HideOnFullScreen; the window hides while covered.
class CAwayWatch final : public QObject {
    Q_OBJECT
public:
    CAwayWatch(IPresenceSource& source, CStudyCycle& cycle, QObject* parent = nullptr);

    // Reads the settings and tells the source what to watch; again after the options sheet.
    void LoadSettings();
    // Re-evaluates (the playback mode may have changed).
    void Update();

    bool Paused() const { return paused_; }
    bool Covered() const { return covered_; }
    const AwaySettings& Settings() const { return settings_; }

signals:
    // The tray tip follows this.
    void pausedChanged(bool paused);
    // The float window hides while covered and comes back after.
    void coveredChanged(bool covered);

private:
    IPresenceSource& source_;
    CStudyCycle& cycle_;
    AwaySettings settings_;
    bool paused_ = false;
    bool covered_ = false;
};

} // namespace mnemora
