#include "app/DesktopAlert.h"

#include "app/ProgramIcon.h"

#include <QApplication>
#include <QEnterEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>

namespace mnemora {
namespace {
constexpr int kEdgeMargin = 8; // from the corner of the work area
constexpr int kStackGap = 6;   // between stacked alerts
constexpr int kMinWidth = 240;
constexpr int kMaxWidth = 420;
constexpr int kPadding = 10;

const QColor kBorder(0x5b, 0x87, 0xc4);
const QColor kCaptionTop(0xe3, 0xee, 0xfb);
const QColor kCaptionBottom(0xbc, 0xd4, 0xf2);
const QColor kBody(0xf7, 0xfa, 0xfe);
const QColor kCaptionText(0x1d, 0x3f, 0x6e);
const QColor kBodyText(0x20, 0x20, 0x20);

QList<QPointer<CDesktopAlert>>& OpenAlerts() {
    static QList<QPointer<CDesktopAlert>> alerts;
    return alerts;
}

// The alert's face: an Office-like caption band over a light body, with a thin border.
class CAlertFrame final : public QWidget {
public:
    explicit CAlertFrame(QWidget* parent) : QWidget(parent) {}
    QWidget* captionRow = nullptr;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QRect all = rect();
        painter.fillRect(all, kBody);
        const int captionBottom = captionRow != nullptr ? captionRow->geometry().bottom() + 4 : 0;
        QLinearGradient gradient(0, 0, 0, captionBottom);
        gradient.setColorAt(0, kCaptionTop);
        gradient.setColorAt(1, kCaptionBottom);
        painter.fillRect(QRect(0, 0, all.width(), captionBottom), gradient);
        painter.setPen(kBorder);
        painter.drawLine(0, captionBottom, all.width(), captionBottom);
        painter.drawRect(all.adjusted(0, 0, -1, -1));
    }
};

QString ShownText(const QString& text) {
    return text.isEmpty() ? QStringLiteral(" ") : text;
}
} // namespace

CDesktopAlert::CDesktopAlert(QWidget* owner, unsigned seconds, const QString& text)
    : QWidget(owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_ShowWithoutActivating);
    // A notice closing while the float window is hidden must not look like the last window
    // of the program closing.
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowOpacity(kOpacity / 255.0);
    setWindowTitle(QStringLiteral("Message"));
    setWindowIcon(ProgramIcon());

    auto* frame = new CAlertFrame(this);
    m_frame = frame;
    auto* captionRow = new QWidget(frame);
    frame->captionRow = captionRow;
    auto* icon = new QLabel(captionRow);
    icon->setPixmap(ProgramIcon().pixmap(16, 16));
    m_caption = new QLabel(QStringLiteral("Message"), captionRow);
    QFont captionFont = m_caption->font();
    captionFont.setBold(true);
    m_caption->setFont(captionFont);
    QPalette captionPalette = m_caption->palette();
    captionPalette.setColor(QPalette::WindowText, kCaptionText);
    m_caption->setPalette(captionPalette);
    m_closeButton = new QToolButton(captionRow);
    m_closeButton->setText(QStringLiteral("\u00d7"));
    m_closeButton->setAutoRaise(true);
    m_closeButton->setFocusPolicy(Qt::NoFocus);
    m_closeButton->setToolTip(QStringLiteral("Close"));
    connect(m_closeButton, &QToolButton::clicked, this, &QWidget::close);

    auto* captionLayout = new QHBoxLayout(captionRow);
    captionLayout->setContentsMargins(0, 0, 0, 0);
    captionLayout->setSpacing(6);
    captionLayout->addWidget(icon);
    captionLayout->addWidget(m_caption, 1);
    captionLayout->addWidget(m_closeButton);

    m_text = new QLabel(ShownText(text), frame);
    m_text->setTextFormat(Qt::PlainText); // the text is shown as given, never as markup
    m_text->setWordWrap(true);
    m_text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette textPalette = m_text->palette();
    textPalette.setColor(QPalette::WindowText, kBodyText);
    m_text->setPalette(textPalette);

    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(kPadding, 4, kPadding, kPadding + 2);
    layout->setSpacing(kPadding);
    layout->addWidget(captionRow);
    layout->addWidget(m_text, 1);

    // As wide as the longest line wants, within bounds; long lines wrap.
    const QRect natural = m_text->fontMetrics().boundingRect(QRect(0, 0, kMaxWidth * 4, 100000),
                                                             Qt::TextExpandTabs, m_text->text());
    const int width = std::clamp(natural.width() + 2 * kPadding + 2, kMinWidth, kMaxWidth);
    frame->setFixedWidth(width);
    frame->setFixedHeight(layout->totalHeightForWidth(width));
    setFixedSize(frame->size());

    m_closeTimer.setSingleShot(true);
    m_autoClose = seconds > 0;
    m_closeTimer.setInterval(int(std::min<qint64>(qint64(seconds) * 1000, INT_MAX)));
    connect(&m_closeTimer, &QTimer::timeout, this, &QWidget::close);

    m_slide.setStartValue(0.0);
    m_slide.setEndValue(1.0);
    m_slide.setDuration(kSlideMs);
    m_slide.setEasingCurve(QEasingCurve::OutCubic);
    connect(&m_slide, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& value) { Reveal(value.toReal()); });

    OpenAlerts().append(this);
}

