#!/usr/bin/env bash
# Cross-builds this tree for 64-bit Windows into build-win/: mnemora.exe, its modules and the
# tests that do not need Linux, warnings as errors. Builds the SDK first when it is missing.
# Word lists come from the Linux build (build/db/); `ctest --test-dir build-win` runs the tests
# under Wine.
set -euo pipefail
. "$(dirname "$0")/lib.sh"
"$WIN_DIR/sdk.sh" >/dev/null
qt=$(qt_dir)
sqlc=$(sqlcipher_dir)
out=$REPO_DIR/build-win
export PKG_CONFIG_LIBDIR=$sqlc/lib/pkgconfig
# A rebuilt SDK part has a new folder; CMake's cached package results would point at the old one.
mkdir -p "$out"
if [ "$(cat "$out/sdk-parts" 2>/dev/null)" != "$qt;$sqlc" ]; then
    rm -f "$out/CMakeCache.txt"
    echo "$qt;$sqlc" >"$out/sdk-parts"
fi
cmake -S "$REPO_DIR" -B "$out" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_PREFIX_PATH="$qt;$sqlc" \
    -DCMAKE_FIND_ROOT_PATH="$qt;$sqlc" \
    -DQT_HOST_PATH=/usr \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DMNEMORA_WERROR=ON \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$WIN_DIR/wine-run.sh" \
    "$@"
cmake --build "$out" -j "${JOBS:-2}"
# The lists the Linux builder made, so that build-win/ runs as a portable copy.
if [ -d "$REPO_DIR/build/db" ]; then
    mkdir -p "$out/db"
    cp -u "$REPO_DIR"/build/db/*.dat "$out/db/" 2>/dev/null || true
fi
# The runtime DLLs and Qt plugins beside the program, so it starts by itself under Wine.
for dll in "$qt"/bin/*.dll "$sqlc"/bin/*.dll; do
    cp -u "$dll" "$out/"
done
mkdir -p "$out/platforms" "$out/styles" "$out/imageformats"
cp -u "$qt"/plugins/platforms/qwindows.dll "$qt"/plugins/platforms/qoffscreen.dll "$out/platforms/"
cp -u "$qt"/plugins/styles/*.dll "$out/styles/" 2>/dev/null || true
cp -u "$qt"/plugins/imageformats/*.dll "$out/imageformats/" 2>/dev/null || true
# Qt's own Chinese texts: the SDK has none, and the file is the same for every platform.
# The tests look beside themselves, as the program does.
for dir in "$out/translations" "$out/tests/translations"; do
    mkdir -p "$dir"
    cp -u /usr/share/qt6/translations/qtbase_zh_CN.qm "$dir/" 2>/dev/null || true
done
echo "build-win: $out/mnemora.exe"
