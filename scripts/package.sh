#!/usr/bin/env bash
# Builds the Debian package build/mnemora_<version>_<arch>.deb from the build folder that
# scripts/setup.sh made (program and word lists).   Usage: scripts/package.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
[ -f "$build/CMakeCache.txt" ] || { echo "package: no build in $build; run scripts/setup.sh first" >&2; exit 1; }
ls "$build"/db/*.dat >/dev/null 2>&1 || "$root/scripts/build-wordlists.sh" "$build/db"
cmake --build "$build" -j "$(nproc)"
(cd "$build" && cpack -G DEB -C RelWithDebInfo >/dev/null)
deb=$(ls -t "$build"/mnemora_*.deb | head -1)
echo "package: $deb ($(du -h "$deb" | cut -f1))"
