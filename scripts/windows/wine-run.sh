#!/usr/bin/env bash
# Runs a cross-built program under Wine in the build's private prefix (build-win/wine; a test
# run by root: build-win/wine-nobody/prefix), made on first use. CTest uses it as the
# emulator; the exit status is the program's.
set -euo pipefail
. "$(dirname "$0")/lib.sh"
out=$REPO_DIR/build-win
export WINEPREFIX=${WINEPREFIX:-$out/wine}
export WINEARCH=win64 WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export WINEPATH=${MNEMORA_WINE_PATH:-$(win_path)}
# Qt's offscreen plugin finds no fonts on Windows by itself: give it the scalable ones Linux has.
export QT_QPA_FONTDIR=${QT_QPA_FONTDIR:-Z:\\usr\\share\\fonts\\truetype\\liberation}
test=false
if [ $# -ge 1 ] && [[ $(basename "$1") == test_*.exe ]]; then
    test=true
fi
# Permissions mean nothing to root, and under Wine a test cannot drop them for a case as the
# Linux tests do: run as root, the tests run whole as "nobody", in a prefix of its own. That
# user cannot reach the SDK under root's home: the build's copies of its DLLs and plugins serve.
as=()
# Qt Test stops a test function after 5 minutes; the fault loops run several times slower
# under Wine than natively, more so on a busy machine.
$test && export QTEST_FUNCTION_TIMEOUT=${QTEST_FUNCTION_TIMEOUT:-900000}
if $test && [ "$(id -u)" = 0 ]; then
    export WINEPREFIX=$out/wine-nobody/prefix HOME=$out/wine-nobody
    export WINEPATH="Z:${out//\//\\};$(win_path | tr ';' '\n' | grep -v '\\mnemora\\win-sdk\\' | paste -sd ';')"
    export QT_PLUGIN_PATH=${QT_PLUGIN_PATH:-Z:${out//\//\\}}
    mkdir -p "$HOME"
    chown nobody:nogroup "$HOME"
    as=(setpriv --reuid=nobody --regid=nogroup --clear-groups --)
fi
# Wine keeps QT_* variables from Windows programs (they are meant for Unix Qt), but passes
# WINEQT_* on under the plain name: without this the tests' QT_QPA_PLATFORM=offscreen is lost
# and the windows plugin, which cannot make windows under Wine without a display, is used.
for name in $(compgen -e); do
    [[ $name != QT_* ]] || export "WINE$name=${!name}"
done
"${as[@]}" mkdir -p "$WINEPREFIX"
# Tests start in parallel: one of them makes the prefix, the others wait for it. Wine's server
# and its services (explorer's desktop among them) are started here too, detached from every
# pipe: started by a test, they would hold CTest's pipe for that test until they end, and that
# test would seem to run as long as all the others.
(
    flock 9
    [ -f "$WINEPREFIX/system.reg" ] || { "${as[@]}" wine wineboot -i >/dev/null 2>&1 && "${as[@]}" wineserver -w; }
    if "${as[@]}" wineserver -p5 </dev/null >/dev/null 2>&1; then
        "${as[@]}" wine cmd /c exit </dev/null >/dev/null 2>&1 || true
    fi
) 9>"$WINEPREFIX.lock"
# A Qt test's report written to stdout does not reach the pipe under Wine: the test writes
# it to a file, shown afterwards.
if $test; then
    report=$(mktemp)
    [ ${#as[@]} -eq 0 ] || chown nobody "$report"
    status=0
    "${as[@]}" wine "$@" -o "$report,txt" || status=$?
    cat "$report"
    rm -f "$report"
    exit "$status"
fi
exec wine "$@"
