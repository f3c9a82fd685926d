#pragma once

#include <QPointer>
#include <QRect>
#include <QString>
#include <QTimer>
#include <QVariantAnimation>
#include <QWidget>

class QLabel;
class QToolButton;

namespace mnemora {

// A short notice that slides in at the bottom-right corner of the screen's work area under
// the caption "Message", and closes and deletes itself after a given time. It never takes
// the focus and never ends the program when it closes. Alerts open at the same time stack
// upward.
class CDesktopAlert final : public QWidget {
    Q_OBJECT
public:
    static constexpr int kOpacity = 240; // of 255
    static constexpr int kSlideMs = 250;

    // seconds of 0 keeps the alert until the user closes it.
    CDesktopAlert(QWidget* owner, unsigned seconds, const QString& text);
    ~CDesktopAlert() override;

    // Places the alert above the ones still open and slides it in.
    void Popup();

    QString Caption() const;
    QString Text() const;
    // Fires once to close the alert; tests fire it instead of waiting.
    QTimer* CloseTimer() { return &m_closeTimer; }
    // The slide-in; jumping it to its end shows the alert in full.
    QVariantAnimation* SlideAnimation() { return &m_slide; }
    QToolButton* CloseButton() const { return m_closeButton; }
    // Where the alert rests once it has slid in, in global coordinates.
    QRect TargetGeometry() const { return m_target; }

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QRect FreeSlot(const QRect& available) const;
    void Reveal(qreal fraction);

    QWidget* m_frame = nullptr;
    QLabel* m_caption = nullptr;
    QLabel* m_text = nullptr;
    QToolButton* m_closeButton = nullptr;
    QTimer m_closeTimer;
    QVariantAnimation m_slide;
    QRect m_target;
    bool m_autoClose = false;
};

// Shows a new alert owned by owner (which may be null) and returns it; the caller keeps
// nothing, the alert deletes itself. An empty text shows a single space.
CDesktopAlert* ShowDesktopAlert(QWidget* owner, unsigned seconds, const QString& text);

} // namespace mnemora
