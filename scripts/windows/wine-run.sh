#!/usr/bin/env bash
# Runs a cross-built program under Wine in the build's private prefix (build-win/wine), made
# on first use. CTest uses it as the emulator; the exit status is the program's.
set -euo pipefail
. "$(dirname "$0")/lib.sh"
export WINEPREFIX=${WINEPREFIX:-$REPO_DIR/build-win/wine}
export WINEARCH=win64 WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export WINEPATH=${MNEMORA_WINE_PATH:-$(win_path)}
# Qt's offscreen plugin finds no fonts on Windows by itself: give it the scalable ones Linux has.
export QT_QPA_FONTDIR=${QT_QPA_FONTDIR:-Z:\\usr\\share\\fonts\\truetype\\liberation}
# Wine keeps QT_* variables from Windows programs (they are meant for Unix Qt), but passes
# WINEQT_* on under the plain name: without this the tests' QT_QPA_PLATFORM=offscreen is lost
# and the windows plugin, which cannot make windows under Wine without a display, is used.
for name in $(compgen -e); do
    [[ $name != QT_* ]] || export "WINE$name=${!name}"
done
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    # Tests start in parallel: one of them makes the prefix, the others wait for it.
    (
        flock 9
        [ -f "$WINEPREFIX/system.reg" ] || { wine wineboot -i >/dev/null 2>&1 && wineserver -w; }
    ) 9>"$WINEPREFIX.lock"
fi
# A Qt test's report written to stdout does not reach the pipe under Wine: the test writes
# it to a file, shown afterwards.
if [ $# -ge 1 ] && [[ $(basename "$1") == test_*.exe ]]; then
    report=$(mktemp)
    status=0
    wine "$@" -o "$report,txt" || status=$?
    cat "$report"
    rm -f "$report"
    exit "$status"
fi
exec wine "$@"
