#include "study/AwayWatch.h"

#include "study/StudyCycle.h"

namespace mnemora {

CAwayWatch::CAwayWatch(IPresenceSource& source, CStudyCycle& cycle, QObject* parent)
    : QObject(parent), source_(source), cycle_(cycle) {
    connect(&source_, &IPresenceSource::changed, this, &CAwayWatch::Update);
}

void CAwayWatch::LoadSettings() {
    settings_ = ReadAwaySettings();
    source_.SetIdleLimit(settings_.pauseWhenAway ? settings_.awayMinutes * 60u * 1000u : 0u);
    source_.SetWatchFullScreen(settings_.hideOnFullScreen);
    Update();
}

void CAwayWatch::Update() {
    const PresenceState state = source_.State();
    const bool stepsByItself = cycle_.autoPlay || cycle_.TimersWanted();
    const bool covered = settings_.hideOnFullScreen && state.fullScreen;
    const bool away = covered || (settings_.pauseWhenAway && (state.locked || (state.idle && stepsByItself)));
    // Pause before hiding, show before resuming: no tick lands on a window in between.
    if (away)
        cycle_.SetAway(true);
    if (covered != covered_) {
        covered_ = covered;
        emit coveredChanged(covered);
    }
    if (!away)
        cycle_.SetAway(false);
    if (away != paused_) {
        paused_ = away;
        emit pausedChanged(away);
    }
}

} // namespace mnemora
