#pragma once

#include "settings/ui/OptionsPage.h"

class QCheckBox;
class QComboBox;
class QRadioButton;
class QSpinBox;

namespace mnemora {

class IOptionsHost;

// The dictionary page: one radio button and one drop-down list per category; only the
// list of the checked category can be used. OK stores the choice and has the host
// switch to it.
class CWordPage final : public COptionsPage {
    Q_OBJECT
public:
    explicit CWordPage(IOptionsHost& host, QWidget* parent = nullptr);

    QString Caption() const override;
    void OnOK() override;

    QRadioButton* ExamRadio() const { return examRadio_; }
    QRadioButton* StudyRadio() const { return studyRadio_; }
    QComboBox* ExamCombo() const { return examCombo_; }
    QComboBox* StudyCombo() const { return studyCombo_; }
    QCheckBox* SpeakWordBox() const { return speakWordBox_; }
    QCheckBox* SpeakSentencesBox() const { return speakSentencesBox_; }
    QSpinBox* RateBox() const { return rateBox_; }
    QComboBox* VoiceCombo() const { return voiceCombo_; }

protected:
    void OnInitDialog() override;

private:
    void EnableCategory(int category);
    QWidget* SpeechGroup();

    IOptionsHost& host_;
    QRadioButton* examRadio_;
    QComboBox* examCombo_;
    QRadioButton* studyRadio_;
    QComboBox* studyCombo_;
    QCheckBox* speakWordBox_;
    QCheckBox* speakSentencesBox_;
    QSpinBox* rateBox_;
    QComboBox* voiceCombo_;
};

} // namespace mnemora
