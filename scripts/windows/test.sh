#!/usr/bin/env bash
# Runs the cross-built tests under Wine (build-win/, made by build.sh), then starts mnemora.exe
# under Xvfb on the Windows platform plugin and checks that it shows a word of a Linux-built list.
# The tests named in known-failures.txt run too, but do not decide the outcome.
set -euo pipefail
. "$(dirname "$0")/lib.sh"
out=$REPO_DIR/build-win
known=$(sed 's/#.*//' "$WIN_DIR/known-failures.txt" | xargs | tr ' ' '|')
if [ -n "$known" ]; then
    ctest --test-dir "$out" --output-on-failure -j "${JOBS:-2}" -E "^($known)\$"
    ctest --test-dir "$out" -j "${JOBS:-2}" -R "^($known)\$" ||
        echo "windows: known failures still fail (scripts/windows/known-failures.txt)" >&2
else
    ctest --test-dir "$out" --output-on-failure -j "${JOBS:-2}"
fi
"$WIN_DIR/smoke.sh"
