// The desktop alert's own rules: its time, hover, and stacking. Caption, text and placement
// on a real display are checked by tests/e2e/menus.sh.
#include "app/DesktopAlert.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <QToolButton>

#include <climits>

using namespace mnemora;

namespace {
// Inside the available area, near its right edge and, if asked, near its bottom.
bool InCorner(const QRect& g, bool atBottom) {
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    return area.contains(g) && area.right() - g.right() <= 16 &&
           (!atBottom || area.bottom() - g.bottom() <= 16);
}
} // namespace

class TestDesktopAlert final : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { qDeleteAll(QApplication::topLevelWidgets()); }

    // Seconds given and the timer's interval: a time beyond what a timer holds is clipped,
    // and 0 waits for the close button. While the mouse rests on it the alert stays.
    void closesItselfWhenItsTimeIsUp() {
        for (const auto& [seconds, interval] : {std::pair{15u, 15000}, {4000000u, INT_MAX}, {0u, 0}}) {
            QPointer<CDesktopAlert> alert = ShowDesktopAlert(nullptr, seconds, QStringLiteral("x"));
            QTimer* timer = alert->CloseTimer();
            QVERIFY(timer->isActive() == (interval > 0) && timer->interval() == interval);
            if (interval == 0) {
                alert->CloseButton()->click();
            } else {
                QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
                QApplication::sendEvent(alert, &enter);
                QVERIFY(!timer->isActive());
                QEvent leave(QEvent::Leave);
                QApplication::sendEvent(alert, &leave);
                QVERIFY(timer->isActive());
                QMetaObject::invokeMethod(timer, "timeout");
            }
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // the closed alert goes
            QVERIFY(alert.isNull());
        }
    }

    // Alerts stack upward from the bottom-right corner; a closed one frees its place, and
    // a full column overlaps rather than leaving the screen.
    void alertsAreIndependentAndStackUpward() {
        QWidget owner;
        QPointer<CDesktopAlert> first = ShowDesktopAlert(&owner, 15, QString(""));
        QCOMPARE(first->Text(), QStringLiteral(" ")); // an empty text still shows a line
        QVERIFY(first->isVisible() && qAbs(first->windowOpacity() - 240 / 255.0) < 0.01);
        QPointer<CDesktopAlert> second =
            ShowDesktopAlert(&owner, 15, QStringLiteral("second\nwith two lines"));
        QVERIFY(InCorner(first->TargetGeometry(), true) && InCorner(second->TargetGeometry(), false) &&
                second->TargetGeometry().bottom() < first->TargetGeometry().top());
        QMetaObject::invokeMethod(first->CloseTimer(), "timeout");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(first.isNull());
        QVERIFY(second->isVisible() && second->CloseTimer()->isActive());
        QPointer<CDesktopAlert> third = ShowDesktopAlert(&owner, 15, QStringLiteral("third"));
        QVERIFY(InCorner(third->TargetGeometry(), true));
        QVERIFY(!third->TargetGeometry().intersects(second->TargetGeometry()));
        for (int i = 0; i < 40; ++i)
            QVERIFY(InCorner(ShowDesktopAlert(nullptr, 15, QStringLiteral("x"))->TargetGeometry(), false));
    }
};

QTEST_MAIN(TestDesktopAlert)
#include "test_desktopalert.moc"
