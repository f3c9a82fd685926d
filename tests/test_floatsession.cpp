// The float window: a background colour
// chosen while transparent, and the default place on a primary screen that does not
// start at the desktop's origin.
#include "FixtureDb.h"
#include "app/MnemoraDlg.h"
#include "platform/ProgramPath.h"
#include "settings/SettingsFile.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace mnemora;

class TestFloatSession final : public QObject {
    Q_OBJECT

    QTemporaryDir root;
    QString cet4;

    std::unique_ptr<CMnemoraDlg> Start() {
        QFile::remove(cet4);
        if (!fixture::WriteTable(cet4, QStringLiteral("cet4"), fixture::GeneratedRows(6)))
            return nullptr;
        auto window = std::make_unique<CMnemoraDlg>();
        return window->OnInitDialog() ? std::move(window) : nullptr;
    }

private slots:
    void initTestCase() {
        QVERIFY(root.isValid());
        const QString runtime = root.filePath(QStringLiteral("run"));
        QVERIFY(QDir().mkpath(runtime));
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(root.filePath(QStringLiteral("config"))));
        QVERIFY(QDir().mkpath(root.filePath(QStringLiteral("app/db"))));
        SetProgramFilePath(root.filePath(QStringLiteral("app/mnemora")));
        OverrideSettingsPath(root.filePath(QStringLiteral("app/mnemora.ini")));
        cet4 = root.filePath(QStringLiteral("app/db/cet4.dat"));
    }

    void colourChosenWhileTransparentIsKeyedAtTheNextLeave() {
        auto window = Start();
        QVERIFY(window);
        window->OnBackTransparent();
        window->backColor = 0x00FF00; // what the colour dialog sets
        QCOMPARE(window->grab().toImage().pixelColor(2, 2).alpha(), 255);
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(window.get(), &leave);
        QCOMPARE(window->grab().toImage().pixelColor(2, 2).alpha(), 0);
    }

    void defaultPlaceIsOnThePrimaryScreen() {
        // A primary screen right of another one, and lower.
        QCOMPARE(DefaultWindowPosition(QRect(1280, 100, 1000, 700)), QPoint(1280 + 300, 100 + 9));
        QCOMPARE(DefaultWindowPosition(QRect(0, 0, 1920, 1080)), QPoint(576, 12));
    }
};

QTEST_MAIN(TestFloatSession)
#include "test_floatsession.moc"
