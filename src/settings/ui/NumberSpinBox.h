#pragma once

#include <QAbstractSpinBox>
#include <QString>
#include <cstdint>
#include <optional>

namespace mnemora {

// The outcome of checking a number field: its value, or the message that tells the
// user what is wrong (then value is empty).
struct FieldCheck {
    std::optional<uint32_t> value;
    QString message;
};

// Checks field text as an unsigned number within low..high. Text that is empty or not
// made of digits gives "Enter a positive integer."; a number outside the range (however
// many digits it has) gives "Enter an integer between <low> and <high>.".
FieldCheck CheckUnsignedField(const QString& text, uint32_t low, uint32_t high);

// A digits-only edit with spin buttons. Unlike QSpinBox it keeps whatever number it is
// given or the user types, in range or not, so that a stored out-of-range value is shown
// as it is and the page's own check decides; the buttons and arrow keys step within the
// range and write the number back into the edit.
class CNumberSpinBox final : public QAbstractSpinBox {
    Q_OBJECT
public:
    CNumberSpinBox(uint32_t low, uint32_t high, QWidget* parent = nullptr);

    uint32_t Low() const { return low_; }
    uint32_t High() const { return high_; }

    void SetNumber(uint32_t value);
    FieldCheck Check() const { return CheckUnsignedField(text(), low_, high_); }

    void stepBy(int steps) override;
    QValidator::State validate(QString& input, int& pos) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    StepEnabled stepEnabled() const override;

private:
    uint32_t low_;
    uint32_t high_;
};

} // namespace mnemora
