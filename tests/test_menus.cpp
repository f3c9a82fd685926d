// The two context menus: entries, order, separators, ids and texts; the check-mark rules
// applied each time a menu opens; and command routing from submenus.
#include "app/menus/ContextMenus.h"
#include "app/menus/MenuCommands.h"

#include <QAction>
#include <QMenu>
#include <QTest>
#include <memory>

using namespace mnemora;

Q_DECLARE_METATYPE(mnemora::MenuState)

namespace {

// "id text" per entry ("[x]" when checkable), "-" for a separator, "title{...}" for a
// submenu, joined by " | ".
QString Outline(const QMenu* menu) {
    QStringList entries;
    for (const QAction* action : menu->actions()) {
        if (action->isSeparator())
            entries << QStringLiteral("-");
        else if (const QMenu* sub = action->menu())
            entries << sub->title() + u'{' + Outline(sub) + u'}';
        else
            entries << QString::number(CommandId(action)) + u' ' + action->text() +
                           (action->isCheckable() ? QStringLiteral("[x]") : QString()) +
                           (action->isEnabled() ? QString() : QStringLiteral(" (disabled)"));
    }
    return entries.join(QStringLiteral(" | "));
}

QMenu* Submenu(const QMenu* menu, const QString& title) {
    for (const QAction* action : menu->actions()) {
        if (action->menu() != nullptr && action->menu()->title() == title)
            return action->menu();
    }
    return nullptr;
}

QList<int> CheckedIds(const QMenu* menu) {
    QList<int> ids;
    for (const QAction* action : menu->actions()) {
        if (const QMenu* sub = action->menu())
            ids << CheckedIds(sub);
        else if (action->isChecked())
            ids << CommandId(action);
    }
    std::sort(ids.begin(), ids.end());
    return ids;
}

const QString kFloatHead = QStringLiteral(
    "32772 悬浮窗(&F)[x] | 32773 选项设置(&S) | 播放模式(&P){32801 自动播放[x] | 32802 手动播放[x]} | "
    "外观设置(&O){32804 显示例句[x] | - | 32792 字体颜色 | 32795 背景颜色 | 32806 背景透明[x]} | "
    "32787 窗口总在最前端(&T)[x] | 32807 朗读单词 | - | 32808 我认识这个词 | 32809 撤销 | 32810 学习进度 | - | ");
const QString kTail = QStringLiteral("32777 关于(&A) | 32775 退出(&Q)");

} // namespace

class TestMenus : public QObject {
    Q_OBJECT

private slots:
    // Speech that cannot work disables "朗读单词" and says why; once it can, the entry is back.
    void speakWordShowsWhyItIsOff() {
        std::unique_ptr<QMenu> menu(BuildFloatMenu(false));
        QAction* speak = FindCommand(menu.get(), cmd::kSpeakWord);
        QVERIFY(speak != nullptr);
        MenuState state;
        state.speechProblem = QStringLiteral("没有朗读模块");
        ApplyCheckMarks(menu.get(), state);
        QVERIFY(!speak->isEnabled());
        QCOMPARE(speak->text(), QStringLiteral("朗读单词（无法朗读）"));
        QCOMPARE(speak->toolTip(), QStringLiteral("无法朗读：没有朗读模块"));
        ApplyCheckMarks(menu.get(), MenuState{});
        QVERIFY(speak->isEnabled());
        QCOMPARE(speak->text(), QStringLiteral("朗读单词"));
    }
    void layout_data() {
        QTest::addColumn<int>("which");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("outline");
        QTest::newRow("float window") << 0 << "悬浮窗右键菜单(&R)" << kFloatHead + kTail;
        QTest::newRow("float window without tray")
            << 1 << "悬浮窗右键菜单(&R)" << kFloatHead + "32797 学习状态 | - | " + kTail;
        QTest::newRow("tray")
            << 2 << "托盘右键菜单"
            << "32772 悬浮窗(&F)[x] | 外观设置(&O){32804 显示例句[x] | 32792 字体颜色 | "
               "32795 背景颜色 | 32806 背景透明[x]} | 32773 选项设置(&S) | - | 32797 学习状态 | 32810 学习进度 | - | " +
                   kTail;
    }
    void layout() {
        QFETCH(int, which);
        QFETCH(QString, title);
        QFETCH(QString, outline);
        std::unique_ptr<QMenu> menu(which == 2 ? BuildTrayMenu() : BuildFloatMenu(which == 1));
        QCOMPARE(menu->title(), title);
        QCOMPARE(Outline(menu.get()), outline);
    }

