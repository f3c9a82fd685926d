#!/usr/bin/env bash
# The float window under openbox, checked from outside: a stored place beyond the screen is
# brought wholly onto it without being stored, a quick click neither moves the window nor
# takes the keys from it, and a drag moves it and is stored.
#   window_place.sh MNEMORA_BINARY HELPER_DIR
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"

start_x || exit 1
openbox >"$work/openbox.log" 2>&1 &
pids+=($!)
wait_for 10 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q window' || { echo "openbox did not start"; exit 1; }
# One word an hour: nothing but the test moves or changes the window.
make_app '[FloatWindow]\nFloatWindowLeft=2500\nFloatWindowTop=1300\n[Word]\nWordElapse=3600\n' || exit 1

stored() { echo "$(ini_value "$ini" FloatWindowLeft) $(ini_value "$ini" FloatWindowTop)"; }
on_screen() { # the whole window inside the 1280×800 screen
    local x y
    read -r x y <<<"$(window_pos "$win")"
    [ "$x" -ge 0 ] && [ "$y" -ge 0 ] && [ $((x + 540)) -le 1280 ] && [ $((y + 109)) -le 800 ]
}
end_program() { kill -TERM "$program"; wait_for 10 ended "$program"; }

check "window appears" start_program
win=$(float_window)
check "a place beyond the screen is brought wholly onto it" on_screen
read -r x y <<<"$(window_pos "$win")"
before="$x $y"
# xdotool's click is instant: press and release before the window manager could grab.
xdotool mousemove $((x + 100)) $((y + 40)) click 1
sleep 0.5
xdotool mousemove $((x + 300)) $((y - 200))
sleep 0.5
check "a click does not start a move" test "$(window_pos "$win")" = "$before"
active_is_window() { [ "$(xdotool getactivewindow 2>/dev/null)" = "$win" ]; }
check "a click gives the window the keyboard" wait_for 3 active_is_window
# A move in progress would take the arrow keys and move the window by them.
xdotool key Left Up
sleep 0.5
check "the keys reach the window, not a move" test "$(window_pos "$win")" = "$before"
end_program
check "the corrected place is not stored" test "$(stored)" = "2500 1300"

check "window appears again" start_program
win=$(float_window)
read -r x y <<<"$(window_pos "$win")"
xdotool mousemove $((x + 100)) $((y + 40)) mousedown 1
for step in 1 2 3 4 5; do sleep 0.1; xdotool mousemove $((x + 100 - step * 10)) $((y + 40 - step * 10)); done
sleep 0.2
xdotool mouseup 1
moved() { [ "$(window_pos "$win")" = "$((x - 50)) $((y - 50))" ]; }
check "a drag moves the window" wait_for 3 moved
end_program
check "the place the user dragged to is stored" test "$(stored)" = "$((x - 50)) $((y - 50))"

finish
