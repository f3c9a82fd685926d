// The two context menus: command ids behind the entries (titles, texts, keys, order and the
// marks on screen: tests/e2e/menus.sh), the check marks applied each time a menu opens, and
// command routing from submenus.
#include "app/menus/ContextMenus.h"
#include "app/menus/MenuCommands.h"

#include <QAction>
#include <QMenu>
#include <QTest>
#include <memory>

using namespace mnemora;

namespace {

// The command ids of the entries, 0 for a separator, "{...}" for a submenu.
QString Outline(const QMenu* menu) {
    QStringList entries;
    for (const QAction* action : menu->actions())
        entries << (action->menu() ? u'{' + Outline(action->menu()) + u'}'
                                   : QString::number(CommandId(action)));
    return entries.join(u' ');
}

} // namespace

class TestMenus : public QObject {
    Q_OBJECT

private slots:
    void layout() {
        const QString floatHead("32772 32773 {32801 32802} {32804 0 32792 32795 32806} 32787 32807 0 32808 "
                                "32809 32810 0 ");
        const QString tail("32777 32775");
        std::unique_ptr<QMenu> withTray(BuildFloatMenu(false)), withoutTray(BuildFloatMenu(true)),
            tray(BuildTrayMenu());
        QCOMPARE(Outline(withTray.get()), floatHead + tail);
        QCOMPARE(Outline(withoutTray.get()), floatHead + "32797 0 " + tail);
        QCOMPARE(Outline(tray.get()), "32772 {32804 32792 32795 32806} 32773 0 32797 32810 0 " + tail);
        QVERIFY(FindCommand(withTray.get(), cmd::kManualPlay)->toolTip().contains(QStringLiteral("→")));
    }

    void marksFollowStateEachTimeAMenuOpens() {
        MenuState state;
        QList<int> commands;
        std::unique_ptr<QMenu> menu(BuildFloatMenu(false));
        ConnectMenu(
            menu.get(), [&state] { return state; }, [&commands](int id) { commands << id; });
        // A chosen checkable entry flips its own mark; the next opening must restore the rule.
        const auto checked = [&menu](int id) { return FindCommand(menu.get(), id)->isChecked(); };
        FindCommand(menu.get(), cmd::kTopMost)->trigger();
        state.autoPlay = false;
        menu->popup(QPoint(10, 10));
        QVERIFY(checked(cmd::kTopMost) && checked(cmd::kManualPlay) && !checked(cmd::kAutoPlay));
        menu->hide();
        // A submenu opened from the open menu applies the state of that moment.
        state.showSentence = false;
        state.backTransparent = true;
        QAction* showSentence = FindCommand(menu.get(), cmd::kShowSentence);
        emit qobject_cast<QMenu*>(showSentence->parent())->aboutToShow();
        QVERIFY(!showSentence->isChecked() && checked(cmd::kBackTransparent));
        // Speech that cannot work disables "朗读单词" and says why; once it can, the entry is back.
        // "撤销" is offered only while a mark can be taken back.
        QAction* speak = FindCommand(menu.get(), cmd::kSpeakWord);
        QAction* undo = FindCommand(menu.get(), cmd::kUndoKnowWord);
        for (const bool off : {true, false}) {
            state.speechProblem = off ? QStringLiteral("没有朗读模块") : QString();
            state.canUndo = !off;
            emit menu->aboutToShow();
            QVERIFY(speak->isEnabled() != off && undo->isEnabled() != off);
            QCOMPARE(off ? speak->text() + speak->toolTip() : speak->text(),
                     off ? QStringLiteral("朗读单词（无法朗读）无法朗读：没有朗读模块")
                         : QStringLiteral("朗读单词"));
        }
        // A command chosen in a submenu reaches the handler once, with its id.
        FindCommand(menu.get(), cmd::kBackColor)->trigger();
        QCOMPARE(commands, (QList<int>{cmd::kTopMost, cmd::kBackColor}));
    }
};

QTEST_MAIN(TestMenus)
#include "test_menus.moc"
