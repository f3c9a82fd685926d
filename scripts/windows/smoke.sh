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
# The first start registered autostart (machine-wide, or per user where that cannot be written).
run='Software\Microsoft\Windows\CurrentVersion\Run'
if ! wine reg query "HKLM\\$run" /v Mnemora 2>/dev/null | grep -qi 'mnemora.exe' &&
    ! wine reg query "HKCU\\$run" /v Mnemora 2>/dev/null | grep -qi 'mnemora.exe'; then
    echo "smoke: no autostart value Mnemora" >&2
    exit 1
fi
echo "smoke: autostart registered"
# A second start says so and leaves the first one running (its message box waits for OK).
MNEMORA_TRACE_UI=1 wine "$app/mnemora.exe" >"$work/second.log" 2>&1 &
second=$!
pids+=($second)
for _ in $(seq 60); do grep -q '该软件已经正在运行' "$work/second.log" && break; sleep 0.5; done
grep -q '该软件已经正在运行' "$work/second.log" || { echo "smoke: the second start did not say it is running" >&2; cat "$work/second.log" >&2; exit 1; }
kill "$second" 2>/dev/null || true
echo "smoke: a second start says 该软件已经正在运行！"
# The way Windows asks a program to close.
wine taskkill /im mnemora.exe >/dev/null 2>&1 || true
for _ in $(seq 100); do kill -0 "${pids[1]}" 2>/dev/null || break; sleep 0.1; done
if kill -0 "${pids[1]}" 2>/dev/null; then
    echo "smoke: mnemora.exe did not end on WM_CLOSE" >&2
    exit 1
fi
grep -q '^FloatWindowLeft=' <(tr -d '\r' <"$app/mnemora.ini") || { echo "smoke: the window position was not saved" >&2; exit 1; }
# The list the Windows build saved reads back on Linux, with the shown word counted.
word=$(sed 's/^ui-trace: word \(.*\) counted$/\1/' <<<"$shown")
lister=$REPO_DIR/build/tests/e2e_list
if [ -x "$lister" ]; then
    times=$("$lister" sql "$app/db/cet4.dat" "SELECT showTimes FROM cet4 WHERE word = '${word//\'/\'\'}'" | head -1)
    [ "${times:-0}" -ge 1 ] || { echo "smoke: Linux reads showTimes '${times}' for '$word'" >&2; exit 1; }
    echo "smoke: on Linux, '$word' has showTimes $times"
fi
echo "smoke: passed"