CDesktopAlert::~CDesktopAlert() {
    OpenAlerts().removeAll(this);
    OpenAlerts().removeAll(nullptr);
}

QString CDesktopAlert::Caption() const {
    return m_caption->text();
}

QString CDesktopAlert::Text() const {
    return m_text->text();
}

QRect CDesktopAlert::FreeSlot(const QRect& available) const {
    const int x = available.right() + 1 - kEdgeMargin - width();
    const int lowest = available.bottom() + 1 - kEdgeMargin;
    int bottom = lowest;
    for (;;) {
        const QRect candidate(x, bottom - height(), width(), height());
        if (candidate.top() < available.top())
            return QRect(x, lowest - height(), width(), height()); // the column is full: overlap
        int blockedAt = bottom;
        for (const QPointer<CDesktopAlert>& other : OpenAlerts()) {
            if (other != nullptr && other != this && other->m_target.intersects(candidate))
                blockedAt = std::min(blockedAt, other->m_target.top() - kStackGap);
        }
        if (blockedAt == bottom)
            return candidate;
        bottom = blockedAt;
    }
}

void CDesktopAlert::Popup() {
    QScreen* screen = parentWidget() != nullptr ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return;
    m_target = FreeSlot(screen->availableGeometry());
    move(m_target.topLeft());
    Reveal(0.0);
    show();
    m_slide.start();
    if (m_autoClose)
        m_closeTimer.start();
}

// Slides the face up from the alert's bottom edge; the mask hides what has not yet come in,
// so nothing is drawn outside the alert's resting place.
void CDesktopAlert::Reveal(qreal fraction) {
    const int hidden = std::clamp(int((1.0 - fraction) * height() + 0.5), 0, height() - 1);
    m_frame->move(0, hidden);
    if (hidden == 0)
        clearMask();
    else
        setMask(QRegion(0, hidden, width(), height() - hidden));
}

void CDesktopAlert::enterEvent(QEnterEvent* event) {
    // A notice being read stays; the full time starts again when the mouse leaves.
    m_closeTimer.stop();
    QWidget::enterEvent(event);
}

void CDesktopAlert::leaveEvent(QEvent* event) {
    if (m_autoClose)
        m_closeTimer.start();
    QWidget::leaveEvent(event);
}

CDesktopAlert* ShowDesktopAlert(QWidget* owner, unsigned seconds, const QString& text) {
    auto* alert = new CDesktopAlert(owner, seconds, text);
    alert->Popup();
    return alert;
}

} // namespace mnemora
