// The float window on its own (offscreen), started as the program starts it on a private settings
// file, word-list folder, runtime and autostart folder; tests/e2e drive it on a real display.
#include "FixtureDb.h"
#include "TestData.h"
#include "app/FontColorDialog.h"
#include "app/MnemoraApp.h"
#include "app/MnemoraDlg.h"
#include "app/menus/ContextMenus.h"
#include "app/menus/MenuCommands.h"
#include "platform/ProgramPath.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsKeys.h"
#include "store/WordRecord.h"
#include "study/StudyObserver.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFontDialog>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>

using namespace mnemora;

namespace {

QColor Rgb(uint32_t c) {
    return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                  static_cast<int>((c >> 16) & 0xFF));
}
// A point of the background outside the word label.
QColor BackgroundPixel(QWidget& window) {
    return window.grab().toImage().pixelColor(2, 2);
}
bool SameOpacity(double opacity, int alpha) {
    return qAbs(opacity - alpha / 255.0) < 0.5 / 255.0;
}
void SendLeave(QWidget* window) {
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(window, &leave);
}

QLabel* WordLabel(QWidget& window) {
    return window.findChild<QLabel*>(QStringLiteral("wordLabel"));
}
QTimer* Timer(QWidget& window, const char* name) {
    return window.findChild<QTimer*>(QLatin1String(name));
}

// Counts the first-pass views of each word, as the list should record them.
struct ViewCounter final : IStudyObserver {
    QMap<int, qint64> views;
    qint64 total = 0;
    void OnWordShown(const WordRecord& record, bool firstPass) override {
        views[record.index] += firstPass;
        total += firstPass;
    }
};

// The label shows all of its text: wrapped to its width it needs no more room than it has.
bool WholeTextShows(QLabel* label) {
    const QRect needed = QFontMetrics(label->font())
                             .boundingRect(QRect(0, 0, label->width(), 100000),
                                           Qt::AlignHCenter | Qt::TextWordWrap, label->text());
    return needed.height() <= label->height() && needed.width() <= label->width() &&
           label->geometry().bottom() < label->parentWidget()->height();
}

// A word with a three-line meaning and an example sentence with its translation, as the
// longest rows of the lists have them.
const QString kLongText = QStringLiteral(
    "elaborate  [ ɪˈlæbərət ]\nadj. 精心制作的；详尽的；复杂的；煞费苦心的\nv. 详细阐述；详细描述；精心制作；"
    "变得复杂\nn. 精巧的东西\nThe elaborate preparations for the ceremony took several months of careful "
    "planning by the whole committee.\n为这个仪式所做的精心准备花费了整个委员会好几个月的周密计划。");

// Answers the modal dialog the next command opens: act on it when it is a T, else reject it.
template <typename T> void AnswerModal(std::function<void(T*)> act) {
    QTimer::singleShot(0, [act] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (auto* wanted = qobject_cast<T*>(dialog))
            act(wanted);
        else if (dialog != nullptr)
            dialog->reject();
    });
}

QtMessageHandler previousHandler = nullptr;

} // namespace

class TestFloatWindow final : public QObject {
    Q_OBJECT

    QTemporaryDir root;
    QString ini, cet4;
    std::unique_ptr<CMnemoraDlg> window;

