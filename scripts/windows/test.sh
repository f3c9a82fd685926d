#!/usr/bin/env bash
# Runs the cross-built tests under Wine (build-win/, made by build.sh), then starts mnemora.exe
# under Xvfb on the Windows platform plugin and checks that it shows a word of a Linux-built list.
set -euo pipefail
. "$(dirname "$0")/lib.sh"
out=$REPO_DIR/build-win
ctest --test-dir "$out" --output-on-failure -j "${JOBS:-2}"
"$WIN_DIR/smoke.sh"