    void checkMarks_data() {
        QTest::addColumn<MenuState>("state");
        QTest::addColumn<QList<int>>("floatChecked");
        QTest::addColumn<QList<int>>("trayChecked");
        QTest::newRow("start-up state") << MenuState{true, true, true, false, true, {}}
                                        << QList<int>{32772, 32787, 32801, 32804} << QList<int>{32772, 32804};
        QTest::newRow("all off") << MenuState{false, false, false, false, false, {}} << QList<int>{32802}
                                 << QList<int>{};
        QTest::newRow("hidden, manual, transparent")
            << MenuState{false, false, true, true, false, {}} << QList<int>{32802, 32804, 32806}
            << QList<int>{32804, 32806};
    }
    void checkMarks() {
        QFETCH(MenuState, state);
        QFETCH(QList<int>, floatChecked);
        QFETCH(QList<int>, trayChecked);
        std::unique_ptr<QMenu> floatMenu(BuildFloatMenu(true));
        std::unique_ptr<QMenu> trayMenu(BuildTrayMenu());
        // Start from the opposite marks, so every rule has to set or clear its own.
        const MenuState inverse{!state.floatVisible, !state.autoPlay, !state.showSentence,
                                !state.backTransparent, !state.topMost, {}};
        ApplyCheckMarks(floatMenu.get(), inverse);
        ApplyCheckMarks(floatMenu.get(), state);
        ApplyCheckMarks(trayMenu.get(), state);
        QCOMPARE(CheckedIds(floatMenu.get()), floatChecked);
        QCOMPARE(CheckedIds(trayMenu.get()), trayChecked);
        QVERIFY(FindCommand(floatMenu.get(), cmd::kAutoPlay)->isChecked() !=
                FindCommand(floatMenu.get(), cmd::kManualPlay)->isChecked());
    }

    void marksFollowStateEachTimeAMenuOpens() {
        MenuState state;
        QList<int> commands;
        std::unique_ptr<QMenu> menu(BuildFloatMenu(false));
        ConnectMenu(
            menu.get(), [&state] { return state; }, [&commands](int id) { commands << id; });

        // A chosen checkable entry flips its own mark; the next opening must restore the rule.
        FindCommand(menu.get(), cmd::kTopMost)->trigger();
        state.autoPlay = false;
        menu->popup(QPoint(10, 10));
        QVERIFY(FindCommand(menu.get(), cmd::kTopMost)->isChecked());
        QVERIFY(FindCommand(menu.get(), cmd::kManualPlay)->isChecked());
        QVERIFY(!FindCommand(menu.get(), cmd::kAutoPlay)->isChecked());
        menu->hide();

        state.showSentence = false;
        QMenu* appearance = Submenu(menu.get(), QStringLiteral("外观设置(&O)"));
        QVERIFY(appearance != nullptr);
        emit appearance->aboutToShow();
        QVERIFY(!FindCommand(menu.get(), cmd::kShowSentence)->isChecked());

        // A command chosen in a submenu reaches the handler once, with its id.
        FindCommand(menu.get(), cmd::kBackColor)->trigger();
        QCOMPARE(commands, (QList<int>{cmd::kTopMost, cmd::kBackColor}));
    }
};

QTEST_MAIN(TestMenus)
#include "test_menus.moc"
