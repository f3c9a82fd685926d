#!/usr/bin/env bash
# Checks the two Windows packages (made by package.sh) under Wine on a private Xvfb, in a
# fresh prefix, as a user would meet them:
# - the zip, unpacked into a fresh folder: the first start writes mnemora.ini beside the
#   program with RunTimes=1 and registers autostart; a second start writes nothing, says
#   "该软件已经正在运行！" and ends; on 1-second timers the window draws the words and their
#   counters follow the interval table; WM_CLOSE (taskkill without /f) saves them;
# - the installer, silently (/S), for the current user: Start-menu and uninstall entries, data
#   under %APPDATA%\Mnemora; a newer build installed over it keeps the progress, also while the
#   program runs (the installer closes it first, and starts it again afterwards); the uninstaller
#   removes the program, its entries and its autostart value, and keeps %APPDATA%\Mnemora.
# Counters are read with the Linux build's list helper (build/tests/e2e_list).
# SHOT=FILE keeps the screenshot of the unpacked program showing a word.
set -euo pipefail
. "$(dirname "$0")/lib.sh"
out=$REPO_DIR/build-win
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$out/CMakeCache.txt")
zip=$out/Mnemora-$version-win64.zip setup=$out/Mnemora-$version-win64-setup.exe
lister=$REPO_DIR/build/tests/e2e_list
[ -f "$zip" ] && [ -f "$setup" ] || { echo "package-test: run scripts/windows/package.sh first" >&2; exit 1; }
[ -x "$lister" ] || { echo "package-test: no $lister (build the Linux tree first)" >&2; exit 1; }
began=$SECONDS
win_desktop package-test

# The newer build for the upgrade: the same files re-packed as the next version (quickly).
newer=$version.1
cpack --config "$out/CPackConfig.cmake" -G NSIS -B "$work/newer" -D CPACK_PACKAGE_VERSION="$newer" \
    -D CPACK_PACKAGE_FILE_NAME="Mnemora-$newer-win64-setup" -D CPACK_NSIS_COMPRESSOR=zlib >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log" >&2; fail "could not re-pack the installer as $newer"; }
newer_setup=$work/newer/Mnemora-$newer-win64-setup.exe

log_lines() { tr -d '\r' <"$1"; } # a Windows program's stderr ends its lines with CR LF
counted() {                       # counted LOG [WORD]: first-pass views in the log
    log_lines "$1" | grep -c "^ui-trace: word ${2:-.*} counted$" || true
}
quick() { # one word a second, its meaning with it, no sentence, no pause without input
    set_ini "$1" Word WordElapse 1
    set_ini "$1" Word WordDelayChnTime 0
    set_ini "$1" FloatWindow ShowSentence 0
    set_ini "$1" Away PauseWhenAway 0
}
counted_at_least() { [ "$(counted "$1")" -ge "$2" ]; } # counted_at_least LOG N
interval() { # the interval after a word's n-th first-pass view
    local table=(0 1 2 3 8 16 31 90)
    [ "$1" -lt 8 ] && echo "${table[$1]}" || echo 5
}
# check_counters LIST LOGS BASE WORD...: each word's saved showTimes is its number of counted
# views in the logs (a space-separated list), and, with a BASE, its toShowTime BASE +
# interval(showTimes) (0 while unseen).
check_counters() {
    local list=$1 logs=$2 base=$3 word n log row want
    shift 3
    for word in "$@"; do
        n=0
        for log in $logs; do n=$((n + $(counted "$log" "$word"))); done
        row=$("$lister" sql "$list" "SELECT showTimes, toShowTime FROM cet4 WHERE word = '${word//\'/\'\'}'")
        want="$n $((n == 0 ? 0 : base + $(interval "$n")))"
        [ -n "$base" ] || { want="$n " && row="${row%% *} "; }
        [ "$row" = "$want" ] || fail "'$word' saved as '$row' (showTimes toShowTime), expected '$want'"
    done
}
# The float window as the screen shows it, drawing text: mostly one background colour (the
# window's opacity blends it with the black screen below), and enough pixels of other colours.
drawn() {
    local id geometry counts background others
    id=$(xdotool search --onlyvisible --name '^Mnemora$' 2>/dev/null | head -1) && [ -n "$id" ] || return 1
    geometry=$(xwininfo -id "$id" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4}
        /Width:/{w=$2} /Height:/{h=$2} END{print w "x" h "+" x "+" y}')
    import -window root -crop "$geometry" +repage "$work/window.png" 2>/dev/null || return 1
    counts=$(convert "$work/window.png" -depth 8 txt:- | tail -n +2 | awk '{print $3}' | sort | uniq -c | sort -rn |
        awk 'NR == 1 {top = $1} {all += $1} END {print top, all - top}')
    read -r background others <<<"$counts"
    [ "$background" -ge $((others * 2)) ] && [ "$others" -ge 200 ]
}
snapshot() { (cd "$1" && find . -type f -print0 | sort -z | xargs -0 md5sum); }
run='Software\Microsoft\Windows\CurrentVersion\Run'
autostart() { # autostart PATH-PATTERN: the Run value under HKLM or HKCU starts it
    wine reg query "HKLM\\$run" /v Mnemora 2>/dev/null | tr -d '\r' | grep -qi "$1" ||
        wine reg query "HKCU\\$run" /v Mnemora 2>/dev/null | tr -d '\r' | grep -qi "$1"
}

