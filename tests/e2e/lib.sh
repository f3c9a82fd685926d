# Shared helpers of the desktop tests: a private X server, a private home, a program
# folder, polling, screenshots and a pass/fail tally. Sourced by each test script, which
# is called as SCRIPT MNEMORA_BINARY HELPER_DIR (the folder of e2e_list and the others).
set -uo pipefail
prog=$1 helpers=$2
list="$helpers/e2e_list"

passed=0 failed=0
work=$(mktemp -d)
pids=()

cleanup() {
    local i # newest first, so the programs end before their X server
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null; done
    local until=$((SECONDS + 5)) # a program that ignores the request must not hold the test up
    while [ -n "$(jobs -pr)" ] && [ $SECONDS -lt $until ]; do sleep 0.1; done
    [ -n "$(jobs -pr)" ] && echo "cleanup: killing $(jobs -pr | tr '\n' ' ')" && kill -KILL $(jobs -pr) 2>/dev/null
    wait 2>/dev/null
    # With E2E_SHOTS set, the program's output is kept beside the screenshots;
    # E2E_KEEP=1 keeps screenshots and logs for a look.
    [ -n "${E2E_SHOTS:-}" ] && [ -f "$work/program.log" ] && mkdir -p "$E2E_SHOTS" && cp "$work/program.log" "$E2E_SHOTS/"
    if [ -n "${E2E_KEEP:-}" ]; then echo "kept $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT

check() { # check NAME COMMAND...
    local name=$1; shift
    if "$@"; then
        passed=$((passed + 1)); echo "PASS   : $name"
    else
        failed=$((failed + 1)); echo "FAIL!  : $name"
        return 1
    fi
}

finish() {
    echo "Totals: $passed passed, $failed failed"
    [ "$failed" = 0 ]
}

not() { ! "$@"; }
quiet() { "$@" >/dev/null 2>&1; }
ended() { ! kill -0 "$1" 2>/dev/null; }

wait_for() { # wait_for SECONDS COMMAND...: polls until the command succeeds
    local until=$((SECONDS + $1)); shift
    while ! "$@" >/dev/null 2>&1; do
        [ $SECONDS -ge $until ] && return 1
        sleep 0.1
    done
}

start_x() { # start_x [--tray] [--compositor]
    export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_RUNTIME_DIR="$work/run"
    mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
    unset WAYLAND_DISPLAY XDG_SESSION_TYPE QT_QPA_PLATFORM SESSION_MANAGER
    local xvfb attempt
    # Two servers started at once may pick the same display: the loser reports it and ends,
    # and a client would reach the winner. Start again until our own server is the one up.
    for attempt in 1 2 3 4; do
        exec 5> "$work/display"
        Xvfb -displayfd 5 -screen 0 1280x800x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
        xvfb=$!
        wait_for 10 test -s "$work/display" || { echo "Xvfb did not start"; return 1; }
        export DISPLAY=":$(head -n1 "$work/display")"
        wait_for 10 xprop -root || { echo "cannot reach the X server"; return 1; }
        sleep 0.3
        kill -0 "$xvfb" 2>/dev/null && break
        echo "Xvfb lost display $DISPLAY to another server; again" >&2
    done
    pids+=($xvfb)
    local opt
    for opt in "$@"; do
        case $opt in
        --tray) # the tray counts once it manages the screen; a slow machine may need a second try
            for attempt in 1 2; do
                start_tray
                wait_for 10 "$helpers/e2e_x11" tray && break
            done ;;
        --compositor) xcompmgr >"$work/xcompmgr.log" 2>&1 & pids+=($!) ;;
        esac
    done
}

# A fresh program folder $app: the program, a six-word list in db/ and the settings
# file $ini with the given text (printf format).
make_app() { # make_app SETTINGS
    app="$work/app" ini="$work/app/mnemora.ini"
    rm -rf "$app" && mkdir -p "$app/db" && cp "$prog" "$app/mnemora" || return 1
    "$list" create "$app/db/cet4.dat" cet4 6 || return 1
    printf "$1" >"$ini"
}

# Starts the program of $app in the background as $program and waits for its window.
start_program() {
    (cd / && exec "$app/mnemora") >>"$work/program.log" 2>&1 &
    program=$!
    pids+=($program)
    wait_for 15 float_window
}

# The float window: the mapped "Mnemora" window of the float window's size.
float_window() {
    local id
    for id in $(xdotool search --onlyvisible --name '^Mnemora$' 2>/dev/null); do
        if xwininfo -id "$id" | grep -q 'Width: 540' && xwininfo -id "$id" | grep -q 'Height: 109'; then
            echo "$id"; return 0
        fi
    done
    return 1
}

window_pos() { # prints "x y" of a window
    xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4} END{print x, y}'
}

ini_value() { # ini_value FILE KEY
    sed -n "s/^$2=//p" "$1" | head -n1 | tr -d '\r'
}

# Colour of one pixel of the screen as "r,g,b".
pixel() { # pixel X Y
    import -window root -crop "1x1+$1+$2" -depth 8 txt:- 2>/dev/null |
        sed -n 's/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1,\2,\3/p' | tail -n1
}

