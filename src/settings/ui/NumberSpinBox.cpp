#include "settings/ui/NumberSpinBox.h"

#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionSpinBox>
#include <algorithm>

namespace mnemora {
namespace {

bool AllDigits(const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// The number the edit holds, or nothing when it holds no usable number.
std::optional<uint64_t> ParseDigits(const QString& text) {
    const QString digits = text.trimmed();
    if (digits.isEmpty() || !AllDigits(digits))
        return std::nullopt;
    bool ok = false;
    const qulonglong value = digits.toULongLong(&ok, 10);
    // More digits than fit: larger than any range we check against.
    return ok ? value : UINT64_MAX;
}

} // namespace

FieldCheck CheckUnsignedField(const QString& text, uint32_t low, uint32_t high) {
    const std::optional<uint64_t> value = ParseDigits(text);
    if (!value)
        return {std::nullopt, QStringLiteral("Enter a positive integer.")};
    if (*value < low || *value > high)
        return {std::nullopt, QStringLiteral("Enter an integer between %1 and %2.").arg(low).arg(high)};
    return {static_cast<uint32_t>(*value), QString()};
}

CNumberSpinBox::CNumberSpinBox(uint32_t low, uint32_t high, QWidget* parent)
    : QAbstractSpinBox(parent), low_(low), high_(high) {
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

void CNumberSpinBox::SetNumber(uint32_t value) {
    lineEdit()->setText(QString::number(value));
}

void CNumberSpinBox::stepBy(int steps) {
    const std::optional<uint64_t> current = ParseDigits(text());
    // Stepping from no number starts at the low end; from outside the range it lands
    // on the nearest bound first, as a spin button bound to its edit does.
    const int64_t base = current ? static_cast<int64_t>(std::min<uint64_t>(*current, UINT32_MAX)) : low_;
    const int64_t next = std::clamp<int64_t>(base + steps, low_, high_);
    SetNumber(static_cast<uint32_t>(next));
    selectAll();
}

QValidator::State CNumberSpinBox::validate(QString& input, int&) const {
    return AllDigits(input) ? QValidator::Acceptable : QValidator::Invalid;
}

QAbstractSpinBox::StepEnabled CNumberSpinBox::stepEnabled() const {
    const std::optional<uint64_t> current = ParseDigits(text());
    if (!current)
        return StepUpEnabled | StepDownEnabled;
    StepEnabled enabled = StepNone;
    if (*current < high_)
        enabled |= StepUpEnabled;
    if (*current > low_)
        enabled |= StepDownEnabled;
    return enabled;
}

QSize CNumberSpinBox::sizeHint() const {
    // Room for the widest number of the range plus the buttons, as QSpinBox sizes itself.
    ensurePolished();
    const QFontMetrics fm(font());
    const int textWidth = fm.horizontalAdvance(QString::number(high_) + u' ') + 8;
    const int height = lineEdit()->sizeHint().height();
    QStyleOptionSpinBox option;
    initStyleOption(&option);
    return style()->sizeFromContents(QStyle::CT_SpinBox, &option, QSize(textWidth, height), this);
}

QSize CNumberSpinBox::minimumSizeHint() const {
    return sizeHint();
}

} // namespace mnemora
