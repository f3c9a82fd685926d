#include "settings/ui/SetPage.h"

#include "platform/MessageBoxPort.h"
#include "settings/AwaySettings.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsKeys.h"
#include "settings/ui/AutostartPort.h"
#include "settings/ui/Heading.h"
#include "settings/ui/NumberSpinBox.h"
#include "settings/ui/OptionsHost.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QVBoxLayout>

namespace mnemora {
namespace {

constexpr uint32_t kDefaultWordElapse = 8;
constexpr uint32_t kDefaultDelayChn = 4;

} // namespace

CSetPage::CSetPage(IOptionsHost& host, IAutostart& autostart, IMessageBox& messages, QWidget* parent)
    : COptionsPage(parent), host_(host), autostart_(autostart), messages_(messages),
      slider_(new QSlider(Qt::Horizontal, this)), percent_(new QLineEdit(this)),
      autostartBox_(new QCheckBox(QStringLiteral("设置开机自启动"), this)),
      elapse_(new CNumberSpinBox(kWordElapseLow, kWordElapseHigh, this)),
      delay_(new CNumberSpinBox(kDelayChnLow, kDelayChnHigh, this)),
      pauseBox_(new QCheckBox(QStringLiteral("离开或锁屏时暂停学习"), this)),
      awayMinutes_(new CNumberSpinBox(AwaySettings::kMinutesLow, AwaySettings::kMinutesHigh, this)),
      hideBox_(new QCheckBox(QStringLiteral("全屏程序运行时隐藏悬浮窗"), this)) {
    slider_->setTickPosition(QSlider::NoTicks);
    slider_->setMinimumWidth(200);
    percent_->setReadOnly(true);
    percent_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    percent_->setFixedWidth(percent_->fontMetrics().horizontalAdvance(QStringLiteral("1000")) + 12);
    percent_->setFocusPolicy(Qt::NoFocus);

    auto* opacityRow = new QHBoxLayout;
    opacityRow->addWidget(slider_, 1);
    opacityRow->addWidget(percent_);

    auto* times = new QGroupBox(QStringLiteral("时间设置"), this);
    auto* timesForm = new QFormLayout(times);
    timesForm->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    timesForm->setHorizontalSpacing(16);
    timesForm->setVerticalSpacing(10);
    timesForm->addRow(new QLabel(QStringLiteral("单词更换间隔(秒)"), times), elapse_);
    timesForm->addRow(new QLabel(QStringLiteral("中文延迟显示(秒)"), times), delay_);

    auto* away = new QGroupBox(QStringLiteral("暂停设置"), this);
    auto* awayForm = new QFormLayout(away);
    awayForm->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    awayForm->setHorizontalSpacing(16);
    awayForm->setVerticalSpacing(10);
    awayForm->addRow(pauseBox_);
    awayForm->addRow(new QLabel(QStringLiteral("无操作多久算离开(分钟)"), away), awayMinutes_);
    awayForm->addRow(hideBox_);

    // The controls sit in a column of their own, centred under the heading.
    auto* body = new QVBoxLayout;
    body->setSpacing(6);
    body->addWidget(autostartBox_);
    body->addSpacing(14);
    body->addWidget(new QLabel(QStringLiteral("透明度"), this));
    body->addLayout(opacityRow);
    body->addSpacing(18);
    body->addWidget(times);
    body->addSpacing(12);
    body->addWidget(away);

    auto* indent = new QHBoxLayout;
    indent->addStretch(1);
    indent->addLayout(body, 3);
    indent->addStretch(1);

    auto* page = new QVBoxLayout(this);
    page->addWidget(Heading(Caption(), this));
    page->addSpacing(8);
    page->addLayout(indent);
    page->addStretch(1);

    // Tab follows the page from top to bottom, not the order the controls were made in.
    setTabOrder(autostartBox_, slider_);

    connect(autostartBox_, &QCheckBox::clicked, this, &CSetPage::OnAutostartClicked);
}

QString CSetPage::Caption() const {
    return QStringLiteral("基本设置");
}

void CSetPage::OnInitDialog() {
    slider_->setRange(0, 255);
    slider_->setPageStep(10);
    const auto alpha = static_cast<int>(ReadTransparent());
    slider_->setValue(alpha);
    ShowPercent(alpha);
    // Connected only now: setting the start position is not a movement.
    connect(slider_, &QSlider::valueChanged, this, &CSetPage::OnHScroll);

    autostartBox_->setChecked(autostart_.IsRegistered());

    // The times are shown as stored; the range check applies only when leaving the page.
    wordElapse_ = ReadProfileInt(keys::kWord, keys::kWordElapse, kDefaultWordElapse);
    delayChnTime_ = ReadProfileInt(keys::kWord, keys::kWordDelayChnTime, kDefaultDelayChn);
    elapse_->SetNumber(wordElapse_);
    delay_->SetNumber(delayChnTime_);

    const AwaySettings awaySettings = ReadAwaySettings();
    pauseBox_->setChecked(awaySettings.pauseWhenAway);
    awayMinutesValue_ = awaySettings.awayMinutes;
    awayMinutes_->SetNumber(awayMinutesValue_);
    hideBox_->setChecked(awaySettings.hideOnFullScreen);
}

void CSetPage::OnHScroll(int position) {
    host_.ShowFloatWindow();
    host_.SetAlphaLive(position);
    ShowPercent(position);
    WriteTransparent(static_cast<uint32_t>(position));
}

void CSetPage::OnAutostartClicked(bool checked) {
    if (checked)
        autostart_.Register();
    else
        autostart_.Unregister();
}

void CSetPage::ShowPercent(int alpha) {
    percent_->setText(QString::number(alpha * 100 / 255));
}

bool CSetPage::CheckField(CNumberSpinBox* field, uint32_t& value) {
    const FieldCheck check = field->Check();
    if (check.value) {
        value = *check.value;
        return true;
    }
    messages_.ShowMessage(check.message, MessageIcon::Error);
    field->setFocus(Qt::OtherFocusReason);
    field->selectAll();
    return false;
}

bool CSetPage::OnKillActive() {
    // The first failing field stops the check, so the user is told one thing at a time.
    uint32_t elapse = 0;
    uint32_t delay = 0;
    uint32_t minutes = 0;
    if (!CheckField(elapse_, elapse) || !CheckField(delay_, delay) || !CheckField(awayMinutes_, minutes))
        return false;
    awayMinutesValue_ = minutes;
    wordElapse_ = elapse;
    delayChnTime_ = delay;
    return true;
}

void CSetPage::OnOK() {
    // Comparing with the stored value (or its default) keeps an untouched file untouched.
    if (ReadProfileInt(keys::kWord, keys::kWordElapse, kDefaultWordElapse) != wordElapse_)
        WriteProfileUInt(keys::kWord, keys::kWordElapse, wordElapse_);
    if (ReadProfileInt(keys::kWord, keys::kWordDelayChnTime, kDefaultDelayChn) != delayChnTime_)
        WriteProfileUInt(keys::kWord, keys::kWordDelayChnTime, delayChnTime_);
    AwaySettings away;
    away.pauseWhenAway = pauseBox_->isChecked();
    away.awayMinutes = awayMinutesValue_;
    away.hideOnFullScreen = hideBox_->isChecked();
    WriteAwaySettings(away);
}

} // namespace mnemora
