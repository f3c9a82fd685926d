// Small platform pieces: the display platform choice, the updater hand-off, the autostart entry (its Exec
// line at a first start: e2e/float_window.sh), the module loader (runs without: e2e/speech.sh, progress.sh).
#include "TestData.h"
#include "platform/ModuleLoader.h"
#include "platform/PlatformChoice.h"
#include "platform/ProgramPath.h"
#include "platform/UpdaterHandOff.h"
#include "platform/linux/XdgAutostart.h"
#include "study/ProgressModule.h"
#include "study/SpeechModule.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace mnemora;

class TestPlatform final : public QObject {
    Q_OBJECT
private slots:
    // XDG_SESSION_TYPE, WAYLAND_DISPLAY, DISPLAY, QT_QPA_PLATFORM before, and after.
    void xcbIsChosenOnlyForWaylandWithXWayland() {
        const char* names[] = {"XDG_SESSION_TYPE", "WAYLAND_DISPLAY", "DISPLAY", "QT_QPA_PLATFORM"};
        for (const QByteArrayList& env : {QByteArrayList{"wayland", "", ":0", "", "xcb"},
                                          {"tty", "wayland-0", ":1", "", "xcb"},
                                          {"wayland", "wayland-0", "", "", ""},
                                          {"wayland", "w-0", ":0", "wayland", "wayland"},
                                          {"x11", "", ":0", "", ""}}) {
            for (int i = 0; i < 4; ++i)
                env[i].isEmpty() ? qunsetenv(names[i]) : qputenv(names[i], env[i]);
            QVERIFY2(ChooseGuiPlatform() == (env[4] != env[3]), env.join(','));
            QCOMPARE(qgetenv("QT_QPA_PLATFORM"), env[4]);
        }
    }

