#!/usr/bin/env bash
# Checks the two Windows packages (made by package.sh) under Wine on a private Xvfb, in a
# fresh prefix:
# - the zip, unpacked into a fresh folder, starts with only what it holds, shows a word and
#   keeps its settings beside the program;
# - the installer installs silently (/S) for the current user with a Start-menu entry and an
#   uninstall entry; the installed program keeps its data in the user's profile; installing
#   again (an upgrade) keeps that progress; the uninstaller removes the program, its entries
#   and its autostart value, and leaves the data.
# SHOT=FILE keeps a screenshot of the unpacked program.
set -euo pipefail
. "$(dirname "$0")/lib.sh"
out=$REPO_DIR/build-win
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$out/CMakeCache.txt")
zip=$out/Mnemora-$version-win64.zip setup=$out/Mnemora-$version-win64-setup.exe
[ -f "$zip" ] && [ -f "$setup" ] || { echo "package-test: run scripts/windows/package.sh first" >&2; exit 1; }

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
    echo "package-test: $*" >&2
    exit 1
}
ini_has() { grep -q "^$2" <(tr -d '\r' <"$1"); }
wait_for() { # SECONDS COMMAND...
    local until=$((SECONDS + $1))
    shift
    until "$@" >/dev/null 2>&1; do
        [ $SECONDS -lt $until ] || return 1
        sleep 0.5
    done
}
# set_ini FILE SECTION KEY VALUE: the key's line replaced, or added to its section.
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
# Quick words, and no pause while Xvfb has had no input.
quick() {
    set_ini "$1" Word WordElapse 2
    set_ini "$1" Word WordDelayChnTime 1
    set_ini "$1" Away PauseWhenAway 0
}
shown() { grep -q 'ui-trace: word .* counted' "$1"; }

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
# No WINEPATH (the programs find only what the packages hold and Windows itself), and no
# menu entries written to the Linux desktop.
export DISPLAY=$display WINEPREFIX=$work/wine WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d'
unset QT_QPA_PLATFORM WINEPATH
wait_for 10 xdpyinfo || fail "no X server on $display"
wine wineboot -i >/dev/null 2>&1
wineserver -w

# start EXE LOG CHECK...: starts the program and waits until the check passes; close: asks it
# to end as Windows does.
start() {
    local exe=$1 log=$2
    shift 2
    MNEMORA_TRACE_UI=1 wine "$exe" >"$log" 2>&1 &
    pids+=($!)
    wait_for 60 "$@" || { cat "$log" >&2; fail "$exe did not start ($*)"; }
}
close() {
    local pid=${pids[-1]}
    wine taskkill /im mnemora.exe >/dev/null 2>&1 || true
    wait_for 20 not_running "$pid" || fail "mnemora.exe did not end on WM_CLOSE"
}
not_running() { ! kill -0 "$1" 2>/dev/null; }

# The zip.
mkdir "$work/unzipped"
unzip -q "$zip" -d "$work/unzipped"
portable=$work/unzipped/Mnemora-$version-win64
quick "$portable/mnemora.ini"
start "$portable/mnemora.exe" "$work/zip.log" shown "$work/zip.log"
[ -n "${SHOT:-}" ] && import -display "$display" -window root "$SHOT"
ini_has "$portable/mnemora.ini" RunTimes=1 || fail "the unpacked program wrote no mnemora.ini beside itself"
close
echo "package-test: the unpacked zip runs ($(grep -m1 -o 'word .* counted' "$work/zip.log"))"

# The installer, silently, as the current user.
users=$WINEPREFIX/drive_c/users/$(whoami)
instdir=$users/AppData/Local/Programs/Mnemora
uninstall='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Mnemora'
run='Software\Microsoft\Windows\CurrentVersion\Run'
wine "$setup" /S
wineserver -w
[ -f "$instdir/bin/mnemora.exe" ] || fail "no $instdir/bin/mnemora.exe after a silent install"
[ ! -e "$instdir/bin/db" ] || fail "the installed program has lists beside it (it would run portable)"
wine reg query "$uninstall" /v UninstallString 2>/dev/null | grep -qi 'Uninstall.exe' || fail "no uninstall entry"
find "$users" -path '*Start Menu/Programs/Mnemora/Mnemora.lnk' | grep -q . || fail "no Start-menu entry"
echo "package-test: installed silently into $(basename "$(dirname "$(dirname "$instdir")")")/Programs/Mnemora"

profile_settings() { find "$users" -name mnemora.ini -not -path "$instdir/*" | grep .; }
start "$instdir/bin/mnemora.exe" "$work/installed.log" profile_settings
close
settings=$(profile_settings | head -1)
ini_has "$settings" RunTimes=1 || fail "the installed program kept no settings in the profile"
lists=$(find "$users" -name cet4.dat -not -path "$instdir/*" | grep .) || fail "no lists copied into the profile"
[ -z "$(find "$instdir" -name '*.ini')" ] || fail "the installed program wrote settings into its program folder"
echo "package-test: the installed program keeps its data in ${settings#"$WINEPREFIX/"}"

# An upgrade over it keeps the progress: the next start is the second.
wine "$setup" /S
wineserver -w
# This time it studies quickly, so that a word's counter is saved in the profile's lists.
quick "$settings"
start "$instdir/bin/mnemora.exe" "$work/upgraded.log" shown "$work/upgraded.log"
close
ini_has "$settings" RunTimes=2 || fail "settings lost over a reinstall: $(tr -d '\r' <"$settings" | grep RunTimes)"
echo "package-test: a reinstall keeps the progress"

# The uninstaller (it reruns itself from a temporary copy, so wait for the folder to go).
wine "$instdir/Uninstall.exe" /S
wait_for 30 test ! -e "$instdir/bin/mnemora.exe" || fail "the uninstaller left the program"
wineserver -w
[ ! -e "$instdir" ] || fail "the uninstaller left $(find "$instdir" | head -5)"
if wine reg query "$uninstall" >/dev/null 2>&1; then fail "the uninstall entry stayed"; fi
find "$users" -name Mnemora.lnk | grep -q . && fail "the Start-menu entry stayed"
for root in HKCU HKLM; do
    wine reg query "$root\\$run" /v Mnemora 2>/dev/null | grep -qi "Programs.Mnemora" &&
        fail "the autostart value in $root still starts the removed program"
done
[ -f "$settings" ] && [ -f "$lists" ] || fail "the uninstaller removed the user's settings or lists"
echo "package-test: the uninstaller removes the program and keeps the user's data"
echo "package-test: passed"
