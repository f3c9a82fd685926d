#!/usr/bin/env bash
# One instance at a time, without a tray: a second start writes nothing, says so in a
# message box and brings back the window hidden through its menu. Esc and Enter on the
# focused window do not end the run.
#   single_instance.sh MNEMORA_BINARY HELPER_DIR
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"

start_x || exit 1
# No word tick during the test, so the running instance writes nothing on its own.
make_app '[Word]\nWordElapse=60\n' || exit 1
check "window appears" start_program
win=$(float_window)
shot "$win" "$work/welcome.png"

# --- Esc and Enter ---
xdotool windowfocus "$win"
sleep 0.2
xdotool key Escape Return KP_Enter
sleep 0.5
check "Esc and Enter leave the program running" kill -0 "$program"
check "Esc and Enter leave the window shown" quiet float_window
xdotool key Right # proves the keys reach the window: the meaning shows at once
check "the keys reached the window" wait_for 3 changed_since "$win" "$work/welcome.png"

# --- hide through the float menu ---
xdotool mousemove 600 40 click 3
menu_open() { [ "$(xdotool search --onlyvisible --pid "$program" 2>/dev/null | wc -l)" -ge 2 ]; }
wait_for 3 menu_open
xdotool key f
check "the menu's 悬浮窗(&F) hides the window" wait_for 3 not float_window

# --- second start ---
# Every file and folder the program could touch, with the contents' checksums.
snapshot() {
    (cd "$work" && find app home run | sort && find app home run -type f -print0 | sort -z | xargs -0 md5sum)
}
snapshot >"$work/before"
(cd / && exec "$app/mnemora") >>"$work/second.log" 2>&1 &
second=$!
pids+=($second)
check "the second start shows a message box" wait_for 10 window_of "$second"
box=$(window_of "$second")
check "the second start shows the hidden window again" wait_for 5 float_window
check "the running instance still runs" kill -0 "$program"
# Both boxes are pictured with the keyboard focus, so that they are drawn alike.
picture_focused() { # picture_focused WINDOW FILE
    xdotool windowfocus "$1"
    sleep 0.3
    shot "$1" "$2"
}
picture_focused "$box" "$work/box.png"
xdotool key Return
check "Return closes the box and ends the second start" wait_for 5 ended "$second"
wait "$second"
check "the second start exits normally" test $? = 0
check "the second start wrote nothing" diff "$work/before" <(snapshot)

# The box's text, by comparison with a box of the expected text drawn the same way.
"$helpers/e2e_msgbox" "该软件已经正在运行！" &
reference=$!
pids+=($reference)
wait_for 10 window_of "$reference"
picture_focused "$(window_of "$reference")" "$work/reference.png"
kill "$reference"
check "the box says 该软件已经正在运行！" test "$(pixels_between "$work/box.png" "$work/reference.png")" = 0

finish
