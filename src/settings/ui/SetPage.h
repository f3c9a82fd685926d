#pragma once

#include "settings/ui/OptionsPage.h"

#include <cstdint>

class QCheckBox;
class QLineEdit;
class QSlider;

namespace mnemora {

class CNumberSpinBox;
class IAutostart;
class IMessageBox;
class IOptionsHost;

// The basic page: window opacity and autostart act at once; the two times are stored
// on OK, and only when they differ from what the file holds.
class CSetPage final : public COptionsPage {
    Q_OBJECT
public:
    static constexpr uint32_t kWordElapseLow = 2;
    static constexpr uint32_t kWordElapseHigh = 86400;
    static constexpr uint32_t kDelayChnLow = 1;
    static constexpr uint32_t kDelayChnHigh = 43200;

    CSetPage(IOptionsHost& host, IAutostart& autostart, IMessageBox& messages, QWidget* parent = nullptr);

    QString Caption() const override;
    bool OnKillActive() override;
    void OnOK() override;

    QSlider* TransparencySlider() const { return slider_; }
    QLineEdit* PercentEdit() const { return percent_; }
    QCheckBox* AutostartBox() const { return autostartBox_; }
    CNumberSpinBox* WordElapseEdit() const { return elapse_; }
    CNumberSpinBox* DelayChnEdit() const { return delay_; }
    QCheckBox* PauseWhenAwayBox() const { return pauseBox_; }
    CNumberSpinBox* AwayMinutesEdit() const { return awayMinutes_; }
    QCheckBox* HideOnFullScreenBox() const { return hideBox_; }

protected:
    void OnInitDialog() override;

private:
    void OnHScroll(int position);
    void OnAutostartClicked(bool checked);
    void ShowPercent(int alpha);
    bool CheckField(CNumberSpinBox* field, uint32_t& value);

    IOptionsHost& host_;
    IAutostart& autostart_;
    IMessageBox& messages_;

    QSlider* slider_;
    QLineEdit* percent_;
    QCheckBox* autostartBox_;
    CNumberSpinBox* elapse_;
    CNumberSpinBox* delay_;
    QCheckBox* pauseBox_;
    CNumberSpinBox* awayMinutes_;
    QCheckBox* hideBox_;
    uint32_t awayMinutesValue_ = 5;

    // The times as last accepted by the check; OnOK stores these.
    uint32_t wordElapse_ = 8;
    uint32_t delayChnTime_ = 4;
};

} // namespace mnemora
