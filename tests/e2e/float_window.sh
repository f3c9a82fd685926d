#!/usr/bin/env bash
# The real program under Xvfb, checked from outside: start-up writes, window size and
# states, background and text pixels, dragging, SIGTERM saving.
#   float_window.sh MNEMORA_BINARY HELPER_DIR
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"

start_x || exit 1
# A word every 2 s, its meaning 1 s later, so the first word arrives quickly.
make_app '[Word]\nWordElapse=2\nWordDelayChnTime=1\n' || exit 1

# --- first start ---
check "window appears" start_program
win=$(float_window)
check "first start writes the version keys and RunTimes" \
    test "$(ini_value "$ini" Mnemora)/$(ini_value "$ini" Dictionary)/$(ini_value "$ini" RunTimes)" = "101/9/1"
check "first start registers autostart" grep -qx "Exec=$app/mnemora" "$XDG_CONFIG_HOME/autostart/Mnemora.desktop"
check "window sits at the default place" test "$(window_pos "$win")" = "384 10"
states=$(xprop -id "$win" _NET_WM_STATE 2>/dev/null)
check "window is outside the taskbar" grep -q _NET_WM_STATE_SKIP_TASKBAR <<<"$states"
check "window is above others" grep -q _NET_WM_STATE_ABOVE <<<"$states"
check "background shows the default colour" test "$(pixel 390 14)" = "221,243,255"
text_shown() { [ "$(pixels_unlike "$win" 221,243,255)" -gt 30 ]; }
check "welcome text is drawn" text_shown
shot "$win" "$work/welcome.png"

# --- dragging ---
xdotool mousemove 600 40 click 3 2>/dev/null
sleep 0.3
xdotool key Escape
drag() { # drag BUTTON: press on the window, move in steps, release
    xdotool mousemove 600 40 mousedown "$1"
    for step in 1 2 3 4 5; do sleep 0.1; xdotool mousemove $((600 + step * 10)) $((40 + step * 10)); done
    sleep 0.1; xdotool mouseup "$1"; sleep 0.3
}
drag 3
xdotool key Escape # the release opened the context menu
sleep 0.3
check "a right-button drag moves nothing" test "$(window_pos "$win")" = "384 10"
drag 1
moved() { [ "$(window_pos "$win")" = "434 60" ]; }
check "a left-button drag moves the window" wait_for 3 moved

# --- SIGTERM saves position and counters ---
# The first word tick comes one period after start.
check "the first word replaces the welcome text" wait_for 4 changed_since "$win" "$work/welcome.png"
check "the word is drawn" text_shown
kill -TERM "$program"
wait_for 10 sh -c "! kill -0 $program"
check "SIGTERM ends the program" sh -c "! kill -0 $program 2>/dev/null"
check "SIGTERM stores the position" test "$(ini_value "$ini" FloatWindowLeft)/$(ini_value "$ini" FloatWindowTop)" = "434/60"
check "SIGTERM writes the shown word's counters" \
    grep -qx "1 1 2" <<<"$("$list" counters "$app/db/cet4.dat" cet4)"

finish
