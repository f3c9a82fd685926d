#include "app/MnemoraApp.h"

#include "app/MnemoraDlg.h"
#include "app/UiTrace.h"
#include "platform/PlatformChoice.h"
#include "platform/QuitRequests.h"

#include <QApplication>
#include <QSessionManager>
#include <cstdio>

namespace mnemora {

int CMnemoraApp::Run(int& argc, char** argv) {
    ChooseGuiPlatform();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Mnemora"));
    // Alerts and dialogs closing never end the program; only the float window does.
    QApplication::setQuitOnLastWindowClosed(false);
    InstallUiTraceIfRequested(app);

    CMnemoraDlg dialog;
    if (!dialog.InitWindow())
        return 0;
    // The system's requests to end (SIGTERM, SIGINT, SIGHUP) end the run in order: the
    // window saves position and counters, then the event loop quits.
    WatchQuitRequests(&dialog, [&dialog] {
        dialog.SaveOnShutdown();
        QCoreApplication::quit();
    });
    // The session asks to save before it may end (or be cancelled); the real end comes
    // later through aboutToQuit, a close or a signal.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &dialog,
                     [&dialog](QSessionManager&) { dialog.SaveCheckpoint(); });
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &dialog, [&dialog] { dialog.SaveOnShutdown(); });
    dialog.OpenListAfterFirstPaint();
    dialog.show();
    const int status = app.exec();
    // The last save could not write every counter: they are lost with the process.
    if (dialog.Store().Unsaved()) {
        std::fprintf(stderr, "mnemora: %s\n", qPrintable(dialog.Store().UnsavedSummary()));
        return status != 0 ? status : 1;
    }
    return status;
}

} // namespace mnemora
