#!/usr/bin/env bash
# Packs the Windows build (build-win/, made by build.sh) two ways into build-win/:
# - Mnemora-<version>-win64.zip: one folder that runs where it is unpacked (settings and
#   progress beside the program): mnemora.exe, the DLLs it imports, found by walking the
#   imports from the SDK and the MinGW runtime, the Qt plugins it loads, its modules, and
#   db/ with the lists and CREDITS.txt;
# - Mnemora-<version>-win64-setup.exe: the same files as an installed tree (bin/ and
#   share/mnemora/db/), packed by CPack's NSIS generator (cmake/windows/NSIS.template.in).
# Lists come from the Linux build (build/db/).   Usage: scripts/windows/package.sh
set -euo pipefail
. "$(dirname "$0")/lib.sh"
out=$REPO_DIR/build-win
lists=$REPO_DIR/build/db
ls "$lists"/*.dat >/dev/null 2>&1 && [ -f "$lists/CREDITS.txt" ] ||
    { echo "package: no lists in $lists (build them on Linux first)" >&2; exit 1; }
[ -f "$out/CMakeCache.txt" ] || "$WIN_DIR/build.sh" >/dev/null
cmake --build "$out" -j "${JOBS:-2}" --target mnemora >/dev/null
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$out/CMakeCache.txt")
name=Mnemora-$version-win64

# Where an imported DLL may come from; a name found in none of these must be one Windows
# itself provides (Wine's own DLLs stand for them), or the package would not start.
gccdir=$(dirname "$($TRIPLE-g++-posix -print-libgcc-file-name)")
sources=("$(qt_dir)/bin" "$(sqlcipher_dir)/bin" "$gccdir" "/usr/$TRIPLE/lib")
system=/usr/lib/x86_64-linux-gnu/wine/x86_64-windows
declare -A found=()
for dir in "${sources[@]}"; do
    for dll in "$dir"/*.dll; do
        [ -f "$dll" ] || continue
        key=$(basename "${dll,,}")
        [ -n "${found[$key]:-}" ] || found[$key]=$dll
    done
done

# The program, the plugins Qt loads by name and the modules the program loads: the roots of
# the walk, each with its folder inside the package.
qt=$(qt_dir)
roots=("$out/mnemora.exe=." "$qt/plugins/platforms/qwindows.dll=platforms"
    "$qt/plugins/styles/qwindowsvistastyle.dll=styles")
for module in "$out"/mnemora-*.dll "$out"/libmnemora-*.dll; do
    [ -f "$module" ] && roots+=("$module=.")
done

stage=$out/stage
rm -rf "$stage"
app=$stage/$name
mkdir -p "$app/db"
declare -A packed=()
queue=()
for root in "${roots[@]}"; do
    file=${root%=*}
    mkdir -p "$app/${root#*=}"
    cp "$file" "$app/${root#*=}/"
    queue+=("$file")
done
while [ ${#queue[@]} -gt 0 ]; do
    file=${queue[0]}
    queue=("${queue[@]:1}")
    while read -r import; do
        key=${import,,}
        [ -n "${packed[$key]:-}" ] && continue
        packed[$key]=1
        if [ -n "${found[$key]:-}" ]; then
            cp "${found[$key]}" "$app/"
            queue+=("${found[$key]}")
        elif [ ! -f "$system/$key" ] && [[ $key != api-ms-win-* ]]; then
            echo "package: $(basename "$file") imports $import, found nowhere" >&2
            exit 1
        fi
    done < <($TRIPLE-objdump -p "$file" | sed -n 's/^\tDLL Name: \(.*\)$/\1/p')
done
find "$app" -iname '*.dll' -o -iname '*.exe' | xargs $TRIPLE-strip --strip-unneeded
cp "$lists"/*.dat "$lists/CREDITS.txt" "$app/db/"
# Qt's own texts (buttons, spin-box messages) in Chinese, looked for in translations/ beside the
# program: the SDK has none, the host's Qt is the same version.
mkdir -p "$app/translations"
cp /usr/share/qt6/translations/qtbase_zh_CN.qm "$app/translations/"

zip=$out/$name.zip
rm -f "$zip"
(cd "$stage" && zip -qr -9 "$zip" "$name")

# The installed tree: without db/ beside the program it keeps each user's data in their profile.
installed=$stage/installed
mkdir -p "$installed/share/mnemora"
cp -r "$app" "$installed/bin"
mv "$installed/bin/db" "$installed/share/mnemora/db"
rm -f "$out/$name-setup.exe"
(cd "$out" && cpack -G NSIS >"$stage/cpack.log" 2>&1) ||
    { cat "$stage/cpack.log" >&2; exit 1; }
setup=$out/$name-setup.exe
[ -f "$setup" ] || { echo "package: cpack made no $setup" >&2; cat "$stage/cpack.log" >&2; exit 1; }
echo "package: $zip ($(du -h "$zip" | cut -f1))"
echo "package: $setup ($(du -h "$setup" | cut -f1))"
