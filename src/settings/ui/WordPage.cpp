#include "settings/ui/WordPage.h"

#include "settings/SettingsFile.h"
#include "settings/SpeechSettings.h"
#include "settings/ui/Heading.h"
#include "settings/ui/OptionsHost.h"
#include "store/WordCatalogue.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

namespace mnemora {

CWordPage::CWordPage(IOptionsHost& host, QWidget* parent)
    : COptionsPage(parent), host_(host),
      examRadio_(new QRadioButton(QString::fromUtf8(kExamCategoryLabel), this)),
      examCombo_(new QComboBox(this)),
      studyRadio_(new QRadioButton(QString::fromUtf8(kStudyCategoryLabel), this)),
      studyCombo_(new QComboBox(this)),
      speakWordBox_(new QCheckBox(QStringLiteral("新单词出现时朗读"), this)),
      speakSentencesBox_(new QCheckBox(QStringLiteral("朗读英文例句"), this)), rateBox_(new QSpinBox(this)),
      voiceCombo_(new QComboBox(this)) {
    for (QComboBox* combo : {examCombo_, studyCombo_}) {
        combo->setEditable(false);
        combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        combo->setMinimumWidth(180);
    }

    auto* heading = Heading(Caption(), this);

    auto* choices = new QGridLayout;
    choices->setHorizontalSpacing(12);
    choices->setVerticalSpacing(20);
    choices->addWidget(examRadio_, 0, 0);
    choices->addWidget(examCombo_, 0, 1);
    choices->addWidget(studyRadio_, 1, 0);
    choices->addWidget(studyCombo_, 1, 1);

    auto* indent = new QHBoxLayout;
    indent->addStretch(1);
    indent->addLayout(choices);
    indent->addStretch(1);

    auto* page = new QVBoxLayout(this);
    page->addWidget(heading);
    page->addSpacing(16);
    page->addLayout(indent);
    page->addSpacing(12);
    page->addWidget(SpeechGroup());
    page->addStretch(1);

    // Both radio buttons share this page as parent, so Qt keeps them mutually exclusive.
    connect(examRadio_, &QRadioButton::clicked, this, [this] { EnableCategory(kExamCategory); });
    connect(studyRadio_, &QRadioButton::clicked, this, [this] { EnableCategory(kStudyCategory); });
}

QWidget* CWordPage::SpeechGroup() {
    rateBox_->setRange(SpeechOptions::kRateMin, SpeechOptions::kRateMax);
    voiceCombo_->addItem(QStringLiteral("美式英语 (en-US)"), QStringLiteral("en-US"));
    voiceCombo_->addItem(QStringLiteral("英式英语 (en-GB)"), QStringLiteral("en-GB"));
    auto* group = new QGroupBox(QStringLiteral("单词朗读"), this);
    auto* boxes = new QHBoxLayout;
    boxes->addWidget(speakWordBox_);
    boxes->addWidget(speakSentencesBox_);
    boxes->addStretch(1);
    auto* form = new QFormLayout(group);
    form->addRow(boxes);
    auto* voiceRow = new QHBoxLayout;
    voiceRow->addWidget(voiceCombo_);
    voiceRow->addSpacing(16);
    voiceRow->addWidget(new QLabel(QStringLiteral("语速(-50～50)"), group));
    voiceRow->addWidget(rateBox_);
    voiceRow->addStretch(1);
    form->addRow(QStringLiteral("发音"), voiceRow);
    return group;
}

QString CWordPage::Caption() const {
    return QStringLiteral("词库设置");
}

void CWordPage::OnInitDialog() {
    examCombo_->clear();
    examCombo_->addItems(DisplayNames(kExamCategory));
    studyCombo_->clear();
    studyCombo_->addItems(DisplayNames(kStudyCategory));

    // ReadWordListIndex applies the limit of the stored category, so the index always
    // names an entry of the combo box it is given to.
    const int category = ReadExamStudy();
    const int index = ReadWordListIndex();
    if (category == kStudyCategory) {
        studyRadio_->setChecked(true);
        studyCombo_->setCurrentIndex(index);
        examCombo_->setCurrentIndex(0);
    } else {
        examRadio_->setChecked(true);
        examCombo_->setCurrentIndex(index);
        studyCombo_->setCurrentIndex(0);
    }
    EnableCategory(category);

    const SpeechOptions speech = ReadSpeechOptions();
    speakWordBox_->setChecked(speech.speakWord);
    speakSentencesBox_->setChecked(speech.speakSentences);
    rateBox_->setValue(speech.rate);
    voiceCombo_->setCurrentIndex(std::max(0, voiceCombo_->findData(speech.voice)));
}

void CWordPage::EnableCategory(int category) {
    examCombo_->setEnabled(category != kStudyCategory);
    studyCombo_->setEnabled(category == kStudyCategory);
}

void CWordPage::OnOK() {
    const int category = examRadio_->isChecked() ? kExamCategory : kStudyCategory;
    const int index = (category == kExamCategory ? examCombo_ : studyCombo_)->currentIndex();
    SpeechOptions speech;
    speech.speakWord = speakWordBox_->isChecked();
    speech.speakSentences = speakSentencesBox_->isChecked();
    speech.rate = rateBox_->value();
    speech.voice = voiceCombo_->currentData().toString();
    WriteSpeechOptions(speech);
    host_.ApplySpeechOptions(speech);
    WriteWordList(static_cast<uint32_t>(category), static_cast<uint32_t>(index));
    host_.ChangeWordList(category, index);
}

} // namespace mnemora
