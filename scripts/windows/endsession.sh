#!/usr/bin/env bash
# The end of a Windows session saves like an orderly exit: build-win/mnemora.exe runs as an
# unpacked copy under Wine on a private Xvfb with 1-second words; endsession.exe sends it
# WM_QUERYENDSESSION (first alone, then with WM_ENDSESSION) and terminates it outright as the
# system does. Each time the views counted before the message must have reached the list.
set -euo pipefail
. "$(dirname "$0")/lib.sh"
out=$REPO_DIR/build-win
lister=$REPO_DIR/build/tests/e2e_list
[ -n "$(ls "$out"/db/*.dat 2>/dev/null)" ] && [ -x "$lister" ] || {
    echo "endsession: needs the lists in $out/db and $lister (build on Linux first)" >&2
    exit 77
}
win_desktop endsession
$TRIPLE-gcc -O2 -Wall -Werror -o "$work/endsession.exe" "$WIN_DIR/endsession.c" -lpsapi
app=$work/Mnemora
mkdir -p "$app"
cp -r "$out"/mnemora.exe "$out"/*.dll "$out"/platforms "$out"/styles "$out"/db "$app/"
printf '[Word]\r\nWordElapse=1\r\nWordDelayChnTime=1\r\n[Away]\r\nPauseWhenAway=0\r\n' >"$app/mnemora.ini"

# All views of the list's words as the list on disk has them.
views() { "$lister" sql "$app/db/cet4.dat" "SELECT sum(showTimes) FROM cet4" | head -1; }
counted() { grep -c 'ui-trace: word .* counted' "$work/log" || true; }
three_shown() { [ "$(counted)" -ge 3 ]; }

for mode in query end; do
    before=$(views)
    win_start "$app/mnemora.exe" "$work/log"
    wait_for 60 three_shown || { cat "$work/log" >&2; fail "$mode: fewer than three words shown"; }
    shown=$(counted)
    wine "$work/endsession.exe" "$mode" || fail "$mode: the program did not agree to end, or did not end"
    wait_for 10 not_running "$program" || fail "$mode: mnemora.exe still runs"
    # The process never ended its own way: whatever reached the list was saved on the messages.
    saved=$(($(views) - before))
    [ "$saved" -ge "$shown" ] || fail "$mode: $shown views before the message, $saved saved"
    echo "endsession: $mode: $shown views before the message, $saved saved"
done
[ "$(ini_value "$app/mnemora.ini" RunTimes)" = 2 ] || fail "no RunTimes=2 after two runs"
[ -n "$(ini_value "$app/mnemora.ini" FloatWindowLeft)" ] || fail "the window position was not saved"
echo "endsession: passed"
