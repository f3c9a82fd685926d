#pragma once

#include <QColor>
#include <QDialog>
#include <QFont>

class QFontDialog;
class QPushButton;

namespace mnemora {

// Font face, style, size, underline and strike-out together with a text colour, in one
// dialog. The colour starts at black, whatever the current text colour is.
class CFontColorDialog final : public QDialog {
    Q_OBJECT
public:
    explicit CFontColorDialog(const QFont& initial, QWidget* parent = nullptr);

    QFont SelectedFont() const;
    QColor SelectedColor() const { return color_; }
    void SetColor(const QColor& color);

private:
    QFontDialog* fonts_;
    QPushButton* colorButton_;
    QColor color_ = Qt::black;
};

} // namespace mnemora
