#!/usr/bin/env bash
# The end of a Windows session saves like an orderly exit: build-win/mnemora.exe runs as an
# unpacked copy under Wine on a private Xvfb with 1-second words; endsession.exe sends it
# WM_QUERYENDSESSION (first alone, then with WM_ENDSESSION) and terminates it outright as the
# system does. Each time the counters of the words shown must have reached the list first.
set -euo pipefail
. "$(dirname "$0")/lib.sh"
out=$REPO_DIR/build-win
lister=$REPO_DIR/build/tests/e2e_list
[ -n "$(ls "$out"/db/*.dat 2>/dev/null)" ] && [ -x "$lister" ] || {
    echo "endsession: needs the lists in $out/db and $lister (build on Linux first)" >&2
    exit 77
}
work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    WINEPREFIX=$work/wine wineserver -k 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "endsession: $*" >&2
    cat "$work/log" >&2 2>/dev/null || true
    exit 1
}

$TRIPLE-gcc -O2 -Wall -Werror -o "$work/endsession.exe" "$WIN_DIR/endsession.c" -lpsapi
app=$work/Mnemora
mkdir -p "$app"
cp -r "$out"/mnemora.exe "$out"/*.dll "$out"/platforms "$out"/styles "$out"/db "$app/"
printf '[Word]\r\nWordElapse=1\r\nWordDelayChnTime=1\r\n' >"$app/mnemora.ini"

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
export DISPLAY=$display WINEPREFIX=$work/wine WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
unset QT_QPA_PLATFORM
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
wine wineboot -i >/dev/null 2>&1

# All views of the list's words as the list on disk has them.
views() { "$lister" sql "$app/db/cet4.dat" "SELECT sum(showTimes) FROM cet4" | head -1; }
counted() { grep -c 'ui-trace: word .* counted' "$work/log" || true; }

for mode in query end; do
    before=$(views)
    MNEMORA_TRACE_UI=1 wine "$app/mnemora.exe" >"$work/log" 2>&1 &
    program=$!
    pids+=($program)
    for _ in $(seq 120); do
        [ "$(counted)" -ge 3 ] && break
        sleep 0.5
    done
    shown=$(counted)
    [ "$shown" -ge 3 ] || fail "$mode: fewer than three words shown"
    wine "$work/endsession.exe" "$mode" || fail "$mode: the program did not agree to end, or did not end"
    for _ in $(seq 100); do kill -0 "$program" 2>/dev/null || break; sleep 0.1; done
    # The process never ended its own way: whatever reached the list was saved on the messages.
    saved=$(($(views) - before))
    [ "$saved" -ge "$shown" ] || fail "$mode: $shown views before the message, $saved saved"
    echo "endsession: $mode: $shown views before the message, $saved saved"
done
grep -q '^RunTimes=2' <(tr -d '\r' <"$app/mnemora.ini") || fail "no RunTimes=2 after two runs"
grep -q '^FloatWindowLeft=' <(tr -d '\r' <"$app/mnemora.ini") || fail "the window position was not saved"
echo "endsession: passed"