    // "update" and "update.new": absent, script, plain file, folder, link to a script.
    void updaterHandOff() {
        // An updater stand-in that leaves a marker file named after itself in the folder.
        const auto script = [](const QByteArray& marker) -> QByteArray {
            return "#!/bin/sh\necho started > \"$(dirname \"$0\")/" + marker + "\"\n";
        };
        const struct {
            const char *old, *fresh, *ran;
            bool error;
        } rows[] = {// clang-format off
            {"script", "script", "new-ran", false}, {"", "script", "new-ran", false}, {"script", "", "old-ran", false},
            {"folder", "script", "", true}, {"script", "folder", "", true}, {"plain", "", "", false},
            {"folder", "", "", false}, {"link", "", "", false}, {"", "", "", false}}; // clang-format on
        for (const auto& row : rows) {
            QTemporaryDir dir;
            const auto make = [&](const QString& kind, const QString& name, const QByteArray& marker) {
                const QString path = dir.filePath(kind == u"link" ? "real" : name);
                if (kind == u"folder")
                    QVERIFY(QDir().mkpath(path + "/inside"));
                else if (!kind.isEmpty() && testdata::WriteFile(path, script(marker)) && kind != u"plain")
                    QVERIFY(QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner));
                if (kind == u"link")
                    QVERIFY(QFile::link(path, dir.filePath(name)));
            };
            make(row.old, "update", "old-ran");
            make(row.fresh, "update.new", "new-ran");
            const UpdaterHandOffResult result = HandOffToUpdater(dir.path());
            QVERIFY2(result.error.isEmpty() != row.error && result.started == (*row.ran != 0) &&
                         result.replaced == (!row.error && qstrcmp(row.fresh, "script") == 0),
                     QByteArray(row.old) + '/' + row.fresh);
            if (row.error) // the path and why; nothing lost, even an executable "update" is skipped
                QVERIFY(result.error.startsWith(dir.filePath("update.new") + ": ") &&
                        !result.error.endsWith(": ") && QFile::exists(dir.filePath("update")) &&
                        QFile::exists(dir.filePath("update.new")));
            if (*row.ran) {
                QVERIFY(!QFile::exists(dir.filePath("update.new")));
                QCOMPARE(testdata::ReadFile(dir.filePath("update")), script(row.ran));
                QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(dir.filePath(row.ran)), 10000);
            }
        }
        QVERIFY(!HandOffToUpdater(QString()).started);
    }

    // A new entry, and one registered over: what is not ours is kept, Exec only once and quoted
    // as the desktop entry rules want; only our own group's exact "Hidden=true" unregisters.
    void autostartRegisterAndRemove() {
        QTemporaryDir config;
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
        const auto entry = [] { return QString::fromUtf8(testdata::ReadFile(AutostartFilePath())); };
        QVERIFY(!IsAutostartRegistered() && UnregisterAutostart()); // nothing to remove is no failure
        SetProgramFilePath("/home/li ming/mnemora");
        QVERIFY(RegisterAutostart() && IsAutostartRegistered());
        QCOMPARE(entry(), "[Desktop Entry]\nType=Application\nName=Mnemora\nExec=\"/home/li ming/mnemora\"\n"
                          "X-GNOME-Autostart-enabled=true\n");
        QVERIFY(UnregisterAutostart() && !QFile::exists(AutostartFilePath()));
        for (const auto& [content, registered] :
             {std::pair{"[Desktop Entry]\nExec=/usr/bin/other\n", true}, // another program's entry
              {"[Desktop Entry]\r\nHidden = true\r\n", false},
              {"[Desktop Entry]\nExec=x\n[Desktop Action a]\nHidden=true\n", true}, // another group
              {"[Desktop Entry]\nHidden=True\n", true}}) { // the value is case-sensitive
            QVERIFY(testdata::WriteFile(AutostartFilePath(), content));
            QVERIFY2(IsAutostartRegistered() == registered, content);
        }
        SetProgramFilePath("/opt/mnemora/mnemora");
        QVERIFY(testdata::WriteFile(
            AutostartFilePath(), "# kept comment\n[Desktop Entry]\nName=Mnemora trainer\nName[zh_CN]=背单词\n"
                                 "Exec=/old/place/mnemora\nTryExec=/old/place/mnemora\nHidden=true\n"
                                 "X-GNOME-Autostart-enabled=false\nComment=mine\n"
                                 "[Desktop Action quiet]\nExec=/usr/bin/quiet\n"));
        QVERIFY(!IsAutostartRegistered() && RegisterAutostart() && IsAutostartRegistered());
        QCOMPARE(entry(), "# kept comment\n[Desktop Entry]\nType=Application\nExec=/opt/mnemora/mnemora\n"
                          "X-GNOME-Autostart-enabled=true\nName=Mnemora trainer\nName[zh_CN]=背单词\n"
                          "Comment=mine\n[Desktop Action quiet]\nExec=/usr/bin/quiet\n");
        const char* rows[][2] = {{"/opt/100%/mnemora", "/opt/100%%/mnemora"},
                                 {"/opt/a$b \"c\"/m", "\"/opt/a\\\\$b \\\\\"c\\\\\"/m\""},
                                 {"/opt/a\\b/m", "\"/opt/a\\\\\\\\b/m\""}};
        for (const auto& [path, exec] : rows)
            QCOMPARE(DesktopExecValue(path), QString(exec));
    }

    // Modules are found beside the program or in ../lib/mnemora/modules, loaded once, and
    // refused from their metadata when built for another interface version.
    void modulesAreFoundCheckedAndLoadedOnce() {
        QTemporaryDir root;
        QVERIFY(testdata::WriteFile(root.filePath("lib/mnemora/modules/libmnemora-progress.so"),
                                    testdata::ReadFile(PROGRESS_MODULE)) &&
                testdata::WriteFile(root.filePath("bin/libmnemora-speech.so"), "not a library"));
        const struct {
            const char *program, *module, *why; // loaded when there is no why
        } rows[] = {
            {OTHER_VERSION_DIR "/mnemora", kSpeechModuleName,
             "a module of another version (io.github.mnemora.SpeechModule/0; this program needs "
             "io.github.mnemora.SpeechModule/1)"},
            {"bin/mnemora", kSpeechModuleName, "libmnemora-speech.so"},
            {"bin/mnemora", kProgressModuleName, ""},
            {"/nowhere/mnemora", kProgressModuleName, ""}, // loaded once, kept
            {"/nowhere/mnemora", kSpeechModuleName, "mnemora-speech: not found"},
        };
        for (const auto& row : rows) {
            SetProgramFilePath(QDir(root.path()).filePath(row.program));
            QString error;
            const bool loaded = row.module == kSpeechModuleName
                                    ? LoadModuleAs<ISpeechModule>(row.module, &error) != nullptr
                                    : LoadModuleAs<IProgressModule>(row.module, &error) != nullptr;
            QVERIFY2(loaded == !*row.why && error.contains(row.why) && !error.contains(u'\n'),
                     qPrintable(error));
        }
    }
};

QTEST_GUILESS_MAIN(TestPlatform)
#include "test_platform.moc"
