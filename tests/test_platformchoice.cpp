#include "platform/PlatformChoice.h"

#include <QTest>

class TestPlatformChoice final : public QObject {
    Q_OBJECT
private slots:
    // Rows: XDG_SESSION_TYPE, WAYLAND_DISPLAY, DISPLAY, QT_QPA_PLATFORM before and after.
    void xcbIsChosenOnlyForWaylandWithXWayland_data() {
        QTest::addColumn<QByteArrayList>("env");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("wayland session") << QByteArrayList{"wayland", "", ":0", ""} << QByteArray("xcb");
        QTest::newRow("wayland display only")
            << QByteArrayList{"tty", "wayland-0", ":1", ""} << QByteArray("xcb");
        QTest::newRow("no XWayland") << QByteArrayList{"wayland", "wayland-0", "", ""} << QByteArray();
        QTest::newRow("user's choice")
            << QByteArrayList{"wayland", "w-0", ":0", "wayland"} << QByteArray("wayland");
        QTest::newRow("x11 session") << QByteArrayList{"x11", "", ":0", ""} << QByteArray();
    }
    void xcbIsChosenOnlyForWaylandWithXWayland() {
        QFETCH(QByteArrayList, env);
        QFETCH(QByteArray, expected);
        const char* names[] = {"XDG_SESSION_TYPE", "WAYLAND_DISPLAY", "DISPLAY", "QT_QPA_PLATFORM"};
        for (int i = 0; i < 4; ++i)
            env[i].isEmpty() ? qunsetenv(names[i]) : qputenv(names[i], env[i]);
        QCOMPARE(mnemora::PreferXcbOnWayland(), expected != env[3]);
        QCOMPARE(qgetenv("QT_QPA_PLATFORM"), expected);
    }
};

QTEST_GUILESS_MAIN(TestPlatformChoice)
#include "test_platformchoice.moc"
