#!/usr/bin/env bash
# Starts build-win/mnemora.exe as an unpacked copy (its DLLs, plugins and the Linux-built lists
# in a fresh folder) under Wine with the windows platform plugin on a private Xvfb, and checks
# that it shows a word of the list, writes its settings beside itself and ends on WM_CLOSE.
# SHOT=FILE keeps a screenshot.
set -euo pipefail
. "$(dirname "$0")/lib.sh"
out=$REPO_DIR/build-win
[ -n "$(ls "$out"/db/*.dat 2>/dev/null)" ] || { echo "smoke: no lists in $out/db (build them on Linux first)" >&2; exit 1; }
work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    WINEPREFIX=$work/wine wineserver -k 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

app=$work/Mnemora
mkdir -p "$app"
cp -r "$out"/mnemora.exe "$out"/*.dll "$out"/platforms "$out"/styles "$out"/db "$app/"
printf '[Word]\r\nWordElapse=2\r\nWordDelayChnTime=1\r\n' >"$app/mnemora.ini"

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
export DISPLAY=$display WINEPREFIX=$work/wine WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
unset QT_QPA_PLATFORM
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
wine wineboot -i >/dev/null 2>&1
MNEMORA_TRACE_UI=1 wine "$app/mnemora.exe" >"$work/log" 2>&1 &
pids+=($!)
shown=
for _ in $(seq 120); do
    shown=$(grep -m1 -o 'ui-trace: word .* counted' "$work/log" || true)
    [ -n "$shown" ] && break
    sleep 0.5
done
[ -n "${SHOT:-}" ] && import -display "$display" -window root "$SHOT"
if [ -z "$shown" ]; then
    echo "smoke: no word shown" >&2
    cat "$work/log" >&2
    exit 1
fi
echo "smoke: $shown"
grep -q '^RunTimes=1' <(tr -d '\r' <"$app/mnemora.ini") || { echo "smoke: no RunTimes=1 in mnemora.ini" >&2; exit 1; }
# The way Windows asks a program to close.
wine taskkill /im mnemora.exe >/dev/null 2>&1 || true
for _ in $(seq 100); do kill -0 "${pids[1]}" 2>/dev/null || break; sleep 0.1; done
if kill -0 "${pids[1]}" 2>/dev/null; then
    echo "smoke: mnemora.exe did not end on WM_CLOSE" >&2
    exit 1
fi
grep -q '^FloatWindowLeft=' <(tr -d '\r' <"$app/mnemora.ini") || { echo "smoke: the window position was not saved" >&2; exit 1; }
echo "smoke: passed"
