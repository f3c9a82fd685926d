# Shared by the Windows scripts: where the SDK lives and how each part's cache is named.
# shellcheck shell=bash
WIN_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
REPO_DIR=$(cd "$WIN_DIR/../.." && pwd)
SDK_ROOT=${MNEMORA_WIN_SDK:-${XDG_CACHE_HOME:-$HOME/.cache}/mnemora/win-sdk}
TOOLCHAIN=$REPO_DIR/cmake/mingw-w64.cmake
TRIPLE=x86_64-w64-mingw32

# Debian bookworm source packages the SDK is built from (pinned: the version is part of each cache key).
QT_SRC=qt6-base=6.4.2+dfsg-10
SQLCIPHER_SRC=sqlcipher=3.4.1-2
TOMCRYPT_SRC=libtomcrypt=1.18.2-6

# A part's key: its recipe, the toolchain, the compiler and its pinned sources.
part_key() { # recipe-file pins...
    local recipe=$1
    shift
    {
        cat "$WIN_DIR/$recipe" "$TOOLCHAIN"
        printf '%s\n' "$@"
        $TRIPLE-g++-posix --version | head -1
    } | sha256sum | cut -c1-16
}
qt_dir() { echo "$SDK_ROOT/qt-$(part_key qt.sh "$QT_SRC")"; }
sqlcipher_dir() { echo "$SDK_ROOT/sqlcipher-$(part_key sqlcipher.sh "$SQLCIPHER_SRC" "$TOMCRYPT_SRC")"; }

# Runtime DLL folders for Wine: Qt, SQLCipher, and the compiler's own runtime.
win_path() {
    local gccdir
    gccdir=$(dirname "$($TRIPLE-g++-posix -print-libgcc-file-name)")
    local dir out=
    for dir in "$(qt_dir)/bin" "$(sqlcipher_dir)/bin" "$gccdir" "/usr/$TRIPLE/lib"; do
        out+="${out:+;}Z:${dir//\//\\}"
    done
    echo "$out"
}

# --- Desktop tests under Wine (smoke.sh, package-test.sh) ---
# win_desktop NAME: a scratch folder $work, a private Xvfb ($DISPLAY) and a fresh 64-bit
# prefix in $work/wine, all removed on exit. Programs find only what their folder holds and
# Windows itself (no WINEPATH), and nothing is written to the Linux desktop's menus.
win_desktop() {
    WIN_TEST=$1
    work=$(mktemp -d)
    pids=()
    trap win_desktop_cleanup EXIT
    local attempt xvfb
    # Two servers started at once may pick the same display: start again until ours is up.
    for attempt in 1 2 3 4; do
        : >"$work/display"
        Xvfb -displayfd 5 -screen 0 1280x800x24 -nolisten tcp 5>"$work/display" >/dev/null 2>&1 &
        xvfb=$!
        wait_for 10 test -s "$work/display" || fail "Xvfb did not start"
        export DISPLAY=:$(head -n1 "$work/display")
        wait_for 10 xdpyinfo || fail "no X server on $DISPLAY"
        sleep 0.3
        kill -0 "$xvfb" 2>/dev/null && break
    done
    pids+=("$xvfb")
    export WINEPREFIX=$work/wine WINEARCH=win64 WINEDEBUG=-all
    export WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d'
    unset QT_QPA_PLATFORM WINEPATH
    wine wineboot -i >/dev/null 2>&1
    wineserver -w
}
win_desktop_cleanup() {
    local i # newest first, so the programs end before their X server
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
    wineserver -k 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work"
}
WIN_TEST=${WIN_TEST:-windows}
fail() {
    echo "$WIN_TEST: $*" >&2
    exit 1
}
wait_for() { # wait_for SECONDS COMMAND...: polls until the command succeeds
    local until=$((SECONDS + $1))
    shift
    until "$@" >/dev/null 2>&1; do
        [ $SECONDS -lt $until ] || return 1
        sleep 0.2
    done
}
running() { kill -0 "$1" 2>/dev/null; }
ini_value() { # ini_value FILE KEY
    tr -d '\r' <"$1" | sed -n "s/^$2=//p" | head -n1
}
# set_ini FILE SECTION KEY VALUE: the key's line replaced, or added to its section (CRLF lines).
set_ini() {
    touch "$1"
    awk -v sec="[$2]" -v key="$3=" -v kv="$3=$4" '
        { line = $0; sub(/\r$/, "", line) }
        line ~ /^\[/ { if (in_sec && !done) { print kv "\r"; done = 1 }; in_sec = line == sec }
        in_sec && index(line, key) == 1 { if (!done) print kv "\r"; done = 1; next }
        { print }
        END { if (!done) { if (!in_sec) print sec "\r"; print kv "\r" } }' "$1" >"$1.new"
    mv "$1.new" "$1"
}
# win_start EXE LOG: starts the program traced in the background as $program.
win_start() {
    MNEMORA_TRACE_UI=1 wine "$1" >"$2" 2>&1 &
    program=$!
    pids+=("$program")
}
# win_close: asks every mnemora.exe to end the way Windows does (WM_CLOSE, taskkill without
# /f) and waits for $program to end.
win_close() {
    wine taskkill /im mnemora.exe >/dev/null 2>&1 || true
    wait_for 20 not_running "$program" || fail "mnemora.exe did not end on WM_CLOSE"
}
not_running() { ! running "$1"; }
not() { ! "$@"; }
