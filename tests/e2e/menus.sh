#!/usr/bin/env bash
# Both context menus of the real program under Xvfb, driven with the mouse and the keyboard:
# entries and check marks (read from the program's UI trace), a tray that starts late,
# statistics with and without a tray, the toggles stored in the INI, About, the tray's
# double click and the exit command.
#   menus.sh MNEMORA_BINARY E2E_LIST_BINARY      (E2E_SHOTS=DIR keeps screenshots)
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"

start_x || exit 1 # no tray yet
make_app '[Word]\nWordElapse=60\nWordDelayChnTime=1\n' || exit 1 # words stay put while menus are read

check "window appears" run_traced

float_title='悬浮窗右键菜单(&R)'
float_head='悬浮窗(&F)[x] | 选项设置(&S) | 播放模式(&P){自动播放[x] | 手动播放[ ]}'
tray_title='托盘右键菜单'
stats='学习状态统计：\n所选词库共有单词数：6\n已经完全记住单词数：0\n需要继续学习单词数：6'
menu_is() { [ "$1" = "$2" ] || { echo "  got:      $1"; echo "  expected: $2"; false; }; }

# --- no tray: the float menu carries the statistics ---
popup_menu "$float_title" 600 40
keep_shot float-menu-without-tray
float_tail='外观设置(&O){显示例句[x] | - | 字体颜色 | 背景颜色 | 背景透明[ ]} | 窗口总在最前端(&T)[x] | 朗读单词 <Space> | - | 我认识这个词 <Del> | 撤销 <Ctrl+Z>(disabled) | 学习进度 | - | '
check "float menu without a tray" menu_is "$entries" "$float_head | $float_tail学习状态 | - | 关于(&A) | 退出(&Q)"
xdotool key Up Up Up Return # from the bottom: 退出, 关于, 学习状态
check "statistics from the float menu show the four-line alert" wait_for 5 traced "alert Message: $stats"
check "the alert is on screen" wait_for 5 visible_window Message

# --- a tray that starts late gets the icon, and the float menu gives up the statistics ---
start_tray
check "the icon docks in a tray started later" wait_for 10 tray_icon
read -r tray_x tray_y <<<"$(tray_icon)"
popup_menu "$float_title" 600 40
check "float menu with a tray" menu_is "$entries" "$float_head | $float_tail关于(&A) | 退出(&Q)"

# --- toggles from the float menu, by mnemonic and keys ---
trace_mark
xdotool key o # 外观设置(&O) opens with its first entry active
check "the appearance submenu opens with its marks" \
    wait_for 5 traced "menu 外观设置(&O): 显示例句[x] | - | 字体颜色 | 背景颜色 | 背景透明[ ]"
keep_shot float-menu-appearance
xdotool key Return # 显示例句
check "hiding sentences stores ShowSentence=0" wait_for 5 grep -qx ShowSentence=0 "$ini"
popup_menu "$float_title" 600 40
xdotool key t # 窗口总在最前端(&T)
check "leaving top-most stores TOPMOST=0" wait_for 5 grep -qx TOPMOST=0 "$ini"
popup_menu "$float_title" 600 40
check "float menu shows both toggles unchecked" menu_is "$entries" "$float_head | ${float_tail//\[x\]/[ ]}关于(&A) | 退出(&Q)"
xdotool key Escape

# --- the tray menu ---
popup_menu "$tray_title" "$tray_x" "$tray_y"
keep_shot tray-menu
check "tray menu" menu_is "$entries" "悬浮窗(&F)[x] | 外观设置(&O){显示例句[ ] | 字体颜色 | 背景颜色 | 背景透明[ ]} | 选项设置(&S) | - | 学习状态 | 学习进度 | - | 关于(&A) | 退出(&Q)"
xdotool key Down Down Down Down Return # 悬浮窗, 外观设置, 选项设置, 学习状态
check "statistics from the tray menu show the four-line alert" wait_for 5 traced "alert Message: $stats"
keep_shot statistics-alert

popup_menu "$tray_title" "$tray_x" "$tray_y"
xdotool key f # 悬浮窗(&F): hide
check "the tray menu hides the float window" wait_for 5 not float_window
popup_menu "$tray_title" "$tray_x" "$tray_y"
keep_shot tray-menu-hidden
check "the tray menu shows the window unchecked" grep -q '^悬浮窗(&F)\[ \] | ' <<<"$entries"
xdotool key Escape
xdotool mousemove "$tray_x" "$tray_y" click --repeat 2 --delay 100 1
check "a double click on the icon shows the float window" wait_for 5 float_window

# --- About ---
popup_menu "$float_title" 600 40
xdotool key a
check "About opens from the float menu" wait_for 5 visible_window 'About Mnemora'
check "About is traced" traced "dialog About Mnemora"
keep_shot about
xdotool key Return
check "About closes with Return" wait_for 5 not visible_window 'About Mnemora'

# --- exit ---
popup_menu "$float_title" 600 40
xdotool key q
check "the exit command ends the program" wait_for 10 not kill -0 "$program"
check "the exit command stores the position" test "$(ini_value "$ini" FloatWindowLeft)" = 384

finish
