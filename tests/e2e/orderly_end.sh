#!/usr/bin/env bash
# Every orderly end but the exit command saves position and counters: a close by the
# window manager (WM_DELETE_WINDOW), SIGHUP and SIGINT. (SIGTERM: float_window.sh.)
#   orderly_end.sh MNEMORA_BINARY HELPER_DIR
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"

start_x || exit 1
for end in close HUP INT; do
    # A word every second; each end starts from a fresh folder.
    make_app '[Word]\nWordElapse=1\n' || exit 1
    check "$end: window appears" start_program
    win=$(float_window)
    shot "$win" "$work/welcome.png"
    xdotool windowmove "$win" 100 200
    check "$end: the first word is shown" wait_for 4 changed_since "$win" "$work/welcome.png"
    if [ "$end" = close ]; then
        "$helpers/e2e_x11" close "$win"
    else
        kill -"$end" "$program"
    fi
    check "$end: the program ends" wait_for 10 ended "$program"
    check "$end: the position is stored" \
        test "$(ini_value "$ini" FloatWindowLeft)/$(ini_value "$ini" FloatWindowTop)" = "100/200"
    check "$end: the shown word's counters are written" \
        grep -qx "1 1 2" <<<"$("$list" counters "$app/db/cet4.dat" cet4)"
done

finish
