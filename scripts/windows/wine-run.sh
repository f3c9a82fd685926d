#!/usr/bin/env bash
# Runs a cross-built program under Wine in the build's private prefix (build-win/wine), made
# on first use. CTest uses it as the emulator; the exit status is the program's.
set -euo pipefail
. "$(dirname "$0")/lib.sh"
export WINEPREFIX=${WINEPREFIX:-$REPO_DIR/build-win/wine}
export WINEARCH=win64 WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export WINEPATH=${MNEMORA_WINE_PATH:-$(win_path)}
mkdir -p "$WINEPREFIX"
# Tests start in parallel: one of them makes the prefix, the others wait for it. Wine's server
# and its services (explorer's desktop among them) are started here too, detached from every
# pipe: started by a test, they would hold CTest's pipe for that test until they end, and that
# test would seem to run as long as all the others.
(
    flock 9
    [ -f "$WINEPREFIX/system.reg" ] || { wine wineboot -i >/dev/null 2>&1 && wineserver -w; }
    if wineserver -p5 </dev/null >/dev/null 2>&1; then
        wine cmd /c exit </dev/null >/dev/null 2>&1 || true
    fi
) 9>"$WINEPREFIX.lock"
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
