#include "app/MnemoraApp.h"

#include "app/MnemoraDlg.h"
#include "app/UiTrace.h"
#include "platform/PlatformChoice.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QSessionManager>
#include <QSocketNotifier>
#include <QTranslator>
#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace mnemora {
namespace {

int signalPipe[2] = {-1, -1};

void OnSignal(int) {
    const char byte = 1;
    // Only async-signal-safe work here; the event loop does the rest.
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[0], &byte, 1);
}

// SIGTERM, SIGINT and SIGHUP end the run in order: the window saves position and
// counters, then the event loop quits.
void WatchTerminationSignals(CMnemoraDlg& dialog) {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, &dialog);
    QObject::connect(notifier, &QSocketNotifier::activated, &dialog, [&dialog] {
        char byte = 0;
        [[maybe_unused]] const ssize_t got = ::read(signalPipe[1], &byte, 1);
        dialog.SaveOnShutdown();
        QCoreApplication::quit();
    });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGINT, SIGHUP})
        sigaction(sig, &action, nullptr);
}

} // namespace

bool InstallQtTranslations() {
    auto* translator = new QTranslator(QCoreApplication::instance());
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!translator->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                          QStringLiteral("_"), folder) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        std::fprintf(stderr, "mnemora: Qt's own texts stay English: no qtbase_zh_CN.qm in %s\n",
                     qUtf8Printable(folder));
        return false;
    }
    return true;
}

int CMnemoraApp::Run(int& argc, char** argv) {
    PreferXcbOnWayland();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Mnemora"));
    // Alerts and dialogs closing never end the program; only the float window does.
    QApplication::setQuitOnLastWindowClosed(false);
    InstallQtTranslations();
    InstallUiTraceIfRequested(app);

    CMnemoraDlg dialog;
    if (!dialog.Start())
        return 0;
    WatchTerminationSignals(dialog);
    // The session asks to save before it may end (or be cancelled); the real end comes
    // later through aboutToQuit, a close or a signal.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &dialog,
                     [&dialog](QSessionManager&) { dialog.SaveCheckpoint(); });
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &dialog, [&dialog] { dialog.SaveOnShutdown(); });
    return app.exec();
}

} // namespace mnemora
