#!/usr/bin/env bash
# Starts build-win/mnemora.exe as an unpacked copy (its DLLs, plugins and the Linux-built lists
# in a fresh folder) under Wine with the windows platform plugin on a private Xvfb, and checks
# that it shows a word of the list, writes its settings beside itself, ends on WM_CLOSE and
# leaves the shown word counted in a list that Linux reads back. (The packages, a second start,
# autostart and the timers: package-test.sh.)   SHOT=FILE keeps a screenshot.
set -euo pipefail
. "$(dirname "$0")/lib.sh"
out=$REPO_DIR/build-win
[ -n "$(ls "$out"/db/*.dat 2>/dev/null)" ] || { echo "smoke: no lists in $out/db (build them on Linux first)" >&2; exit 1; }
win_desktop smoke

app=$work/Mnemora
mkdir -p "$app"
cp -r "$out"/mnemora.exe "$out"/*.dll "$out"/platforms "$out"/styles "$out"/db "$app/"
printf '[Word]\r\nWordElapse=2\r\nWordDelayChnTime=1\r\n[Away]\r\nPauseWhenAway=0\r\n' >"$app/mnemora.ini"
win_start "$app/mnemora.exe" "$work/log"
shown() { grep -m1 -o 'ui-trace: word .* counted' "$work/log"; }
wait_for 60 shown || { cat "$work/log" >&2; fail "no word shown"; }
[ -n "${SHOT:-}" ] && import -display "$DISPLAY" -window root "$SHOT"
echo "smoke: $(shown)"
[ "$(ini_value "$app/mnemora.ini" RunTimes)" = 1 ] || fail "no RunTimes=1 in mnemora.ini"
win_close
[ -n "$(ini_value "$app/mnemora.ini" FloatWindowLeft)" ] || fail "the window position was not saved"
# The list the Windows build saved reads back on Linux, with the shown word counted.
word=$(shown | sed 's/^ui-trace: word \(.*\) counted$/\1/')
lister=$REPO_DIR/build/tests/e2e_list
if [ -x "$lister" ]; then
    times=$("$lister" sql "$app/db/cet4.dat" "SELECT showTimes FROM cet4 WHERE word = '${word//\'/\'\'}'" | head -1)
    [ "${times:-0}" -ge 1 ] || fail "Linux reads showTimes '${times}' for '$word'"
    echo "smoke: on Linux, '$word' has showTimes $times"
fi
echo "smoke: passed"
