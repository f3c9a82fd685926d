#include "settings/ui/WordPage.h"

#include "settings/SettingsFile.h"
#include "settings/ui/OptionsHost.h"
#include "store/WordCatalogue.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

namespace mnemora {

CWordPage::CWordPage(IOptionsHost& host, QWidget* parent)
    : COptionsPage(parent), host_(host),
      examRadio_(new QRadioButton(QString::fromUtf8(kExamCategoryLabel), this)),
      examCombo_(new QComboBox(this)),
      studyRadio_(new QRadioButton(QString::fromUtf8(kStudyCategoryLabel), this)),
      studyCombo_(new QComboBox(this)) {
    for (QComboBox* combo : {examCombo_, studyCombo_}) {
        combo->setEditable(false);
        combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        combo->setMinimumWidth(180);
    }

    auto* heading = new QLabel(Caption(), this);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);

    auto* choices = new QGridLayout;
    choices->setHorizontalSpacing(12);
    choices->setVerticalSpacing(36);
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
    page->addSpacing(40);
    page->addLayout(indent);
    page->addStretch(1);

    // Both radio buttons share this page as parent, so Qt keeps them mutually exclusive.
    connect(examRadio_, &QRadioButton::clicked, this, [this] { EnableCategory(kExamCategory); });
    connect(studyRadio_, &QRadioButton::clicked, this, [this] { EnableCategory(kStudyCategory); });
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
}

void CWordPage::EnableCategory(int category) {
    examCombo_->setEnabled(category != kStudyCategory);
    studyCombo_->setEnabled(category == kStudyCategory);
}

void CWordPage::OnOK() {
    const int category = examRadio_->isChecked() ? kExamCategory : kStudyCategory;
    const int index = (category == kExamCategory ? examCombo_ : studyCombo_)->currentIndex();
    WriteWordList(static_cast<uint32_t>(category), static_cast<uint32_t>(index));
    host_.ChangeWordList(category, index);
}

} // namespace mnemora
