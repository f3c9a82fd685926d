#include "app/menus/ContextMenus.h"

#include "app/menus/MenuCommands.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QStyle>
#include <utility>

namespace mnemora {
namespace {

QAction* AddCommand(QMenu* menu, int commandId, const QString& text) {
    QAction* action = menu->addAction(text);
    action->setData(commandId);
    action->setCheckable(CheckRule(commandId, MenuState{}).has_value());
    return action;
}

// Shows key beside the entry, as the key the window answers; it acts only while the menu
// itself has the keyboard.
void ShowKey(QAction* action, const QKeySequence& key) {
    action->setShortcut(key);
    action->setShortcutContext(Qt::WidgetShortcut);
}

void AddPlaybackMenu(QMenu* menu) {
    QMenu* playback = menu->addMenu(QStringLiteral("播放模式(&P)"));
    AddCommand(playback, cmd::kAutoPlay, QStringLiteral("自动播放"));
    // The arrow keys move and close menus, so they cannot stand beside the entry as its keys.
    AddCommand(playback, cmd::kManualPlay, QStringLiteral("手动播放"))
        ->setToolTip(QStringLiteral("用方向键换词：→ 或 ↓ 下一个，← 或 ↑ 上一个"));
    playback->setToolTipsVisible(true);
}

void AddAppearanceMenu(QMenu* menu, bool separateSentences) {
    QMenu* appearance = menu->addMenu(QStringLiteral("外观设置(&O)"));
    AddCommand(appearance, cmd::kShowSentence, QStringLiteral("显示例句"));
    if (separateSentences)
        appearance->addSeparator();
    AddCommand(appearance, cmd::kTextColor, QStringLiteral("字体颜色"));
    AddCommand(appearance, cmd::kBackColor, QStringLiteral("背景颜色"));
    AddCommand(appearance, cmd::kBackTransparent, QStringLiteral("背景透明"));
}

void ApplySpeechState(QAction* action, const MenuState& state) {
    const bool off = !state.speechProblem.isEmpty();
    action->setEnabled(!off);
    action->setText(off ? QStringLiteral("朗读单词（无法朗读）") : QStringLiteral("朗读单词"));
    action->setToolTip(off ? QStringLiteral("无法朗读：") + state.speechProblem : QString());
}

} // namespace

std::optional<bool> CheckRule(int commandId, const MenuState& state) {
    switch (commandId) {
    case cmd::kFloatWindow:
        return state.floatVisible;
    case cmd::kAutoPlay:
        return state.autoPlay;
    case cmd::kManualPlay:
        return !state.autoPlay;
    case cmd::kShowSentence:
        return state.showSentence;
    case cmd::kBackTransparent:
        return state.backTransparent;
    case cmd::kTopMost:
        return state.topMost;
    default:
        return std::nullopt;
    }
}

QMenu* BuildFloatMenu(bool withStatistics, QWidget* parent) {
    auto* menu = new QMenu(QStringLiteral("悬浮窗右键菜单(&R)"), parent);
    AddCommand(menu, cmd::kFloatWindow, QStringLiteral("悬浮窗(&F)"));
    AddCommand(menu, cmd::kOptions, QStringLiteral("选项设置(&S)"));
    AddPlaybackMenu(menu);
    AddAppearanceMenu(menu, true);
    AddCommand(menu, cmd::kTopMost, QStringLiteral("窗口总在最前端(&T)"));
    ShowKey(AddCommand(menu, cmd::kSpeakWord, QStringLiteral("朗读单词")), Qt::Key_Space);
    menu->setToolTipsVisible(true); // the reason a disabled "朗读单词" gives
    menu->addSeparator();
    ShowKey(AddCommand(menu, cmd::kKnowWord, QStringLiteral("我认识这个词")), Qt::Key_Delete);
    ShowKey(AddCommand(menu, cmd::kUndoKnowWord, QStringLiteral("撤销")), QKeySequence::Undo);
    AddCommand(menu, cmd::kProgress, QStringLiteral("学习进度"));
    menu->addSeparator();
    if (withStatistics) {
        AddCommand(menu, cmd::kLearningStats, QStringLiteral("学习状态"));
        menu->addSeparator();
    }
    AddCommand(menu, cmd::kAbout, QStringLiteral("关于(&A)"));
    AddCommand(menu, cmd::kExit, QStringLiteral("退出(&Q)"));
    return menu;
}

QMenu* BuildTrayMenu(QWidget* parent) {
    auto* menu = new QMenu(QStringLiteral("托盘右键菜单"), parent);
    AddCommand(menu, cmd::kFloatWindow, QStringLiteral("悬浮窗(&F)"));
    AddAppearanceMenu(menu, false);
    AddCommand(menu, cmd::kOptions, QStringLiteral("选项设置(&S)"));
    menu->addSeparator();
    AddCommand(menu, cmd::kLearningStats, QStringLiteral("学习状态"));
    AddCommand(menu, cmd::kProgress, QStringLiteral("学习进度"));
    menu->addSeparator();
    QAction* about = AddCommand(menu, cmd::kAbout, QStringLiteral("关于(&A)"));
    // The tray menu is the one whose About entry carries the question-mark image.
    about->setIcon(menu->style()->standardIcon(QStyle::SP_MessageBoxQuestion));
    AddCommand(menu, cmd::kExit, QStringLiteral("退出(&Q)"));
    return menu;
}

int CommandId(const QAction* action) {
    if (action == nullptr || action->isSeparator() || action->menu() != nullptr)
        return 0;
    return action->data().toInt();
}

QAction* FindCommand(const QMenu* menu, int commandId) {
    for (QAction* action : menu->actions()) {
        if (CommandId(action) == commandId)
            return action;
        if (const QMenu* sub = action->menu()) {
            if (QAction* found = FindCommand(sub, commandId))
                return found;
        }
    }
    return nullptr;
}

void ApplyCheckMarks(QMenu* menu, const MenuState& state) {
    for (QAction* action : menu->actions()) {
        if (QMenu* sub = action->menu()) {
            ApplyCheckMarks(sub, state);
            continue;
        }
        const int id = CommandId(action);
        if (id == 0)
            continue;
        const std::optional<bool> checked = CheckRule(id, state);
        action->setChecked(checked.value_or(false));
        action->setEnabled(true);
        if (id == cmd::kSpeakWord)
            ApplySpeechState(action, state);
        else if (id == cmd::kUndoKnowWord)
            action->setEnabled(state.canUndo);
    }
}

void ConnectMenu(QMenu* menu, std::function<MenuState()> state, std::function<void(int)> onCommand) {
    auto refresh = [state = std::move(state)](QMenu* popup) { ApplyCheckMarks(popup, state()); };
    QObject::connect(menu, &QMenu::aboutToShow, menu, [menu, refresh] { refresh(menu); });
    for (QAction* action : menu->actions()) {
        if (QMenu* sub = action->menu())
            QObject::connect(sub, &QMenu::aboutToShow, sub, [sub, refresh] { refresh(sub); });
    }
    // A top-level menu reports the commands of its submenus as well.
    QObject::connect(menu, &QMenu::triggered, menu, [onCommand = std::move(onCommand)](QAction* action) {
        if (const int id = CommandId(action))
            onCommand(id);
    });
}

} // namespace mnemora
