#pragma once

#include <QLabel>

namespace mnemora {

// A bold label heading a group of controls. Inline so that the optional window modules,
// which take only headers from the program, share it without linking its code.
inline QLabel* Heading(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

} // namespace mnemora
