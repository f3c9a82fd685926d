// The Windows presence source follows the session's lock and unlock as the system announces
// them to its message-only window (WTS notifications); other session events change nothing.
#include "platform/DesktopPresence.h"

#include <QSignalSpy>
#include <QTest>
#include <QWindow>

#include <windows.h>

#include <wtsapi32.h>

using namespace mnemora;

class TestWinPresence final : public QObject {
    Q_OBJECT
private slots:
    void lockFollowsTheSessionNotifications() {
        QWindow window;
        QString whyOff;
        const auto presence = CreatePresenceSource(&window, &whyOff);
        QVERIFY(presence != nullptr && whyOff.isEmpty() && !presence->State().locked);
        const HWND watch = FindWindowExW(HWND_MESSAGE, nullptr, L"MnemoraSessionWatch", nullptr);
        QVERIFY(watch != nullptr);
        QSignalSpy changes(presence.get(), &IPresenceSource::changed);
        const QList<std::pair<WPARAM, bool>> steps{
            {WTS_SESSION_LOCK, true},    {WTS_CONSOLE_DISCONNECT, true}, {WTS_SESSION_LOCK, true},
            {WTS_SESSION_UNLOCK, false}, {WTS_REMOTE_CONNECT, false},
        };
        for (const auto& [event, locked] : steps) {
            SendMessageW(watch, WM_WTSSESSION_CHANGE, event, 1);
            QCOMPARE(presence->State().locked, locked);
        }
        QCOMPARE(changes.count(), 2); // locked, then unlocked: each change once
    }
};

QTEST_MAIN(TestWinPresence)
#include "test_winpresence.moc"
