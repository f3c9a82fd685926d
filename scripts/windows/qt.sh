# Recipe: Qt's base module for Windows, shared DLLs, Release. Sourced by sdk.sh with
# $SRC (unpacked qt6-base), $WORK (scratch) and $OUT (install prefix); its text is part of the cache key.
# Only what the program and its tests use: Core, Gui, Widgets, Network, Test; the windows and offscreen
# platform plugins. Tools run from the host Qt (same version). Debian's tarball has no wintab, so tablet
# events are off; the windows plugin needs Direct2D left on.
cmake -S "$SRC" -B "$WORK/qt" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$OUT" \
    -DQT_HOST_PATH=/usr \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DBUILD_SHARED_LIBS=ON \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
    -DFEATURE_opengl=OFF -DINPUT_opengl=no -DFEATURE_vulkan=OFF -DFEATURE_dbus=OFF \
    -DFEATURE_sql=OFF -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF \
    -DFEATURE_icu=OFF -DFEATURE_openssl=OFF -DFEATURE_zstd=OFF -DFEATURE_jpeg=OFF \
    -DFEATURE_tabletevent=OFF -DFEATURE_direct2d=ON -DFEATURE_androiddeployqt=OFF \
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_png=OFF \
    -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_freetype=OFF -DFEATURE_freetype=ON
cmake --build "$WORK/qt" -j "$JOBS"
cmake --install "$WORK/qt"
# The compiler's runtime beside Qt's DLLs, so everything a program needs is in one bin/.
gccdir=$(dirname "$($TRIPLE-g++-posix -print-libgcc-file-name)")
cp "$gccdir/libstdc++-6.dll" "$gccdir/libgcc_s_seh-1.dll" /usr/$TRIPLE/lib/libwinpthread-1.dll "$OUT/bin/"