# --- The zip, unpacked into a fresh folder, with a two-word list so that rounds come quickly.
mkdir "$work/unzipped"
unzip -q "$zip" -d "$work/unzipped"
portable=$work/unzipped/Mnemora-$version-win64 ini=$work/unzipped/Mnemora-$version-win64/mnemora.ini
[ ! -e "$ini" ] || fail "the zip holds a mnemora.ini"
rm "$portable/db/cet4.dat"
"$lister" create "$portable/db/cet4.dat" cet4 2 || fail "could not write the two-word list"
win_start "$portable/mnemora.exe" "$work/zip.log"
first=$program
wait_for 60 grep -q '^ui-trace: ' "$work/zip.log" || { cat "$work/zip.log" >&2; fail "the unpacked program did not start"; }
[ "$(ini_value "$ini" RunTimes)" = 1 ] || fail "the first start wrote no RunTimes=1 into mnemora.ini beside the program"
autostart "Mnemora-$version-win64.mnemora.exe" || fail "the first start registered no autostart value Mnemora"
echo "package-test: the unpacked zip starts, writes mnemora.ini beside itself and registers autostart"

before=$(snapshot "$portable")
win_start "$portable/mnemora.exe" "$work/second.log"
second=$program
wait_for 30 grep -q '该软件已经正在运行！' "$work/second.log" || { cat "$work/second.log" >&2; fail "a second start did not say 该软件已经正在运行！"; }
box() { xdotool search --onlyvisible --pid "$second" 2>/dev/null | head -1 | grep .; }
wait_for 10 box || fail "the second start shows no message box"
xdotool windowfocus "$(box)" 2>/dev/null || true
sleep 0.3
xdotool key Return
wait_for 10 not_running "$second" || fail "the second start did not end when its message was closed"
running "$first" || fail "the second start ended the first"
[ "$(snapshot "$portable")" = "$before" ] || fail "the second start wrote into the program folder"
echo "package-test: a second start says 该软件已经正在运行！, writes nothing and ends"
program=$first
win_close
[ -n "$(ini_value "$ini" FloatWindowLeft)" ] || fail "WM_CLOSE did not save the window's place"

# On 1-second timers: a word drawn, then a few rounds, closed mid-round the Windows way.
quick "$ini"
base=$(($(ini_value "$ini" RunTimes) + 1))
win_start "$portable/mnemora.exe" "$work/timers.log"
wait_for 30 counted_at_least "$work/timers.log" 1 || { cat "$work/timers.log" >&2; fail "no word shown"; }
wait_for 10 drawn || fail "the float window draws no word ($work/window.png)"
[ -n "${SHOT:-}" ] && import -window root "$SHOT"
wait_for 40 counted_at_least "$work/timers.log" 5 || fail "the words did not come round on 1-second timers"
win_close
check_counters "$portable/db/cet4.dat" "$work/timers.log" "$base" word1 word2
echo "package-test: on 1-second timers the counters follow the interval table and WM_CLOSE saves them" \
    "($(tr '\n' ' ' <<<"$("$lister" counters "$portable/db/cet4.dat" cet4)"))"

