// The two context menus: command ids behind the entries (texts, order and marks on screen:
// tests/e2e/menus.sh), the check-mark rules applied each time a menu opens, and command
// routing from submenus.
#include "app/menus/ContextMenus.h"
#include "app/menus/MenuCommands.h"

#include <QAction>
#include <QMenu>
#include <QTest>
#include <memory>

using namespace mnemora;

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
                           (action->isCheckable() ? QStringLiteral("[x]") : QString());
    }
    return entries.join(QStringLiteral(" | "));
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

} // namespace

class TestMenus : public QObject {
    Q_OBJECT

private slots:
    void layout() {
        const QString floatHead = QStringLiteral(
            "32772 悬浮窗(&F)[x] | 32773 选项设置(&S) | 播放模式(&P){32801 自动播放[x] | 32802 手动播放[x]} "
            "| "
            "外观设置(&O){32804 显示例句[x] | - | 32792 字体颜色 | 32795 背景颜色 | 32806 背景透明[x]} | "
            "32787 窗口总在最前端(&T)[x] | 32807 朗读单词 | - | 32808 我认识这个词 | 32809 撤销 | 32810 "
            "学习进度 | - | ");
        const QString tail = QStringLiteral("32777 关于(&A) | 32775 退出(&Q)");
        std::unique_ptr<QMenu> withTray(BuildFloatMenu(false)), withoutTray(BuildFloatMenu(true));
        std::unique_ptr<QMenu> tray(BuildTrayMenu());
        QCOMPARE(withTray->title(), QStringLiteral("悬浮窗右键菜单(&R)"));
        QCOMPARE(Outline(withTray.get()), floatHead + tail);
        QCOMPARE(Outline(withoutTray.get()), floatHead + "32797 学习状态 | - | " + tail);
        QCOMPARE(tray->title(), QStringLiteral("托盘右键菜单"));
        QCOMPARE(Outline(tray.get()),
                 "32772 悬浮窗(&F)[x] | 外观设置(&O){32804 显示例句[x] | 32792 字体颜色 | "
                 "32795 背景颜色 | 32806 背景透明[x]} | 32773 选项设置(&S) | - | "
                 "32797 学习状态 | 32810 学习进度 | - | " +
                     tail);
    }

    // States: start-up, all off, hidden + manual + transparent; checked ids of both menus.
    void checkMarks() {
        const struct {
            MenuState state;
            QList<int> floatChecked, trayChecked;
        } rows[] = {{{true, true, true, false, true, {}}, {32772, 32787, 32801, 32804}, {32772, 32804}},
                    {{false, false, false, false, false, {}}, {32802}, {}},
                    {{false, false, true, true, false, {}}, {32802, 32804, 32806}, {32804, 32806}}};
        for (const auto& [state, floatChecked, trayChecked] : rows) {
            std::unique_ptr<QMenu> floatMenu(BuildFloatMenu(true)), trayMenu(BuildTrayMenu());
            // Start from the opposite marks, so every rule has to set or clear its own.
            ApplyCheckMarks(floatMenu.get(), {!state.floatVisible,
                                              !state.autoPlay,
                                              !state.showSentence,
                                              !state.backTransparent,
                                              !state.topMost,
                                              {}});
            ApplyCheckMarks(floatMenu.get(), state);
            ApplyCheckMarks(trayMenu.get(), state);
            QCOMPARE(CheckedIds(floatMenu.get()), floatChecked);
            QCOMPARE(CheckedIds(trayMenu.get()), trayChecked);
        }
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
        // A submenu opened from the open menu applies the state of that moment.
        state.showSentence = false;
        QAction* showSentence = FindCommand(menu.get(), cmd::kShowSentence);
        emit qobject_cast<QMenu*>(showSentence->parent())->aboutToShow();
        QVERIFY(!showSentence->isChecked());
        // Speech that cannot work disables "朗读单词" and says why; once it can, the entry is back.
        QAction* speak = FindCommand(menu.get(), cmd::kSpeakWord);
        state.speechProblem = QStringLiteral("没有朗读模块");
        emit menu->aboutToShow();
        QVERIFY(!speak->isEnabled());
        QCOMPARE(speak->text(), QStringLiteral("朗读单词（无法朗读）"));
        QCOMPARE(speak->toolTip(), QStringLiteral("无法朗读：没有朗读模块"));
        state.speechProblem.clear();
        emit menu->aboutToShow();
        QVERIFY(speak->isEnabled());
        QCOMPARE(speak->text(), QStringLiteral("朗读单词"));
        // A command chosen in a submenu reaches the handler once, with its id.
        FindCommand(menu.get(), cmd::kBackColor)->trigger();
        QCOMPARE(commands, (QList<int>{cmd::kTopMost, cmd::kBackColor}));
    }
};

QTEST_MAIN(TestMenus)
#include "test_menus.moc"
