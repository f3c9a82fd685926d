#!/usr/bin/env bash
# The pause when nobody looks, under Xvfb and openbox: the X screen saver stops counting
# and its end resumes it; a full-screen window hides the float window until it ends; the
# active window keeps the keyboard through ticks and returns.
#   away.sh MNEMORA_BINARY HELPER_DIR
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"
window="$helpers/e2e_x11"

start_x || exit 1
unset DBUS_SESSION_BUS_ADDRESS
openbox >"$work/openbox.log" 2>&1 &
pids+=($!)
wait_for 10 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q window' || { echo "openbox did not start"; exit 1; }
# A word step every second, the meaning with it.
make_app '[Word]\nWordElapse=1\nWordDelayChnTime=0\n' || exit 1
"$window" show Work >"$work/work.id" &
pids+=($!)
wait_for 5 test -s "$work/work.id"
work_win=$(cat "$work/work.id")
check "program starts" run_traced
xdotool windowactivate "$work_win" 2>/dev/null
check "the work window has the keyboard" wait_for 5 sh -c "[ \"\$(xdotool getactivewindow)\" = $work_win ]"

counted() { grep -c '^ui-trace: word .* counted$' "$work/program.log"; }
shown() { grep -c '^ui-trace: word ' "$work/program.log"; }
counted_at_least() { [ "$(counted)" -ge "$1" ]; }
shown_more_than() { [ "$(shown)" -gt "$1" ]; }
active_stays() { # active_stays SECONDS: the work window keeps the focus meanwhile
    local until=$((SECONDS + $1))
    while [ $SECONDS -lt $until ]; do
        [ "$(xdotool getactivewindow 2>/dev/null)" = "$work_win" ] || return 1
        sleep 0.3
    done
}
check "words are counted" wait_for 10 counted_at_least 2
check "ticks leave the active window alone" active_stays 3

# --- screen saver ---
xset s activate
check "the tray tip says paused" wait_for 3 grep -qxF 'ui-trace: tray tip Mnemora（已暂停）' "$work/program.log"
before=$(shown)
sleep 4 # four word periods
check "nothing is shown or counted while the saver is on" test "$(shown)" = "$before"
xset s reset
check "the tray tip says Mnemora again" wait_for 3 sh -c "tail -n 5 '$work/program.log' | grep -qxF 'ui-trace: tray tip Mnemora'"
# two periods, plus slack for a loaded machine
check "counting resumes soon after" wait_for 5 shown_more_than "$before"
check "the return leaves the active window alone" active_stays 2

# --- full screen ---
float_shown() { float_window >/dev/null; }
"$window" show Full fullscreen >"$work/full.id" &
full_pid=$!
pids+=($full_pid)
check "a full-screen window hides the float window" wait_for 5 not float_shown
before=$(shown)
sleep 3
check "nothing is shown under the full-screen window" test "$(shown)" = "$before"
"$window" fullscreen "$(cat "$work/full.id")" off
check "leaving full screen shows the float window" wait_for 5 float_shown
"$window" fullscreen "$(cat "$work/full.id")" on
check "full screen again hides it" wait_for 5 not float_shown
kill "$full_pid"
check "the end of the full-screen window shows it" wait_for 5 float_shown
xdotool windowactivate "$work_win" 2>/dev/null
check "the float window did not take the keyboard" active_stays 3

finish
