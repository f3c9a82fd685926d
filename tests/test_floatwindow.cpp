// The float window on its own (offscreen): colouring, the appearance commands and what
// they store, hover over a transparent background, live opacity and changing the list.
// Toggle menus and a second start are driven on a real display by tests/e2e. Every start
// uses a private settings file, word-list folder, runtime folder and autostart folder.
#include "FixtureDb.h"
#include "TestData.h"
#include "app/FontColorDialog.h"
#include "app/MnemoraDlg.h"
#include "app/menus/ContextMenus.h"
#include "app/menus/MenuCommands.h"
#include "platform/ProgramPath.h"
#include "settings/SettingsFile.h"

#include <QApplication>
#include <QColorDialog>
#include <QFontDatabase>
#include <QFontDialog>
#include <QLabel>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>

using namespace mnemora;

namespace {

QColor Rgb(uint32_t colorRef) {
    return QColor(static_cast<int>(colorRef & 0xFF), static_cast<int>((colorRef >> 8) & 0xFF),
                  static_cast<int>((colorRef >> 16) & 0xFF));
}

// A point of the background outside the word label.
QColor BackgroundPixel(QWidget& window) {
    return window.grab().toImage().pixelColor(2, 2);
}

bool SameOpacity(double opacity, int alpha) {
    return qAbs(opacity - alpha / 255.0) < 0.5 / 255.0;
}

// showTimes of the first row of a list, as stored.
qint64 StoredShows(const QString& path, const QString& table) {
    return fixture::Counters(path, table, 1).value_or(qMakePair(-1, -1)).first;
}

QByteArray FileBytes(const QString& path) {
    return testdata::ReadFile(path, "(missing)");
}

// Answers the next modal dialog of type T once it is up: act on it, then it is done.
// A dialog of another type, or none within a few seconds, is rejected so the test goes on.
template <typename T> void AnswerModal(std::function<void(T*)> act) {
    auto* poll = new QTimer;
    poll->setInterval(10);
    auto tries = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, tries, act] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr && ++*tries < 500)
            return;
        poll->deleteLater();
        poll->stop();
        if (auto* wanted = qobject_cast<T*>(dialog))
            act(wanted);
        else if (dialog != nullptr)
            dialog->reject();
    });
    poll->start();
}

// The offscreen platform cannot set a window's opacity or size hints and has no tray;
// it says so on every start. Everything else reaches the test log.
QtMessageHandler previousHandler = nullptr;
void QuietPlatform(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.startsWith(QLatin1String("This plugin does not support")) ||
        message.contains(QLatin1String("systemTrayWindowChanged")))
        return;
    previousHandler(type, context, message);
}

} // namespace

class TestFloatWindow final : public QObject {
    Q_OBJECT

    QTemporaryDir root;
    QString ini;
    QString cet4;
    QString cet6;

    // A fresh program start on the given settings: both lists rewritten with zero counters.
    std::unique_ptr<CMnemoraDlg> Start(const QByteArray& settings = QByteArray()) {
        QFile::remove(ini);
        if (!settings.isEmpty() && !testdata::WriteFile(ini, settings))
            return nullptr;
        QFile::remove(cet4);
        QFile::remove(cet6);
        QList<fixture::Row> sixRows = fixture::GeneratedRows(6);
        QList<fixture::Row> nineRows = fixture::GeneratedRows(9);
        for (fixture::Row& row : nineRows)
            row.word = QStringLiteral("six") + row.index.toString();
        if (!fixture::WriteTable(cet4, QStringLiteral("cet4"), sixRows) ||
            !fixture::WriteTable(cet6, QStringLiteral("cet6"), nineRows))
            return nullptr;
        auto window = std::make_unique<CMnemoraDlg>();
        if (!window->OnInitDialog())
            return nullptr;
        return window;
    }

private slots:
    void initTestCase() {
        QVERIFY(root.isValid());
        previousHandler = qInstallMessageHandler(QuietPlatform);
        // No real lock, socket or autostart entry of the user is touched.
        const QString runtime = root.filePath(QStringLiteral("run"));
        QVERIFY(QDir().mkpath(runtime));
        QVERIFY(QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(root.filePath(QStringLiteral("config"))));
        QVERIFY(QDir().mkpath(root.filePath(QStringLiteral("app/db"))));
        SetProgramFilePath(root.filePath(QStringLiteral("app/mnemora")));
        ini = root.filePath(QStringLiteral("app/mnemora.ini"));
        OverrideSettingsPath(ini);
        cet4 = root.filePath(QStringLiteral("app/db/cet4.dat"));
        cet6 = root.filePath(QStringLiteral("app/db/cet6.dat"));
    }