# The first mapped window of a process.
window_of() { # window_of PID
    xdotool search --onlyvisible --pid "$1" 2>/dev/null | head -n1 | grep .
}

shot() { # shot WINDOW FILE (import without a window would wait for a click)
    [ -n "$1" ] && timeout 10 import -window "$1" "$2" 2>/dev/null
}

# Number of pixels in which two pictures of the same size differ.
pixels_between() { # pixels_between FILE FILE
    compare -metric AE "$1" "$2" null: 2>&1 | cut -d' ' -f1
}

# True when a window's screenshot now differs from an earlier one in more than a few pixels.
changed_since() { # changed_since WINDOW FILE
    local now="$work/now-$RANDOM.png"
    shot "$1" "$now" && [ "$(pixels_between "$2" "$now")" -gt 30 ]
}

# Number of pixels of a window's screenshot that differ from the given colour.
pixels_unlike() { # pixels_unlike WINDOW "r,g,b"
    local shot="$work/shot-$RANDOM.png"
    shot "$1" "$shot" || { echo 0; return; }
    convert "$shot" -fill black +opaque "rgb($2)" -fill white -opaque "rgb($2)" -negate \
        -format '%[fx:int(mean*w*h+0.5)]' info: 2>/dev/null
}

# --- menus, dialogs and the tray (used by menus.sh and options.sh) ---

# Starts the program from $app with its UI trace on; its output goes to $work/program.log.
run_traced() { MNEMORA_TRACE_UI=1 start_program; }

# The trace lines the program printed since the last trace_mark, without their prefix.
trace_mark() { mark=$(wc -l <"$work/program.log"); }
traced_since_mark() { tail -n +$((mark + 1)) "$work/program.log" | sed -n 's/^ui-trace: //p'; }
# (No grep -q, head or early exit after a pipe: with pipefail a writer cut off early fails
# the whole pipeline.)
traced() { traced_since_mark | grep -xF -- "$1" >/dev/null; } # traced LINE
# popup_menu TITLE X Y: right-clicks at X,Y, waits until the menu TITLE is on screen and
# sets $entries to its entries as traced.
# Two right clicks within the double-click time make a double click, which opens no tray
# menu: clicks are kept half a second apart.
last_right_click=0
popup_menu() {
    trace_mark
    local due=$((last_right_click + 500000 - ${EPOCHREALTIME/./}))
    [ $due -gt 0 ] && sleep "0.$(printf '%06d' $due)"
    last_right_click=${EPOCHREALTIME/./}
    wait_for 5 not menu_on_screen && xdotool mousemove "$2" "$3" click 3 &&
        wait_for 5 traced_menu "$1" && wait_for 5 menu_on_screen ||
        { echo "popup_menu: $1 did not show" >&2; entries=; return 1; }
    entries=$(traced_since_mark | sed -n "s/^menu $1: //p" | sed -n 1p)
}
traced_menu() { traced_since_mark | grep -F "menu $1: " >/dev/null; }
# A popup menu of the program is mapped: a top-level override-redirect window (the tray
# icon lives inside the tray) that is not an alert.
menu_on_screen() {
    local w
    for w in $(xdotool search --onlyvisible --class '^mnemora$' 2>/dev/null); do
        [[ $(xwininfo -children -id "$w") == *"Parent window id: "*" (the root window)"* &&
            $(xwininfo -id "$w") == *"Override Redirect State: yes"* &&
            $(xprop -id "$w" _NET_WM_WINDOW_TYPE) != *_NET_WM_WINDOW_TYPE_TOOLTIP* ]] && return 0
    done
    return 1
}

# A visible "Mnemora" window that is not the float window ($win): a message box.
message_box() {
    local id
    for id in $(xdotool search --onlyvisible --name '^Mnemora$' 2>/dev/null); do
        [ "$id" != "$win" ] && echo "$id" && return 0
    done
    return 1
}
visible_window() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | sed -n 1p; } # by exact title

start_tray() { trayer --SetDockType true >>"$work/trayer.log" 2>&1 & pids+=($!); }

# Centre "x y" of the program's icon docked in the tray, if it is there.
tray_icon() {
    local w
    for w in $(xdotool search --class trayer 2>/dev/null); do
        # a tree line ends in "WxH+x+y  +absX+absY"
        xwininfo -tree -id "$w" 2>/dev/null | awk '!found && /"Mnemora": \("mnemora"/ {
                split($(NF - 1), size, "[x+]"); split($NF, at, "+")
                print at[2] + int(size[1] / 2), at[3] + int(size[2] / 2); found = 1
            } END { exit !found }' && return 0
    done
    return 1
}

# Keeps a screenshot of the whole screen in $E2E_SHOTS, when that is set, to look at by eye.
keep_shot() { [ -n "${E2E_SHOTS:-}" ] && mkdir -p "$E2E_SHOTS" && import -window root "$E2E_SHOTS/$1.png" 2>/dev/null; true; }

opacity_of() { xprop -id "$1" _NET_WM_WINDOW_OPACITY 2>/dev/null | sed -n 's/.* = //p'; } # as X stores it

