// Where the float window sits and how tall it is: always wholly on one screen, and tall
// enough for the whole text it shows.
#include "app/MnemoraDlg.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsKeys.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <algorithm>

namespace mnemora {
namespace {

// The smallest text size the window shrinks its text to when even the screen is too small.
constexpr qreal kSmallestTextSize = 6;

// The available areas of all screens, the primary one first.
QList<QRect> AvailableAreas() {
    QList<QRect> areas;
    if (QScreen* primary = QGuiApplication::primaryScreen())
        areas.append(primary->availableGeometry());
    for (QScreen* screen : QGuiApplication::screens()) {
        if (screen != QGuiApplication::primaryScreen())
            areas.append(screen->availableGeometry());
    }
    return areas;
}

int Overlap(const QRect& a, const QRect& b) {
    const QRect common = a.intersected(b);
    return common.isEmpty() ? 0 : common.width() * common.height();
}

// The font at the given size, in the unit the font was made with.
QFont Resized(QFont font, qreal size) {
    if (font.pixelSize() > 0)
        font.setPixelSize(static_cast<int>(size));
    else
        font.setPointSizeF(size);
    return font;
}
qreal SizeOf(const QFont& font) {
    return font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF();
}

} // namespace

QRect AreaHolding(const QRect& window, const QList<QRect>& areas) {
    if (areas.isEmpty())
        return window;
    const auto most = std::max_element(areas.begin(), areas.end(), [&](const QRect& a, const QRect& b) {
        return Overlap(window, a) < Overlap(window, b);
    });
    return Overlap(window, *most) > 0 ? *most : areas.first();
}

QPoint KeepInside(const QRect& window, const QList<QRect>& areas) {
    const QRect area = AreaHolding(window, areas);
    // A window larger than the area keeps its top-left corner inside it.
    const int x = std::max(area.left(), std::min(window.left(), area.right() + 1 - window.width()));
    const int y = std::max(area.top(), std::min(window.top(), area.bottom() + 1 - window.height()));
    return {x, y};
}

TextFit FitText(const QString& text, const QFont& font, int width, int minHeight, int maxHeight) {
    const auto measure = [&](const QFont& f) {
        return QFontMetrics(f).boundingRect(QRect(0, 0, width, INT_MAX / 4),
                                            Qt::AlignHCenter | Qt::TextWordWrap, text);
    };
    TextFit fit{font, minHeight};
    for (qreal size = SizeOf(font);; size -= font.pixelSize() > 0 ? 1 : 0.5) {
        fit.font = size == SizeOf(font) ? font : Resized(font, size);
        const QRect needed = measure(fit.font);
        fit.height = std::max(minHeight, needed.height());
        if ((needed.height() <= maxHeight && needed.width() <= width) || size - 1 < kSmallestTextSize) {
            fit.height = std::min(fit.height, std::max(minHeight, maxHeight));
            return fit;
        }
    }
}

void CMnemoraDlg::PlaceWindow() {
    const auto left = static_cast<int32_t>(ReadProfileInt(keys::kFloatWindow, keys::kFloatWindowLeft, 0));
    const auto top = static_cast<int32_t>(ReadProfileInt(keys::kFloatWindow, keys::kFloatWindowTop, 0));
    if (left == 0 && top == 0) {
        move(DefaultWindowPosition(QGuiApplication::primaryScreen()->geometry()));
    } else {
        move(left, top);
    }
    // The stored place is kept as the user chose it, even when this screen cannot show it.
    userPos = pos();
    KeepOnScreen();

    const auto watch = [this](QScreen* screen) {
        connect(screen, &QScreen::availableGeometryChanged, this, &CMnemoraDlg::OnScreensChanged);
    };
    for (QScreen* screen : QGuiApplication::screens())
        watch(screen);
    connect(qGuiApp, &QGuiApplication::screenAdded, this, [this, watch](QScreen* screen) {
        watch(screen);
        OnScreensChanged();
    });
    // A screen on its way out is still listed: look again once it has gone.
    connect(qGuiApp, &QGuiApplication::screenRemoved, this, &CMnemoraDlg::OnScreensChanged,
            Qt::QueuedConnection);
    connect(qGuiApp, &QGuiApplication::primaryScreenChanged, this, &CMnemoraDlg::OnScreensChanged);
}

void CMnemoraDlg::OnScreensChanged() {
    KeepOnScreen();
    FitWordText();
}

void CMnemoraDlg::KeepOnScreen() {
    const QPoint inside = KeepInside(QRect(pos(), size()), AvailableAreas());
    if (inside == pos())
        return;
    // A move of ours is no choice of the user's: the place the user chose stays stored.
    userPos = StoredPosition();
    userMoved = false;
    raisedBy = 0;
    MoveOnOwn(inside);
}

void CMnemoraDlg::MoveOnOwn(const QPoint& to) {
    ownMoveTarget = to;
    move(to);
}

void CMnemoraDlg::moveEvent(QMoveEvent* event) {
    // Any move but one of ours is the user's (a drag, the window manager's move command).
    if (isVisible() && pos() != ownMoveTarget && !userMoved) {
        userMoved = true;
        raisedBy = 0;
    }
    QWidget::moveEvent(event);
}

QPoint CMnemoraDlg::StoredPosition() const {
    return userMoved ? pos() + QPoint(0, raisedBy) : userPos;
}

void CMnemoraDlg::FitWordText() {
    const int margins = restHeight - labelRest.height(); // above and below the label
    const QRect area = AreaHolding(QRect(pos(), size()), AvailableAreas());
    const TextFit fit = FitText(wordLabel->text(), wordFont, labelRest.width(), labelRest.height(),
                                std::max(labelRest.height(), area.height() - margins));
    wordLabel->setFont(fit.font);
    wordLabel->resize(labelRest.width(), fit.height);
    const int height = fit.height + margins;
    if (height == this->height())
        return;
    setFixedSize(width(), height);
    // The window grows downwards; only where the screen ends below it does it rise for a
    // while, and it goes back down once it has its own size again.
    const int top = pos().y() + raisedBy;
    raisedBy = std::clamp(top + height - (area.bottom() + 1), 0, std::max(0, top - area.top()));
    if (top - raisedBy != pos().y())
        MoveOnOwn(QPoint(pos().x(), top - raisedBy));
}

} // namespace mnemora
