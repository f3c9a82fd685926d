#pragma once

#include "VirtualClock.h"
#include "study/StudyView.h"

#include <QList>
#include <QPair>
#include <QStringList>
#include <functional>

namespace mnemora {
class CStudyCycle;
}

// The float window as the study cycle sees it, on virtual time. Records what is shown
// and every timer operation; ticks and the meaning delay reach the attached cycle.
class FakeStudyView final : public mnemora::IStudyView {
public:
    struct Shown {
        uint64_t at;
        QString text;
    };

    explicit FakeStudyView(VirtualClock& clock) : clock_(clock) {}
    void Attach(mnemora::CStudyCycle* cycle) { cycle_ = cycle; }

    void ShowMessage(const QString& text, mnemora::MessageIcon icon) override {
        messages.append({text, icon});
    }
    void ShowWordText(const QString& text) override { shown.append({clock_.Now(), text}); }
    bool IsFloatVisible() const override { return visible; }
    void ShowFloat() override { visible = true; }
    void HideFloat() override { visible = false; }
    void ArmTimer(int id, uint32_t periodMs) override;
    void KillTimer(int id) override;
    void StartMeaningDelay(uint32_t delayMs) override;
    void CancelMeaningDelay() override;
    void ShowDesktopAlert(int seconds, const QString& text) override { alerts.append({seconds, text}); }
    void RunOptionsSheet() override;

    bool TimerArmed(int id) const { return clock_.IsArmed(id); }
    bool DelayPending() const { return clock_.IsArmed(kDelayKey); }

    QList<Shown> shown;
    QList<QPair<QString, mnemora::MessageIcon>> messages;
    QList<QPair<int, QString>> alerts;
    // "t arm 1124 8000", "t kill 1125", "t delay 4000", "t cancel", "t tick 1124", "t sheet"
    QStringList timerLog;
    bool visible = true;
    bool timersKilledDuringSheet = false;
    std::function<void()> onOptionsSheet; // what the user does in the sheet

private:
    static constexpr int kDelayKey = -1;
    void Log(const QString& entry) { timerLog.append(QString::number(clock_.Now()) + u' ' + entry); }

    VirtualClock& clock_;
    mnemora::CStudyCycle* cycle_ = nullptr;
};
