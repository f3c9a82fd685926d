# Shared by the Windows scripts: where the SDK lives and how each part's cache is named.
# shellcheck shell=bash
WIN_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
REPO_DIR=$(cd "$WIN_DIR/../.." && pwd)
SDK_ROOT=${MNEMORA_WIN_SDK:-${XDG_CACHE_HOME:-$HOME/.cache}/mnemora/win-sdk}
TOOLCHAIN=$REPO_DIR/cmake/mingw-w64.cmake
TRIPLE=x86_64-w64-mingw32

# Debian bookworm source packages the SDK is built from (pinned: the version is part of each cache key).
QT_SRC=qt6-base=6.4.2+dfsg-10
SQLCIPHER_SRC=sqlcipher=3.4.1-2
TOMCRYPT_SRC=libtomcrypt=1.18.2-6

# A part's key: its recipe, the toolchain, the compiler and its pinned sources.
part_key() { # recipe-file pins...
    local recipe=$1
    shift
    {
        cat "$WIN_DIR/$recipe" "$TOOLCHAIN"
        printf '%s\n' "$@"
        $TRIPLE-g++-posix --version | head -1
    } | sha256sum | cut -c1-16
}
qt_dir() { echo "$SDK_ROOT/qt-$(part_key qt.sh "$QT_SRC")"; }
sqlcipher_dir() { echo "$SDK_ROOT/sqlcipher-$(part_key sqlcipher.sh "$SQLCIPHER_SRC" "$TOMCRYPT_SRC")"; }

# Runtime DLL folders for Wine: Qt, SQLCipher, and the compiler's own runtime.
win_path() {
    local gccdir
    gccdir=$(dirname "$($TRIPLE-g++-posix -print-libgcc-file-name)")
    local dir out=
    for dir in "$(qt_dir)/bin" "$(sqlcipher_dir)/bin" "$gccdir" "/usr/$TRIPLE/lib"; do
        out+="${out:+;}Z:${dir//\//\\}"
    done
    echo "$out"
}
