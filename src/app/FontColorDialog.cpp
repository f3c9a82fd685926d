#include "app/FontColorDialog.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace mnemora {

CFontColorDialog::CFontColorDialog(const QFont& initial, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("字体颜色"));
    fonts_ = new QFontDialog(initial, this);
    fonts_->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    fonts_->setWindowFlags(Qt::Widget);

    colorButton_ = new QPushButton(this);
    colorButton_->setObjectName(QStringLiteral("colorButton"));
    colorButton_->setFixedSize(48, 22);
    connect(colorButton_, &QPushButton::clicked, this, [this] {
        const QColor chosen = QColorDialog::getColor(color_, this);
        if (chosen.isValid())
            SetColor(chosen);
    });
    SetColor(Qt::black);

    auto* colorRow = new QHBoxLayout;
    colorRow->addWidget(new QLabel(QStringLiteral("颜色："), this));
    colorRow->addWidget(colorButton_);
    colorRow->addStretch();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fonts_);
    layout->addLayout(colorRow);
    layout->addWidget(buttons);
}

QFont CFontColorDialog::SelectedFont() const {
    return fonts_->currentFont();
}

void CFontColorDialog::SetColor(const QColor& color) {
    color_ = color;
    colorButton_->setStyleSheet(
        QStringLiteral("background-color: %1; border: 1px solid #888;").arg(color.name()));
}

} // namespace mnemora
