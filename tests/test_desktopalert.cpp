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
// Runs the deletions a closed alert has queued for itself.
void FlushDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QRect Available() {
    return QGuiApplication::primaryScreen()->availableGeometry();
}
} // namespace

class TestDesktopAlert final : public QObject {
    Q_OBJECT
private slots:
    void cleanup() {
        for (QWidget* widget : QApplication::topLevelWidgets())
            delete widget;
    }

    // Caption, text and placement on a real display are checked by tests/e2e/menus.sh.
    void emptyTextStillShowsALine() {
        CDesktopAlert* alert = ShowDesktopAlert(nullptr, 15, QString(""));
        QCOMPARE(alert->Text(), QStringLiteral(" "));
        QVERIFY(alert->isVisible());
        QVERIFY(qAbs(alert->windowOpacity() - 240 / 255.0) < 0.01);
    }

    void closesItselfWhenItsTimeIsUp_data() {
        QTest::addColumn<unsigned>("seconds");
        QTest::addColumn<int>("interval");
        QTest::newRow("statistics") << 15u << 15000;
        QTest::newRow("longer than a timer holds") << 4000000u << INT_MAX;
        QTest::newRow("until the user closes it") << 0u << 0;
    }
    void closesItselfWhenItsTimeIsUp() {
        QFETCH(unsigned, seconds);
        QFETCH(int, interval);
        QPointer<CDesktopAlert> alert = ShowDesktopAlert(nullptr, seconds, QStringLiteral("x"));
        QTimer* timer = alert->CloseTimer();
        QCOMPARE(timer->isActive(), interval > 0);
        if (interval == 0) {
            alert->CloseButton()->click();
        } else {
            QVERIFY(timer->isSingleShot());
            QCOMPARE(timer->interval(), interval);
            // While the mouse rests on it the alert stays; leaving starts the time again.
            QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
            QApplication::sendEvent(alert, &enter);
            QVERIFY(!timer->isActive());
            QEvent leave(QEvent::Leave);
            QApplication::sendEvent(alert, &leave);
            QVERIFY(timer->isActive());
            QMetaObject::invokeMethod(timer, "timeout");
        }
        FlushDeletes();
        QVERIFY(alert.isNull());
    }

    void alertsAreIndependentAndStackUpward() {
        QWidget owner;
        QPointer<CDesktopAlert> first = ShowDesktopAlert(&owner, 15, QStringLiteral("first"));
        QPointer<CDesktopAlert> second =
            ShowDesktopAlert(&owner, 15, QStringLiteral("second\nwith two lines"));
        const QRect available = Available();
        for (CDesktopAlert* alert : {first.data(), second.data()}) {
            QVERIFY(available.contains(alert->TargetGeometry()));
            QVERIFY(available.right() - alert->TargetGeometry().right() <= 16);
        }
        QVERIFY(available.bottom() - first->TargetGeometry().bottom() <= 16);
        QVERIFY(second->TargetGeometry().bottom() < first->TargetGeometry().top());

        QMetaObject::invokeMethod(first->CloseTimer(), "timeout");
        FlushDeletes();
        QVERIFY(first.isNull());
        QVERIFY(!second.isNull());
        QVERIFY(second->isVisible());
        QVERIFY(second->CloseTimer()->isActive());

        // The place the first one left is free again.
        QPointer<CDesktopAlert> third = ShowDesktopAlert(&owner, 15, QStringLiteral("third"));
        QVERIFY(available.bottom() - third->TargetGeometry().bottom() <= 16);
        QVERIFY(!third->TargetGeometry().intersects(second->TargetGeometry()));
    }

    void aFullColumnOverlapsInsteadOfLeavingTheScreen() {
        for (int i = 0; i < 40; ++i)
            QVERIFY(
                Available().contains(ShowDesktopAlert(nullptr, 15, QStringLiteral("x"))->TargetGeometry()));
    }
};

QTEST_MAIN(TestDesktopAlert)
#include "test_desktopalert.moc"
