#!/usr/bin/env bash
# Builds the Windows SDK (Qt's base module, SQLCipher) from Debian bookworm source packages into
# $MNEMORA_WIN_SDK (default ~/.cache/mnemora/win-sdk). Each part is cached under its own key (its recipe,
# the toolchain, the compiler and the pinned source versions): a second run finds it and returns at once.
# A part is built in a scratch folder and renamed into place only when complete.
# Usage: sdk.sh [qt|sqlcipher]... (default: both)
set -euo pipefail
. "$(dirname "$0")/lib.sh"
JOBS=${JOBS:-2}
export TOOLCHAIN TRIPLE JOBS

qt=$(qt_dir)
sqlc=$(sqlcipher_dir)
if [ -d "$qt" ] && [ -d "$sqlc" ]; then
    echo "sdk: $qt"
    echo "sdk: $sqlc"
    exit 0
fi

missing=()
for p in $(grep -v '^#' "$WIN_DIR/packages.txt"); do
    dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "sdk: installing ${missing[*]}" >&2
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# One run at a time; scratch folders of a run that was cut off are removed.
mkdir -p "$SDK_ROOT"
exec 8>"$SDK_ROOT/.lock"
flock 8
rm -rf "$SDK_ROOT"/.work-* "$SDK_ROOT"/src/.fetch.*

# Source packages through a private apt configuration with deb-src entries (the system's is left alone).
apt_dir=$SDK_ROOT/apt
src_dir=$SDK_ROOT/src
mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$apt_dir/parts.d" "$src_dir"
key=/usr/share/keyrings/debian-archive-keyring.gpg
cat >"$apt_dir/sources.list" <<LIST
deb-src [signed-by=$key] http://deb.debian.org/debian bookworm main
deb-src [signed-by=$key] http://deb.debian.org/debian bookworm-updates main
deb-src [signed-by=$key] http://deb.debian.org/debian-security bookworm-security main
LIST
apt_opts=(-o Dir::Etc::SourceList="$apt_dir/sources.list" -o Dir::Etc::SourceParts="$apt_dir/parts.d"
    -o Dir::State::Lists="$apt_dir/lists" -o Dir::Cache="$apt_dir/cache")
updated=
fetch() { # pin -> prints the unpacked source folder
    local pin=$1 name=${1%%=*} version=${1#*=}
    local dir=$src_dir/$name-$version
    if [ ! -d "$dir" ]; then
        if [ -z "$updated" ]; then
            apt-get "${apt_opts[@]}" update -qq >&2
            updated=1
        fi
        local tmp
        tmp=$(mktemp -d "$src_dir/.fetch.XXXXXX")
        (cd "$tmp" && apt-get "${apt_opts[@]}" source --download-only "$pin" >&2 &&
            dpkg-source --no-check -x ./*.dsc unpacked >/dev/null)
        mv "$tmp/unpacked" "$dir"
        rm -rf "$tmp"
    fi
    echo "$dir"
}

build_part() { # name final-dir recipe
    local name=$1 final=$2 recipe=$3
    [ -d "$final" ] && return 0
    local start=$SECONDS
    WORK=$(mktemp -d "$SDK_ROOT/.work-$name.XXXXXX")
    OUT=$WORK/out
    trap 'rm -rf "$WORK"' EXIT
    echo "sdk: building $name into $final" >&2
    (. "$WIN_DIR/$recipe")
    echo "$((SECONDS - start))" >"$OUT/build-seconds"
    mv "$OUT" "$final"
    rm -rf "$WORK"
    trap - EXIT
    echo "sdk: $name built in $((SECONDS - start)) s, $(du -sh "$final" | cut -f1)" >&2
}

parts=("$@")
[ ${#parts[@]} -gt 0 ] || parts=(qt sqlcipher)
for part in "${parts[@]}"; do
    case $part in
    qt)
        SRC=$(fetch "$QT_SRC")
        export SRC
        build_part qt "$qt" qt.sh
        ;;
    sqlcipher)
        SRC=$(fetch "$SQLCIPHER_SRC")
        TOMCRYPT_SRC_DIR=$(fetch "$TOMCRYPT_SRC")
        export SRC TOMCRYPT_SRC_DIR
        build_part sqlcipher "$sqlc" sqlcipher.sh
        ;;
    *) echo "sdk: unknown part $part (qt, sqlcipher)" >&2 && exit 2 ;;
    esac
done
for dir in "$qt" "$sqlc"; do
    if [ -d "$dir" ]; then
        echo "sdk: $dir ($(du -sh "$dir" | cut -f1), built in $(cat "$dir/build-seconds") s)"
    fi
done
