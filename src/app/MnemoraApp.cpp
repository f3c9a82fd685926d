#include "app/MnemoraApp.h"

#include "app/MnemoraDlg.h"
#include "app/UiTrace.h"
#include "platform/PlatformChoice.h"
#include "platform/QuitRequests.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QSessionManager>
#include <QTranslator>
#include <cstdio>

namespace mnemora {

bool InstallQtTranslations() {
    auto* translator = new QTranslator(QCoreApplication::instance());
    const QLocale chinese(QLocale::Chinese, QLocale::China);
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    // Qt's own folder on Linux; a Windows copy carries the file beside the program.
    const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/translations");
    const auto load = [&](const QString& in) {
        return translator->load(chinese, QStringLiteral("qtbase"), QStringLiteral("_"), in);
    };
    if (!(load(folder) || load(beside)) || !QCoreApplication::installTranslator(translator)) {
        delete translator;
        std::fprintf(stderr, "mnemora: Qt's own texts stay English: no qtbase_zh_CN.qm in %s or %s\n",
                     qUtf8Printable(folder), qUtf8Printable(beside));
        return false;
    }
    return true;
}

int CMnemoraApp::Run(int& argc, char** argv) {
    ChooseGuiPlatform();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Mnemora"));
    // Alerts and dialogs closing never end the program; only the float window does.
    QApplication::setQuitOnLastWindowClosed(false);
    InstallQtTranslations();
    InstallUiTraceIfRequested(app);

    CMnemoraDlg dialog;
    if (!dialog.Start())
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
    const int status = app.exec();
    // The last save could not write every counter: they are lost with the process.
    const QString unsaved = dialog.UnsavedCounters();
    if (!unsaved.isEmpty()) {
        std::fprintf(stderr, "mnemora: %s\n", qPrintable(unsaved));
        return status != 0 ? status : 1;
    }
    return status;
}

} // namespace mnemora