    // The defaults and the drawn text are checked on a real display by the desktop tests;
    // only exactly 1 switches top-most on.
    void startsFromTheStoredAppearance() {
        const QColor back(10, 20, 30);
        const QColor text(250, 200, 0);
        auto window = Start("[FloatWindow]\nBackGroundR=10\nBackGroundG=20\nBackGroundB=30\n"
                            "TextR=250\nTextG=200\nTextB=0\nTransparent=128\nTOPMOST=2\nShowSentence=0\n");
        QVERIFY(window);
        QCOMPARE(BackgroundPixel(*window), back);
        QVERIFY(SameOpacity(window->windowOpacity(), 128));
        QLabel* label = window->WordLabel();
        QCOMPARE(label->palette().color(QPalette::WindowText), text);
        QCOMPARE(label->font().family(), QStringLiteral("Times New Roman"));
        QVERIFY(!window->CurrentMenuState().topMost);
        QVERIFY(!window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(!window->CurrentMenuState().showSentence);
    }

    void backgroundTransparencyIsNeitherStoredNorKept() {
        auto window = Start("[FloatWindow]\nTransparent=200\n");
        QVERIFY(window);
        const QByteArray before = FileBytes(ini);
        window->OnCommand(cmd::kBackTransparent); // how it looks: the hover test
        QVERIFY(window->CurrentMenuState().backTransparent);
        window->OnCommand(cmd::kBackTransparent);
        QVERIFY(!window->CurrentMenuState().backTransparent);
        QCOMPARE(BackgroundPixel(*window), QColor(221, 243, 255));
        QVERIFY(SameOpacity(window->windowOpacity(), 200));
        window->OnCommand(cmd::kBackTransparent);
        QCOMPARE(FileBytes(ini), before);

        window.reset();
        window = Start(before);
        QVERIFY(window);
        QVERIFY(!window->backTransparent);
    }

    void hoverShowsTheBackgroundOnlyWhileTransparent_data() {
        QTest::addColumn<bool>("transparent");
        QTest::newRow("transparent") << true;
        QTest::newRow("opaque") << false;
    }
    void hoverShowsTheBackgroundOnlyWhileTransparent() {
        QFETCH(bool, transparent);
        auto window = Start("[FloatWindow]\nTransparent=180\n");
        QVERIFY(window);
        window->show();
        if (transparent)
            window->OnBackTransparent();
        const QColor back(221, 243, 255);
        const auto expectShown = [&](bool shown) {
            QCOMPARE(window->HoverShown(), shown);
            if (shown || !transparent) {
                QCOMPARE(BackgroundPixel(*window), back);
                QVERIFY(SameOpacity(window->windowOpacity(), 180));
            } else {
                QCOMPARE(BackgroundPixel(*window).alpha(), 0);
                QVERIFY(SameOpacity(window->windowOpacity(), 255));
            }
        };

        QMouseEvent move(QEvent::MouseMove, QPointF(30, 30), window->mapToGlobal(QPointF(30, 30)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(window.get(), &move);
        QVERIFY(window->HoverTimer().isActive()); // hover needs the mouse to rest first
        expectShown(false);
        QMetaObject::invokeMethod(&window->HoverTimer(), "timeout");
        expectShown(transparent);
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(window.get(), &leave);
        QVERIFY(!window->HoverTimer().isActive());
        expectShown(false);
        QVERIFY(window->CurrentMenuState().backTransparent == transparent); // hover never switches it
    }

    void liveOpacityEndsBackgroundTransparency_data() {
        QTest::addColumn<int>("alpha");
        QTest::newRow("half") << 128;
        QTest::newRow("invisible") << 0;
    }
    void liveOpacityEndsBackgroundTransparency() {
        QFETCH(int, alpha);
        auto window = Start();
        QVERIFY(window);
        window->OnBackTransparent();
        QMetaObject::invokeMethod(&window->HoverTimer(), "timeout");
        QVERIFY(window->HoverShown());
        window->SetAlphaLive(alpha);
        QVERIFY(!window->backTransparent);
        QVERIFY(!window->HoverShown());
        QCOMPARE(window->alpha, alpha);
        QVERIFY(SameOpacity(window->windowOpacity(), alpha));
        QCOMPARE(BackgroundPixel(*window), QColor(221, 243, 255));
    }

    void changingTheListSavesTheOldBatch() {
        auto window = Start();
        QVERIFY(window);
        window->Study().OnTimer(kWordTimerId);
        QCOMPARE(window->WordLabel()->text(), QStringLiteral("word1"));
        QCOMPARE(StoredShows(cet4, QStringLiteral("cet4")), qint64{0});

        window->ChangeWordList(0, 1);
        QCOMPARE(StoredShows(cet4, QStringLiteral("cet4")), qint64{1});
        QCOMPARE(window->Store().listIndex, 1);
        QCOMPARE(QByteArray(window->Store().tableName.data()), QByteArray("cet6"));
        QCOMPARE(window->Store().recordCount, 9);
        window->Study().OnTimer(kWordTimerId);
        QCOMPARE(window->WordLabel()->text(), QStringLiteral("six1"));

        // The next change writes the new list's counters, not the old one's.
        window->ChangeWordList(0, 0);
        QCOMPARE(StoredShows(cet6, QStringLiteral("cet6")), qint64{1});
        QCOMPARE(StoredShows(cet4, QStringLiteral("cet4")), qint64{1});
    }

    void backgroundColourDialog_data() {
        QTest::addColumn<bool>("accept");
        QTest::addColumn<bool>("transparent");
        QTest::newRow("chosen") << true << false;
        QTest::newRow("cancelled") << false << false;
        // The new colour shows until the mouse leaves: the old one is still the key.
        QTest::newRow("chosen while transparent") << true << true;
    }
    void backgroundColourDialog() {
        QFETCH(bool, accept);
        QFETCH(bool, transparent);
        auto window = Start("[FloatWindow]\nBackGroundR=1\nBackGroundG=2\nBackGroundB=3\n");
        QVERIFY(window);
        if (transparent)
            window->OnBackTransparent();
        AnswerModal<QColorDialog>([accept](QColorDialog* dialog) {
            dialog->setCurrentColor(QColor(10, 200, 30));
            accept ? dialog->accept() : dialog->reject();
        });
        window->OnCommand(cmd::kBackColor);
        const QColor expected = accept ? QColor(10, 200, 30) : QColor(1, 2, 3);
        QCOMPARE(Rgb(window->backColor), expected);
        QCOMPARE(BackgroundPixel(*window), expected);
        QCOMPARE(Rgb(ReadBackgroundColor()), expected);
        if (transparent) {
            QEvent leave(QEvent::Leave);
            QApplication::sendEvent(window.get(), &leave);
            QCOMPARE(BackgroundPixel(*window).alpha(), 0);
        }
    }

    void fontAndTextColourDialog_data() {
        QTest::addColumn<int>("answer"); // 0 cancel, 1 OK as opened, 2 OK with a colour
        QTest::addColumn<QColor>("expected");
        QTest::newRow("cancelled") << 0 << QColor(250, 200, 0);
        QTest::newRow("colour untouched is black") << 1 << QColor(0, 0, 0);
        QTest::newRow("colour chosen") << 2 << QColor(1, 2, 3);
    }
    void fontAndTextColourDialog() {
        QFETCH(int, answer);
        QFETCH(QColor, expected);
        auto window = Start("[FloatWindow]\nTextR=250\nTextG=200\nTextB=0\n");
        QVERIFY(window);
        const QFont before = window->WordLabel()->font();
        auto chosen = std::make_shared<QFont>(before);
        AnswerModal<CFontColorDialog>([answer, chosen](CFontColorDialog* dialog) {
            if (answer == 0) {
                dialog->reject();
                return;
            }
            if (answer == 2)
                dialog->SetColor(QColor(1, 2, 3));
            // Any installed face but the current one.
            auto* fonts = dialog->findChild<QFontDialog*>();
            for (const QString& family : QFontDatabase::families()) {
                if (fonts != nullptr && family != fonts->currentFont().family()) {
                    fonts->setCurrentFont(QFont(family, 20));
                    break;
                }
            }
            *chosen = dialog->SelectedFont();
            dialog->accept();
        });
        window->OnCommand(cmd::kTextColor);
        QCOMPARE(Rgb(window->textColor), expected);
        QCOMPARE(Rgb(ReadTextColor()), expected);
        QCOMPARE(window->WordLabel()->palette().color(QPalette::WindowText), expected);
        QCOMPARE(window->WordLabel()->font(), answer == 0 ? before : *chosen);
        if (answer != 0)
            QVERIFY(chosen->family() != before.family());
    }
};

QTEST_MAIN(TestFloatWindow)
#include "test_floatwindow.moc"
