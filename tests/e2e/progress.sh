#!/usr/bin/env bash
# The progress window of the real program under Xvfb: opened from the float menu on a list
# with progress, it shows its title and a drawn picture, closes, and the study goes on.
#   progress.sh MNEMORA_BINARY E2E_LIST_BINARY      (E2E_SHOTS=DIR keeps screenshots)
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"

start_x || exit 1
make_app '[Word]\nWordElapse=60\nWordDelayChnTime=1\n' || exit 1
# The window is a module loaded from beside the program.
cp "$(dirname "$prog")/libmnemora-progress.so" "$app/" || exit 1
# Row i (from 0) shown i % 9 times, due in run i % 30.
rm "$app/db/cet4.dat" && "$list" create "$app/db/cet4.dat" cet4 60 &&
    "$list" sql "$app/db/cet4.dat" 'UPDATE cet4 SET showTimes = ("index" - 1) % 9, toShowTime = ("index" - 1) % 30' || exit 1

check "the float window appears" run_traced
popup_menu '悬浮窗右键菜单(&R)' 600 40
xdotool key Up Up Up Up Return # from the bottom: 退出, 关于, 学习状态, 学习进度
check "学习进度 opens the window with its title" wait_for 10 visible_window 学习进度
progress=$(visible_window 学习进度)
sleep 0.3 # let the chart finish its first paint
shot "$progress" "$work/progress.png"
keep_shot progress
# A blank window is one colour; a drawn one has text, bars and calendar cells.
check "the window is drawn" test "$(convert "$work/progress.png" -format '%k' info: 2>/dev/null)" -gt 20
check "the window is of its default size" eval 'xwininfo -id "$progress" | grep -q "Width: 700"'
xdotool windowclose "$progress" 2>/dev/null || xdotool key --window "$progress" alt+F4
check "the window closes" wait_for 5 not visible_window 学习进度
check "the program goes on" not ended "$program"
check "the float window is still there" float_window >/dev/null
finish
