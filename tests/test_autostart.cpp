#include "TestData.h"
#include "platform/AutoStart.h"
#include "platform/ProgramPath.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace mnemora;

namespace {
QString ReadAll(const QString& path) {
    return QString::fromUtf8(testdata::ReadFile(path));
}

void WriteEntry(const QString& content) {
    QVERIFY(testdata::WriteFile(AutostartFilePath(), content.toUtf8()));
}
} // namespace

class TestAutostart final : public QObject {
    Q_OBJECT
private slots:
    void init() {
        m_config = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config->path()));
        SetProgramFilePath(QStringLiteral("/opt/mnemora/mnemora"));
    }

    void registerTestAndRemove() {
        QCOMPARE(AutostartFilePath(), m_config->filePath(QStringLiteral("autostart/Mnemora.desktop")));
        QVERIFY(!IsAutostartRegistered());
        QVERIFY(UnregisterAutostart()); // nothing to remove is no failure

        QVERIFY(RegisterAutostart());
        QVERIFY(IsAutostartRegistered());
        const QString fresh = ReadAll(AutostartFilePath());
        QVERIFY(fresh.startsWith(QStringLiteral("[Desktop Entry]\n")) &&
                fresh.contains(QStringLiteral("\nName=Mnemora\n")));
        QVERIFY(fresh.contains(QStringLiteral("\nExec=/opt/mnemora/mnemora\n")));

        // Registering again from another folder rewrites the command, once, quoted.
        SetProgramFilePath(QStringLiteral("/home/li ming/mnemora"));
        QVERIFY(RegisterAutostart());
        const QString again = ReadAll(AutostartFilePath());
        QCOMPARE(again.count(QStringLiteral("Exec=")), 1);
        QVERIFY(again.contains(QStringLiteral("\nExec=\"/home/li ming/mnemora\"\n")));

        QVERIFY(UnregisterAutostart());
        QVERIFY(!IsAutostartRegistered());
        QVERIFY(!QFile::exists(AutostartFilePath()));
    }

    void registeredUnlessHidden_data() {
        QTest::addColumn<QString>("content");
        QTest::addColumn<bool>("registered");
        QTest::newRow("another program's entry") << "[Desktop Entry]\nExec=/usr/bin/other\n" << true;
        QTest::newRow("hidden") << "[Desktop Entry]\nExec=x\nHidden=true\n" << false;
        QTest::newRow("hidden, spaced, CRLF") << "[Desktop Entry]\r\nHidden = true\r\n" << false;
        QTest::newRow("hidden in another group")
            << "[Desktop Entry]\nExec=x\n[Desktop Action a]\nHidden=true\n"
            << true;
        QTest::newRow("value is case-sensitive") << "[Desktop Entry]\nHidden=True\n" << true;
    }
    void registeredUnlessHidden() {
        QFETCH(QString, content);
        QFETCH(bool, registered);
        WriteEntry(content);
        QCOMPARE(IsAutostartRegistered(), registered);
        QVERIFY(RegisterAutostart());
        QVERIFY(IsAutostartRegistered());
    }

    void registerKeepsTheOtherLines() {
        WriteEntry(QStringLiteral("# kept comment\n"
                                  "[Desktop Entry]\n"
                                  "Name=Mnemora trainer\n"
                                  "Name[zh_CN]=背单词\n"
                                  "Exec=/old/place/mnemora\n"
                                  "TryExec=/old/place/mnemora\n"
                                  "Hidden=true\n"
                                  "X-GNOME-Autostart-enabled=false\n"
                                  "Comment=mine\n"
                                  "[Desktop Action quiet]\n"
                                  "Exec=/usr/bin/quiet\n"));
        QVERIFY(!IsAutostartRegistered());
        QVERIFY(RegisterAutostart());
        QVERIFY(IsAutostartRegistered());
        QCOMPARE(ReadAll(AutostartFilePath()), QStringLiteral("# kept comment\n"
                                                              "[Desktop Entry]\n"
                                                              "Type=Application\n"
                                                              "Exec=/opt/mnemora/mnemora\n"
                                                              "X-GNOME-Autostart-enabled=true\n"
                                                              "Name=Mnemora trainer\n"
                                                              "Name[zh_CN]=背单词\n"
                                                              "Comment=mine\n"
                                                              "[Desktop Action quiet]\n"
                                                              "Exec=/usr/bin/quiet\n"));
    }

    void execValueQuotesAndEscapes_data() {
        testdata::AddStringRows(
            "path", "exec",
            {
                {"plain", "/opt/mnemora/mnemora", "/opt/mnemora/mnemora"},
                {"spaces", "/home/li ming/Mnemora 1.2/mnemora", "\"/home/li ming/Mnemora 1.2/mnemora\""},
                {"percent", "/opt/100%/mnemora", "/opt/100%%/mnemora"},
                {"dollar and quote", "/opt/a$b \"c\"/m", "\"/opt/a\\\\$b \\\\\"c\\\\\"/m\""},
                {"backslash", "/opt/a\\b/m", "\"/opt/a\\\\\\\\b/m\""},
            });
    }
    void execValueQuotesAndEscapes() {
        QFETCH(QString, path);
        QFETCH(QString, exec);
        QCOMPARE(DesktopExecValue(path), exec);
    }

private:
    std::unique_ptr<QTemporaryDir> m_config;
};

QTEST_GUILESS_MAIN(TestAutostart)
#include "test_autostart.moc"
