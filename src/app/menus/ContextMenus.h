#pragma once

#include <QString>
#include <functional>
#include <optional>

class QAction;
class QMenu;
class QWidget;

namespace mnemora {

// The float-window members the check marks are computed from.
struct MenuState {
    bool floatVisible = true;
    bool autoPlay = true;
    bool showSentence = true;
    bool backTransparent = false;
    bool topMost = true;
    // Empty while the word can be spoken; else why not, and "朗读单词" is disabled.
    QString speechProblem;
    // A mark of "我认识这个词" can be taken back; else "撤销" is disabled.
    bool canUndo = false;
};

// The check-mark rule of a command: checked or not in state, or nothing for a command
// without a rule (it stays unchecked). Only "朗读单词" (speech is off) and "撤销" (nothing
// to take back) are ever disabled.
std::optional<bool> CheckRule(int commandId, const MenuState& state);

// The popup of the float window; its entries show the keys that do the same on the window.
// Without a tray the statistics command has no other
// home, so withStatistics adds "学习状态" in a group of its own before "关于(&A)".
QMenu* BuildFloatMenu(bool withStatistics, QWidget* parent = nullptr);
// The popup of the tray icon.
QMenu* BuildTrayMenu(QWidget* parent = nullptr);

// The command id an action carries; 0 for separators and submenu entries.
int CommandId(const QAction* action);
// The first action of menu or its submenus that carries commandId, or nullptr.
QAction* FindCommand(const QMenu* menu, int commandId);

// Sets the check mark of every command in menu and its submenus from state.
void ApplyCheckMarks(QMenu* menu, const MenuState& state);

// Wires a built menu: its check marks are recomputed from state() each time it or one of
// its submenus is about to open, and a chosen command is reported to onCommand.
void ConnectMenu(QMenu* menu, std::function<MenuState()> state, std::function<void(int)> onCommand);

} // namespace mnemora
