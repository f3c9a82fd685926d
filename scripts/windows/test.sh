#!/usr/bin/env bash
# Runs the cross-built tests under Wine (build-win/, made by build.sh), then starts mnemora.exe
# under Xvfb on the Windows platform plugin and checks that it shows a word of a Linux-built list.
set -euo pipefail
. "$(dirname "$0")/lib.sh"
ctest --test-dir "$REPO_DIR/build-win" --output-on-failure -j "${JOBS:-2}"
"$WIN_DIR/smoke.sh"
