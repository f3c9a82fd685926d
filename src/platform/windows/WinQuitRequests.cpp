#include "platform/QuitRequests.h"

#include <QMetaObject>
#include <QObject>
#include <QPointer>

#include <windows.h>

namespace mnemora {
namespace {

struct Watch {
    QPointer<QObject> context;
    std::function<void()> onRequest;
};

Watch& TheWatch() {
    static Watch watch;
    return watch;
}

// Runs on a thread of the system's own; the request is queued to the event loop. Closing
// the window (WM_CLOSE) and the end of the session reach the window through Qt.
BOOL WINAPI OnConsoleEvent(DWORD event) {
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
    case CTRL_CLOSE_EVENT:
        if (QObject* context = TheWatch().context.data())
            QMetaObject::invokeMethod(context, TheWatch().onRequest, Qt::QueuedConnection);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

void WatchQuitRequests(QObject* context, std::function<void()> onRequest) {
    TheWatch() = {context, std::move(onRequest)};
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

} // namespace mnemora