    // A fresh program start on the given settings and a list with zero counters.
    bool Start(const QByteArray& settings = QByteArray()) {
        window.reset();
        QFile::remove(ini);
        QFile::remove(cet4);
        if ((!settings.isEmpty() && !testdata::WriteFile(ini, settings)) ||
            !fixture::WriteTable(cet4, QStringLiteral("cet4"), fixture::GeneratedRows(6)))
            return false;
        window = std::make_unique<CMnemoraDlg>();
        // The program's own start: the list opens once the window has been drawn, and
        // the study then runs its timers.
        return window->Start() && QTest::qWaitFor([&] { return Timer(*window, "wordTimer")->isActive(); });
    }

private slots:
    void initTestCase() {
        QVERIFY(root.isValid());
        // The offscreen platform cannot set a window's opacity or size hints and has no tray;
        // it says so on every start. Everything else reaches the test log.
        previousHandler = qInstallMessageHandler(
            [](QtMsgType type, const QMessageLogContext& context, const QString& message) {
                if (!message.startsWith(QLatin1String("This plugin does not support")) &&
                    !message.contains(QLatin1String("systemTrayWindowChanged")))
                    previousHandler(type, context, message);
            });
        // No real lock, socket or autostart entry of the user is touched.
        const QString runtime = root.filePath(QStringLiteral("run"));
        QVERIFY(QDir().mkdir(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(root.filePath(QStringLiteral("config"))));
        QVERIFY(QDir().mkpath(root.filePath(QStringLiteral("app/db"))));
        SetProgramFilePath(root.filePath(QStringLiteral("app/mnemora")));
        ini = root.filePath(QStringLiteral("app/mnemora.ini"));
        OverrideSettingsPath(ini);
        cet4 = root.filePath(QStringLiteral("app/db/cet4.dat"));
    }
    void cleanup() { window.reset(); }

    // Background transparency is a look of this run only, the colour is stored. While transparency
    // is on, a resting mouse shows the background and a colour chosen shows until the mouse leaves
    // (the old one is still the key); a live opacity ends it (the options sheet stores that).
    void backgroundColourTransparencyAndHover() {
        for (const auto& [row, transparent, accept] : {std::tuple{"transparent, colour chosen", true, true},
                                                       {"switched on and off, colour chosen", false, true},
                                                       {"switched on and off, cancelled", false, false}}) {
            QVERIFY(Start("[FloatWindow]\nTransparent=180\nBackGroundR=1\nBackGroundG=2\nBackGroundB=3\n"));
            QByteArray stored = testdata::ReadFile(ini);
            if (accept)
                stored.replace("R=1\nBackGroundG=2\nBackGroundB=3\n",
                               "R=10\nBackGroundG=200\nBackGroundB=30\n");
            window->show();
            window->OnCommand(cmd::kBackTransparent);
            if (!transparent)
                window->OnCommand(cmd::kBackTransparent);
            QVERIFY2((BackgroundPixel(*window).alpha() == 0) == transparent, row);
            AnswerModal<QColorDialog>([accept = accept](QColorDialog* dialog) {
                dialog->setCurrentColor(QColor(10, 200, 30));
                accept ? dialog->accept() : dialog->reject();
            });
            window->OnCommand(cmd::kBackColor);
            const QColor back = accept ? QColor(10, 200, 30) : QColor(1, 2, 3);
            QVERIFY2(BackgroundPixel(*window) == back && Rgb(ReadBackgroundColor()) == back, row);
            QTimer* hover = Timer(*window, "hoverTimer");
            const auto expectShown = [&](bool shown) {
                const bool keyed = transparent && !shown;
                QVERIFY2(BackgroundPixel(*window) == (keyed ? QColor(Qt::transparent) : back), row);
                QVERIFY2(SameOpacity(window->windowOpacity(), keyed ? 255 : 180), row);
            };
            SendLeave(window.get());
            expectShown(false);
            QMouseEvent move(QEvent::MouseMove, QPointF(30, 30), window->mapToGlobal(QPointF(30, 30)),
                             Qt::NoButton, Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(window.get(), &move);
            QVERIFY2(hover->isActive(), row); // hover needs the mouse to rest first
            expectShown(false);
            QMetaObject::invokeMethod(hover, "timeout");
            expectShown(transparent);
            SendLeave(window.get());
            QVERIFY2(!hover->isActive(), row);
            expectShown(false);
            // Hover never switches transparency; a live opacity ends it and stores nothing.
            QVERIFY2(window->CurrentMenuState().backTransparent == transparent, row);
            window->SetAlphaLive(0);
            QVERIFY2(!window->CurrentMenuState().backTransparent && SameOpacity(window->windowOpacity(), 0) &&
                         BackgroundPixel(*window) == back && testdata::ReadFile(ini) == stored,
                     row);
        }
    }

    // The checkpoint writes what was shown and the study goes on; an orderly end (SIGTERM, or
    // the exit command from the menu) writes the later views without counting the earlier ones twice.
    void saveRequestWritesShownViewsOnceAndStudyGoesOn() {
        for (const bool exitCommand : {false, true}) {
            QVERIFY(Start());
            ViewCounter counter;
            window->AddStudyObserver(&counter);
            const auto showAndSave = [&](int words, const std::function<void()>& save) {
                for (int i = 0; i < words; ++i) {
                    QMetaObject::invokeMethod(Timer(*window, "wordTimer"), "timeout");
                    QMetaObject::invokeMethod(Timer(*window, "meaningTimer"), "timeout");
                }
                save();
                for (int index = 1; index <= 6; ++index)
                    QCOMPARE(fixture::Counters(cet4, "cet4", index).value_or(qMakePair(-1, -1)).first,
                             counter.views.value(index));
            };
            showAndSave(4, [&] { window->SaveCheckpoint(); });
            const qint64 atCheckpoint = counter.total;
            QVERIFY(atCheckpoint > 0 && Timer(*window, "wordTimer")->isActive());
            showAndSave(8, [&] { // the study went on after the checkpoint
                exitCommand ? window->OnCommand(cmd::kExit) : window->SaveOnShutdown();
            });
            QVERIFY(counter.total > atCheckpoint);
            window->RemoveStudyObserver(&counter);
        }
    }

    void defaultPlaceAndKeepInsideTheScreenThatHoldsMost() {
        // A primary screen right of another one, and lower.
        QCOMPARE(DefaultWindowPosition(QRect(1280, 100, 1000, 700)), QPoint(1280 + 300, 100 + 9));
        QCOMPARE(DefaultWindowPosition(QRect(0, 0, 1920, 1080)), QPoint(576, 12));
        const QRect primary(0, 0, 1920, 1050), second(1920, 0, 2560, 1440);
        const QSize size(540, 109);
        for (const auto& [row, at, areas, expected] :
             {std::tuple{"beyond a smaller screen", QPoint(2500, 1300), QList{primary}, QPoint(1380, 941)},
              {"negative", QPoint(-300, -50), QList{primary}, QPoint(0, 0)},
              {"on the second screen", QPoint(2500, 1300), QList{primary, second}, QPoint(2500, 1300)},
              {"mostly on the second", QPoint(1700, 100), QList{primary, second}, QPoint(1920, 100)},
              {"mostly on the first", QPoint(1500, 1000), QList{primary, second}, QPoint(1380, 941)},
              {"on no screen: the primary", QPoint(9000, 9000), QList{primary, second}, QPoint(1380, 941)}}) {
            QVERIFY2(KeepInside(QRect(at, size), areas) == expected, row);
        }
        QCOMPARE(KeepInside(QRect(100, 100, 2000, 1200), {primary}), QPoint(0, 0)); // larger than the screen
    }

    // A stored place the screen cannot show is corrected but stays stored; a click moves
    // nothing; a drag past the drag distance moves the window, and that place is stored.
    void windowStaysOnScreenAndStoresOnlyTheUsersPlace() {
        const int far = QApplication::startDragDistance() + 5, near = QApplication::startDragDistance() - 1;
        for (const auto& [row, left, top, moveBy, dragged] :
             {std::tuple{"far right and low, clicked", 2500, 1300, QPoint(), false},
              {"negative, a small jiggle", -300, -50, QPoint(near, 0), false},
              {"far right and low, dragged", 2500, 1300, QPoint(-far, -far), true}}) {
            QVERIFY2(Start("[FloatWindow]\nFloatWindowLeft=" + QByteArray::number(left) +
                           "\nFloatWindowTop=" + QByteArray::number(top) + "\n"),
                     row);
            const QRect area = window->screen()->availableGeometry();
            QVERIFY2(area.contains(window->geometry()), row);
            const QPoint placed = window->pos(), from = window->mapToGlobal(QPoint(30, 30));
            QTest::mousePress(window.get(), Qt::LeftButton, {}, QPoint(30, 30));
            for (const QPoint& to : {from + moveBy / 2, from + moveBy})
                QTest::mouseMove(window.get(), window->mapFromGlobal(to));
            QTest::mouseRelease(window.get(), Qt::LeftButton, {}, window->mapFromGlobal(from + moveBy));
            QVERIFY2(window->pos() == (dragged ? placed + moveBy : placed), row);
            window->SaveOnShutdown();
            const auto stored = [](const char* key) {
                return static_cast<int32_t>(ReadProfileInt(keys::kFloatWindow, key, 0));
            };
            QVERIFY2(QPoint(stored(keys::kFloatWindowLeft), stored(keys::kFloatWindowTop)) ==
                         (dragged ? placed + moveBy : QPoint(left, top)),
                     row);
        }
    }

    // The font and colour dialog shows its choice at once and stores the colour. A text longer
    // than the window grows it downwards, at the bottom of the screen up as well, and the next
    // short text brings it back to its size and place; a text even the screen cannot hold is
    // made smaller.
    void fontDialogAndWholeTextShows() {
        for (const auto& [row, accept, chooseColour, pointSize, atBottom, colour] :
             {std::tuple{"cancelled", false, false, 0, false, QColor(250, 200, 0)},
              {"colour untouched is black", true, false, 24, false, QColor(0, 0, 0)},
              {"colour chosen, at the bottom", true, true, 24, true, QColor(1, 2, 3)},
              {"80 points", true, true, 80, false, QColor(1, 2, 3)}}) {
            QVERIFY2(Start("[FloatWindow]\nTextR=250\nTextG=200\nTextB=0\n"), row);
            const QRect area = window->screen()->availableGeometry();
            if (atBottom)
                window->move(window->x(), area.bottom() + 1 - window->height());
            const QSize size = window->size();
            const QPoint place = window->pos();
            const QFont before = WordLabel(*window)->font();
            auto chosen = std::make_shared<QFont>(before);
            AnswerModal<CFontColorDialog>([accept = accept, chooseColour = chooseColour,
                                           pointSize = pointSize, chosen](CFontColorDialog* dialog) {
                if (!accept)
                    return dialog->reject();
                if (chooseColour)
                    dialog->SetColor(QColor(1, 2, 3));
                // Any installed face but the current one.
                const QStringList families = QFontDatabase::families();
                if (auto* fonts = dialog->findChild<QFontDialog*>())
                    fonts->setCurrentFont(
                        QFont(families.value(families.value(0) == fonts->currentFont().family()), pointSize));
                *chosen = dialog->SelectedFont();
                dialog->accept();
            });
            window->OnCommand(cmd::kTextColor);
            const QFont font = WordLabel(*window)->font();
            const QFont expected = accept ? *chosen : before; // at 80 points, smaller where the text needs it
            QVERIFY2(Rgb(ReadTextColor()) == colour &&
                         WordLabel(*window)->palette().color(QPalette::WindowText) == colour &&
                         (font == expected || (pointSize == 80 && font.family() == expected.family())) &&
                         (font.family() != before.family()) == accept,
                     row);
            window->ShowWordText(kLongText);
            QVERIFY2(WholeTextShows(WordLabel(*window)), row);
            QVERIFY2(window->height() > size.height() && area.contains(window->geometry()), row);
            QVERIFY2((WordLabel(*window)->font() != font) == (pointSize == 80), row); // made smaller
            window->ShowWordText(QStringLiteral("fair")); // at 80 points even that needs more room
            QVERIFY2(pointSize == 80 || (window->size() == size && window->pos() == place &&
                                         WordLabel(*window)->font() == font),
                     row);
        }
    }

    // A mark is confirmed in the window; Ctrl+Z takes it back as "撤销" does, which the
    // menu offers only while there is a mark to take back.
    void markIsConfirmedAndCtrlZTakesItBack() {
        QVERIFY(Start());
        QMetaObject::invokeMethod(Timer(*window, "wordTimer"), "timeout");
        const QString word = WordLabel(*window)->text();
        auto* note = window->findChild<QLabel*>(QStringLiteral("noteLabel"));
        QVERIFY(note && !note->isVisible() && !window->CurrentMenuState().canUndo);
        for (const auto& [row, key, modifiers, text, canUndo] :
             {std::tuple{"Delete marks", Qt::Key_Delete, Qt::NoModifier, "已记住：", true},
              {"Ctrl+Z takes back", Qt::Key_Z, Qt::ControlModifier, "已撤销：", false}}) {
            QTest::keyClick(window.get(), key, modifiers);
            QVERIFY2(note->isVisible() && note->text() == QString::fromUtf8(text) + word, row);
            QVERIFY2(window->CurrentMenuState().canUndo == canUndo, row);
            QMetaObject::invokeMethod(Timer(*window, "noteTimer"), "timeout");
            QVERIFY2(!note->isVisible(), row);
        }
        QCOMPARE(WordLabel(*window)->text(), word); // the word taken back is on show again
    }

    // Whatever the system's language: the test runs with the C locale.
    void qtOwnTextsAreChinese() {
        QVERIFY(InstallQtTranslations());
        QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        QCOMPARE(buttons.button(QDialogButtonBox::Ok)->text(), QStringLiteral("确定"));
        QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("取消"));
    }
};

QTEST_MAIN(TestFloatWindow)
#include "test_floatwindow.moc"
