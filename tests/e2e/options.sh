#!/usr/bin/env bash
# The options sheet of the real program under Xvfb, driven with the keyboard: the live
# opacity slider, Cancel, the range check of the word interval, and a change of word list
# that saves the old list's counters and goes on with the new one.
#   options.sh MNEMORA_BINARY E2E_LIST_BINARY      (E2E_SHOTS=DIR keeps screenshots)
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"

start_x || exit 1
# A word every 2 s, its meaning 1 s later, so words arrive quickly.
make_app '[Word]\nWordElapse=2\nWordDelayChnTime=1\n' || exit 1
"$list" create "$app/db/nce.dat" nce1 3 && "$list" create "$app/db/nce.dat" nce2 3 || exit 1

check "window appears" run_traced
win=$(float_window)
sleep 2.5 # the first word (cet4's word1) is shown one period after start

sheet_title='选项设置'
open_sheet() { # from the float menu, by mnemonic; the list of pages has the focus
    popup_menu '悬浮窗右键菜单(&R)' 600 40 && xdotool key s && wait_for 5 visible_window "$sheet_title"
}
opacity_is() { [ "$(opacity_of "$win")" = "$(($1 * 0xffffffff / 255))" ]; } # opacity_is ALPHA
# Without a window manager nobody hands the focus back when a message box closes.
focus_sheet() { xdotool windowfocus --sync "$(visible_window "$sheet_title")"; }

# --- the slider acts at once; Cancel keeps it and drops the times ---
check "the sheet opens from the float menu" open_sheet
sheet=$(visible_window "$sheet_title")
read -r w h < <(xwininfo -id "$sheet" | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w, h}')
check "the sheet is centred on the screen" test "$(window_pos "$sheet")" = "$(((1280 - w) / 2)) $(((800 - h) / 2))"
keep_shot options-basic-page
xdotool key Tab Tab Left # autostart box, slider; one step down
check "a slider step stores Transparent at once" wait_for 5 grep -qx Transparent=239 "$ini"
check "a slider step changes the window's opacity at once" wait_for 5 opacity_is 239
xdotool key Next # a page down
check "a page step stores Transparent" wait_for 5 grep -qx Transparent=229 "$ini"
check "a page step changes the window's opacity" wait_for 5 opacity_is 229
xdotool key Tab ctrl+a
xdotool type 5 # word interval
xdotool key Tab ctrl+a
xdotool type 3 # meaning delay
xdotool key Escape
check "Cancel closes the sheet" wait_for 5 not visible_window "$sheet_title"
check "Cancel keeps the times" \
    test "$(ini_value "$ini" WordElapse)/$(ini_value "$ini" WordDelayChnTime)" = "2/1"
check "Cancel keeps the opacity" opacity_is 229
check "Cancel keeps Transparent" grep -qx Transparent=229 "$ini"

# --- an interval out of range: message, and the sheet stays ---
check "the sheet opens again" open_sheet
xdotool key Tab Tab Tab ctrl+a # autostart box, slider, word interval
trace_mark
xdotool type 1
xdotool key Return
check "OK with interval 1 shows the range message" \
    wait_for 5 traced "message Mnemora: Enter an integer between 2 and 86400."
check "the message box is on screen" wait_for 5 message_box
keep_shot options-range-message
xdotool key Return
check "Return closes the message box" wait_for 5 not message_box
check "the sheet stays open" wait_for 0 visible_window "$sheet_title"
check "nothing is stored" test "$(ini_value "$ini" WordElapse)" = 2

# --- another word list ---
focus_sheet
xdotool type 2                                # the interval is selected: back to the stored value
xdotool key shift+Tab shift+Tab shift+Tab Down # slider, autostart box, list of pages; dictionary page
xdotool key Tab Down Tab Down                 # exam radio button, study radio button, its combo box
keep_shot options-dictionary-page
xdotool key Return
check "OK closes the sheet" wait_for 5 not visible_window "$sheet_title"
check "OK stores the study category and the second list" \
    test "$(ini_value "$ini" ExamStudy)/$(ini_value "$ini" DBTable)" = "1/1"
check "OK keeps the unchanged interval" test "$(ini_value "$ini" WordElapse)" = 2
check "the old list's counters are written at the change" \
    grep -q '^1 [1-9][0-9]* [1-9]' <<<"$("$list" counters "$app/db/cet4.dat" cet4)"
check "nothing went wrong opening the new list" not grep -q 'message Mnemora: 打开数据库失败' "$work/program.log"
sleep 2.5 # the next word tick
kill -TERM "$program"
wait_for 10 not kill -0 "$program"
check "the next word came from nce2" grep -qx "1 1 [0-9]*" <<<"$("$list" counters "$app/db/nce.dat" nce2)"
check "nce1 was left alone" test "$("$list" counters "$app/db/nce.dat" nce1)" = $'1 0 0\n2 0 0\n3 0 0'

finish
