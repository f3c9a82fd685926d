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
    wait 2>/dev/null
    # E2E_KEEP=1 keeps screenshots and logs for a look.
    if [ -n "${E2E_KEEP:-}" ]; then echo "kept $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT

check() { # check NAME COMMAND...
    local name=$1; shift
    if "$@"; then
        passed=$((passed + 1)); echo "PASS   : $name"
    else
        failed=$((failed + 1)); echo "FAIL!  : $name"
    fi
}

finish() {
    echo "Totals: $passed passed, $failed failed"
    echo "$passed passed, $failed failed"
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
    exec 5> "$work/display"
    Xvfb -displayfd 5 -screen 0 1280x800x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
    pids+=($!)
    wait_for 10 test -s "$work/display" || { echo "Xvfb did not start"; return 1; }
    export DISPLAY=":$(head -n1 "$work/display")"
    wait_for 10 xprop -root || { echo "cannot reach the X server"; return 1; }
    local opt attempt
    for opt in "$@"; do
        case $opt in
        --tray) # the tray counts once it manages the screen; a slow machine may need a second try
            for attempt in 1 2; do
                trayer --SetDockType true >>"$work/trayer.log" 2>&1 &
                pids+=($!)
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

shot() { # shot WINDOW FILE
    import -window "$1" "$2" 2>/dev/null
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
    import -window "$1" "$shot" 2>/dev/null || { echo 0; return; }
    convert "$shot" -fill black +opaque "rgb($2)" -fill white -opaque "rgb($2)" -negate \
        -format '%[fx:int(mean*w*h+0.5)]' info: 2>/dev/null
}