# --- The installer, silently, as the current user.
users=$WINEPREFIX/drive_c/users/$(whoami)
instdir=$users/AppData/Local/Programs/Mnemora
appdata=$users/AppData/Roaming/Mnemora
uninstall='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Mnemora'
wine "$setup" /S
wineserver -w
[ -f "$instdir/bin/mnemora.exe" ] || fail "no $instdir/bin/mnemora.exe after a silent install"
[ ! -e "$instdir/bin/db" ] || fail "the installed program has lists beside it (it would run portable)"
wine reg query "$uninstall" /v UninstallString 2>/dev/null | grep -qi 'Uninstall.exe' || fail "no uninstall entry"
find "$users" -path '*Start Menu/Programs/Mnemora/Mnemora.lnk' | grep -q . || fail "no Start-menu entry"
echo "package-test: installed silently into AppData/Local/Programs/Mnemora"

win_start "$instdir/bin/mnemora.exe" "$work/installed.log"
wait_for 60 test -f "$appdata/db/cet4.dat" -a -f "$appdata/mnemora.ini" ||
    { cat "$work/installed.log" >&2; fail "the installed program keeps no settings and lists in %APPDATA%\\Mnemora"; }
[ -z "$(find "$instdir" -name '*.ini' -o -name '.templates')" ] || fail "the installed program wrote into its program folder"
win_close
[ "$(ini_value "$appdata/mnemora.ini" RunTimes)" = 1 ] || fail "no RunTimes=1 in %APPDATA%\\Mnemora\\mnemora.ini"
echo "package-test: the installed program keeps its data in %APPDATA%\\Mnemora"

# The newer build over the running program: it is closed first (saving what it counted) and
# started again.
quick "$appdata/mnemora.ini"
base=$(($(ini_value "$appdata/mnemora.ini" RunTimes) + 1))
win_start "$instdir/bin/mnemora.exe" "$work/upgraded.log"
wait_for 30 counted_at_least "$work/upgraded.log" 3 || { cat "$work/upgraded.log" >&2; fail "the installed program shows no words"; }
# The program it starts again inherits the installer's output, and so the trace.
MNEMORA_TRACE_UI=1 wine "$newer_setup" /S 2>"$work/restarted.log"
wait_for 20 not_running "$program" || fail "installing over the running program left it running"
wine reg query "$uninstall" /v DisplayVersion 2>/dev/null | grep -q "$newer" || fail "the upgrade did not install $newer"
wait_for 30 grep -q '^ui-trace: ' "$work/restarted.log" || fail "the upgrade did not start the program again"
wine taskkill /im mnemora.exe >/dev/null 2>&1 || true
timeout 30 wineserver -w || fail "the restarted program did not end on WM_CLOSE"
words=$(cat "$work/upgraded.log" "$work/restarted.log" | tr -d '\r' | sed -n 's/^ui-trace: word \(.*\) counted$/\1/p' | sort -u)
mapfile -t words <<<"$words"
check_counters "$appdata/db/cet4.dat" "$work/upgraded.log $work/restarted.log" "" "${words[@]}"
[ "$(ini_value "$appdata/mnemora.ini" RunTimes)" -ge 3 ] || fail "the upgrade lost RunTimes"
echo "package-test: installing $newer over the running program keeps the progress (${#words[@]} words counted)"

# The uninstaller (it reruns itself from a temporary copy, so wait for the folder to go).
wine "$instdir/Uninstall.exe" /S
wait_for 30 test ! -e "$instdir/bin/mnemora.exe" || fail "the uninstaller left the program"
wineserver -w
[ ! -e "$instdir" ] || fail "the uninstaller left $(find "$instdir" | head -5)"
if wine reg query "$uninstall" >/dev/null 2>&1; then fail "the uninstall entry stayed"; fi
find "$users" -name Mnemora.lnk | grep -q . && fail "the Start-menu entry stayed"
autostart 'Programs.Mnemora' && fail "the autostart value still starts the removed program"
[ -f "$appdata/mnemora.ini" ] && [ -f "$appdata/db/cet4.dat" ] || fail "the uninstaller removed %APPDATA%\\Mnemora"
echo "package-test: the uninstaller removes the program and keeps %APPDATA%\\Mnemora"
echo "package-test: passed in $((SECONDS - began)) s"
