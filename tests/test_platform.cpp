// Small platform pieces: the display platform choice, the updater hand-off and the
// autostart entry.
#include "TestData.h"
#include "platform/AutoStart.h"
#include "platform/PlatformChoice.h"
#include "platform/ProgramPath.h"
#include "platform/UpdaterHandOff.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace mnemora;

namespace {
// An updater stand-in that leaves a marker file named after itself in the folder.
QByteArray Script(const QByteArray& marker) {
    return "#!/bin/sh\necho started > \"$(dirname \"$0\")/" + marker + "\"\n";
}
void WriteScript(const QString& path, const QByteArray& marker, bool executable = true) {
    QVERIFY(testdata::WriteFile(path, Script(marker)));
    if (executable)
        QVERIFY(QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner));
}
QString Entry() {
    return QString::fromUtf8(testdata::ReadFile(AutostartFilePath()));
}
} // namespace

class TestPlatform final : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> config_;

private slots:
    void init() {
        config_ = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config_->path()));
        SetProgramFilePath("/opt/mnemora/mnemora");
    }

    // XDG_SESSION_TYPE, WAYLAND_DISPLAY, DISPLAY, QT_QPA_PLATFORM before, and after.
    void xcbIsChosenOnlyForWaylandWithXWayland_data() {
        QTest::addColumn<QByteArrayList>("env");
        for (const QByteArrayList& row : {QByteArrayList{"wayland", "", ":0", "", "xcb"},
                                          {"tty", "wayland-0", ":1", "", "xcb"},
                                          {"wayland", "wayland-0", "", "", ""},
                                          {"wayland", "w-0", ":0", "wayland", "wayland"},
                                          {"x11", "", ":0", "", ""}})
            QTest::newRow(row.join(u',')) << row;
    }
    void xcbIsChosenOnlyForWaylandWithXWayland() {
        QFETCH(QByteArrayList, env);
        const char* names[] = {"XDG_SESSION_TYPE", "WAYLAND_DISPLAY", "DISPLAY", "QT_QPA_PLATFORM"};
        for (int i = 0; i < 4; ++i)
            env[i].isEmpty() ? qunsetenv(names[i]) : qputenv(names[i], env[i]);
        QCOMPARE(PreferXcbOnWayland(), env[4] != env[3]);
        QCOMPARE(qgetenv("QT_QPA_PLATFORM"), env[4]);
    }

    // "update" and "update.new": absent, script, plain file, folder, link to a script.
    void updaterHandOff() {
        const struct {
            const char *old, *fresh, *ran;
            bool error;
        } rows[] = {
            {"script", "script", "new-ran", false},
            {"", "script", "new-ran", false},
            {"script", "", "old-ran", false},
            {"folder", "script", "", true},
            {"script", "folder", "", true},
            {"plain", "", "", false},
            {"folder", "", "", false},
            {"link", "", "", false},
            {"", "", "", false},
        };
        for (const auto& row : rows) {
            QTemporaryDir dir;
            const auto make = [&](const QString& kind, const QString& name, const QByteArray& marker) {
                const QString path = dir.filePath(name);
                if (kind == u"script" || kind == u"plain")
                    WriteScript(path, marker, kind == u"script");
                else if (kind == u"folder")
                    QVERIFY(QDir().mkpath(path + "/inside"));
                else if (kind == u"link") {
                    WriteScript(dir.filePath("real"), marker);
                    QVERIFY(QFile::link(dir.filePath("real"), path));
                }
            };
            make(row.old, "update", "old-ran");
            make(row.fresh, "update.new", "new-ran");
            const UpdaterHandOffResult result = HandOffToUpdater(dir.path());
            const QString tag = QString("%1/%2").arg(row.old, row.fresh);
            QVERIFY2(result.error.isEmpty() != row.error, qPrintable(tag));
            if (row.error) { // the path and why; nothing lost, even an executable "update" is skipped
                QVERIFY(result.error.size() > dir.filePath("update.new").size() + 2);
                QVERIFY(result.error.contains(dir.filePath("update.new")));
                QVERIFY(QFileInfo(dir.filePath("update")).exists() &&
                        QFile::exists(dir.filePath("update.new")));
            }
            QCOMPARE(result.replaced, !row.error && qstrcmp(row.fresh, "script") == 0);
            QVERIFY2(result.started == (*row.ran != 0), qPrintable(tag));
            if (*row.ran) {
                QVERIFY(!QFile::exists(dir.filePath("update.new")));
                QCOMPARE(testdata::ReadFile(dir.filePath("update")), Script(row.ran));
                QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(dir.filePath(row.ran)), 10000);
            }
        }
        QVERIFY(!HandOffToUpdater(QString()).started);
    }

    void autostartRegisterAndRemove() {
        QCOMPARE(AutostartFilePath(), config_->filePath("autostart/Mnemora.desktop"));
        QVERIFY(!IsAutostartRegistered());
        QVERIFY(UnregisterAutostart()); // nothing to remove is no failure
        QVERIFY(RegisterAutostart());
        QVERIFY(IsAutostartRegistered());
        QVERIFY(Entry().startsWith("[Desktop Entry]\n") && Entry().contains("\nName=Mnemora\n"));
        QVERIFY(Entry().contains("\nExec=/opt/mnemora/mnemora\n"));
        // Registering again from another folder rewrites the command, once, quoted.
        SetProgramFilePath("/home/li ming/mnemora");
        QVERIFY(RegisterAutostart());
        QCOMPARE(Entry().count("Exec="), 1);
        QVERIFY(Entry().contains("\nExec=\"/home/li ming/mnemora\"\n"));
        QVERIFY(UnregisterAutostart());
        QVERIFY(!QFile::exists(AutostartFilePath()));
    }

    void autostartRegisteredUnlessHidden_data() {
        testdata::AddStringRows(
            "content", "registered",
            {{"another program's entry", "[Desktop Entry]\nExec=/usr/bin/other\n", "1"},
             {"hidden", "[Desktop Entry]\nExec=x\nHidden=true\n", ""},
             {"hidden, spaced, CRLF", "[Desktop Entry]\r\nHidden = true\r\n", ""},
             {"in another group", "[Desktop Entry]\nExec=x\n[Desktop Action a]\nHidden=true\n", "1"},
             {"value is case-sensitive", "[Desktop Entry]\nHidden=True\n", "1"}});
    }
    void autostartRegisteredUnlessHidden() {
        QFETCH(QString, content);
        QFETCH(QString, registered);
        QVERIFY(testdata::WriteFile(AutostartFilePath(), content.toUtf8()));
        QCOMPARE(IsAutostartRegistered(), !registered.isEmpty());
        QVERIFY(RegisterAutostart());
        QVERIFY(IsAutostartRegistered());
    }

    void autostartRegisterKeepsTheOtherLines() {
        QVERIFY(testdata::WriteFile(
            AutostartFilePath(), "# kept comment\n[Desktop Entry]\nName=Mnemora trainer\nName[zh_CN]=背单词\n"
                                 "Exec=/old/place/mnemora\nTryExec=/old/place/mnemora\nHidden=true\n"
                                 "X-GNOME-Autostart-enabled=false\nComment=mine\n"
                                 "[Desktop Action quiet]\nExec=/usr/bin/quiet\n"));
        QVERIFY(RegisterAutostart());
        QVERIFY(IsAutostartRegistered());
        QCOMPARE(Entry(), "# kept comment\n[Desktop Entry]\nType=Application\nExec=/opt/mnemora/mnemora\n"
                          "X-GNOME-Autostart-enabled=true\nName=Mnemora trainer\nName[zh_CN]=背单词\n"
                          "Comment=mine\n[Desktop Action quiet]\nExec=/usr/bin/quiet\n");
    }

    void autostartExecQuotesAndEscapes_data() {
        testdata::AddStringRows(
            "path", "exec",
            {{"plain", "/opt/mnemora/mnemora", "/opt/mnemora/mnemora"},
             {"spaces", "/home/li ming/Mnemora 1.2/mnemora", "\"/home/li ming/Mnemora 1.2/mnemora\""},
             {"percent", "/opt/100%/mnemora", "/opt/100%%/mnemora"},
             {"dollar and quote", "/opt/a$b \"c\"/m", "\"/opt/a\\\\$b \\\\\"c\\\\\"/m\""},
             {"backslash", "/opt/a\\b/m", "\"/opt/a\\\\\\\\b/m\""}});
    }
    void autostartExecQuotesAndEscapes() {
        QFETCH(QString, path);
        QTEST(DesktopExecValue(path), "exec");
    }
};

QTEST_GUILESS_MAIN(TestPlatform)
#include "test_platform.moc"
