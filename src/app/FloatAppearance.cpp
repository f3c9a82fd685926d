// The float window's look: painting, dragging, hover over a transparent background,
// and the appearance commands.
#include "app/FontColorDialog.h"
#include "app/MnemoraDlg.h"
#include "app/StudyExtras.h"
#include "platform/WindowHints.h"
#include "settings/SettingsFile.h"

#include <QColorDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

namespace mnemora {
namespace {

// Colour values keep red in the low byte, then green, then blue.
QColor FromColorRef(uint32_t c) {
    return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                  static_cast<int>((c >> 16) & 0xFF));
}
uint32_t ToColorRef(const QColor& c) {
    return static_cast<uint32_t>(c.red()) | static_cast<uint32_t>(c.green()) << 8 |
           static_cast<uint32_t>(c.blue()) << 16;
}

} // namespace

void CMnemoraDlg::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    // With background transparency on, only the text shows, until the mouse rests on the window.
    const bool clear = backTransparent && !hoverShown && backColor == colorKey;
    painter.fillRect(rect(), clear ? QColor(Qt::transparent) : FromColorRef(backColor));
    if (openListAfterPaint) {
        // Deriving the list file's key takes tens of milliseconds; the window shows its
        // "loading" text meanwhile instead of appearing late.
        openListAfterPaint = false;
        QMetaObject::invokeMethod(this, &CMnemoraDlg::OpenSelectedList, Qt::QueuedConnection);
    }
}

void CMnemoraDlg::ApplyLayering() {
    // Background transparency shows the text fully opaque; otherwise the whole window
    // has the constant opacity alpha.
    const bool keyed = backTransparent && !hoverShown;
    setWindowOpacity(keyed ? 1.0 : alpha / 255.0);
    update();
}

void CMnemoraDlg::ApplyTopMost() {
    if (CanKeepAboveInPlace()) {
        SetKeepAbove(windowHandle(), topMost);
        return;
    }
    const bool visible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, topMost);
    if (visible)
        show();
}

void CMnemoraDlg::ApplyWordFont() {
    wordLabel->setFont(wordFont);
    QPalette palette = wordLabel->palette();
    palette.setColor(QPalette::WindowText, FromColorRef(textColor));
    wordLabel->setPalette(palette);
}

void CMnemoraDlg::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    // The window manager moves the window where it can; elsewhere it follows the mouse.
    manualDrag = windowHandle() == nullptr || !windowHandle()->startSystemMove();
    dragOffset = event->globalPosition().toPoint() - pos();
}

void CMnemoraDlg::mouseMoveEvent(QMouseEvent* event) {
    if (manualDrag && (event->buttons() & Qt::LeftButton)) {
        move(event->globalPosition().toPoint() - dragOffset);
        return;
    }
    if (!mouseTracking) {
        mouseTracking = true;
        hoverShown = false;
    }
    // Hover means the mouse has rested for the hover time.
    if (!hoverShown)
        hoverTimer.start();
    QWidget::mouseMoveEvent(event);
}

void CMnemoraDlg::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        manualDrag = false;
    } else if (event->button() == Qt::RightButton && !(event->buttons() & Qt::LeftButton)) {
        ShowFloatMenu(event->globalPosition().toPoint());
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

void CMnemoraDlg::OnHover() {
    if (!backTransparent)
        return;
    hoverShown = true;
    ApplyLayering();
}

void CMnemoraDlg::leaveEvent(QEvent* event) {
    mouseTracking = false;
    hoverTimer.stop();
    // A colour chosen while the background is transparent shows until the mouse leaves.
    if (backTransparent && colorKey != backColor) {
        colorKey = backColor;
        update();
    }
    if (hoverShown) {
        hoverShown = false;
        ApplyLayering();
    }
    QWidget::leaveEvent(event);
}

void CMnemoraDlg::keyPressEvent(QKeyEvent* event) {
    NoteUserInput();
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::AltModifier) {
        ShowWindowMenu();
        return;
    }
    switch (event->key()) {
    case Qt::Key_Right:
    case Qt::Key_Down:
        study.NextWord();
        return;
    case Qt::Key_Left:
    case Qt::Key_Up:
        study.PrevWord();
        return;
    case Qt::Key_Space:
        OnSpeakWord();
        return;
    case Qt::Key_Delete:
        extras->KnowWord();
        return;
    default:
        // Esc and Enter do nothing: the window only ends through an orderly exit.
        QWidget::keyPressEvent(event);
    }
}

void CMnemoraDlg::OnTopMost() {
    topMost = !topMost;
    ApplyTopMost();
    WriteTopMost(topMost ? 1 : 0);
}

void CMnemoraDlg::OnShowSentence() {
    // Takes effect at the next display step; nothing is redrawn now.
    study.showSentence = !study.showSentence;
    WriteShowSentence(study.showSentence ? 1 : 0);
}

void CMnemoraDlg::OnTextFont() {
    CFontColorDialog dialog(wordFont, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    wordFont = dialog.SelectedFont();
    textColor = ToColorRef(dialog.SelectedColor());
    ApplyWordFont();
    WriteTextColor(static_cast<uint8_t>(textColor & 0xFF), static_cast<uint8_t>((textColor >> 8) & 0xFF),
                   static_cast<uint8_t>((textColor >> 16) & 0xFF));
    update();
}

void CMnemoraDlg::OnBackColor() {
    const QColor chosen = QColorDialog::getColor(Qt::black, this);
    if (!chosen.isValid())
        return;
    backColor = ToColorRef(chosen);
    WriteBackgroundColor(static_cast<uint8_t>(chosen.red()), static_cast<uint8_t>(chosen.green()),
                         static_cast<uint8_t>(chosen.blue()));
    update();
}

void CMnemoraDlg::OnBackTransparent() {
    backTransparent = !backTransparent;
    if (backTransparent)
        colorKey = backColor;
    hoverShown = false;
    ApplyLayering();
}

} // namespace mnemora
