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

# A folder given to an earlier setup stays the build's setting.
if [ -z "$wordsource" ] && [ -f "$build/CMakeCache.txt" ]; then
    wordsource=$(sed -n 's/^MNEMORA_WORDSOURCE:[A-Z]*=//p' "$build/CMakeCache.txt")
fi

# The sentence pairs and the TOEIC Service List come from the word-source folder, else from
# their public origins into .cache/; without a network the lists are built without them.
has_source() { # has_source PATH-IN-A-WORD-SOURCE-FOLDER
    { [ -n "$wordsource" ] && [ -f "$wordsource/$1" ]; } || [ -f "$root/.cache/$1" ]
}
pairs=tatoeba-cmn-eng/cmn.txt tsl=ngsl-tsl/TSL_1.2_stats.csv
if [ -n "$wordsource" ] && [ -f "$wordsource/$pairs" ] && [ -f "$wordsource/$tsl" ]; then
    "$root/scripts/fetch-dictionary.sh" --ecdict-only
else
    rc=0
    "$root/scripts/fetch-dictionary.sh" || rc=$?
    [ "$rc" = 0 ] || [ "$rc" = 3 ] || exit "$rc"
fi

cmake_args=(-S "$root" -B "$build" -G Ninja)
[ -n "$wordsource" ] && cmake_args+=("-DMNEMORA_WORDSOURCE=$wordsource")
[ "${CI:-}" = true ] && cmake_args+=(-DMNEMORA_WERROR=ON)
cmake "${cmake_args[@]}"
cmake --build "$build" -j "$(nproc)"

if [ -x "$build/wordlists" ]; then
    "$root/scripts/build-wordlists.sh" "$build/db" ${wordsource:+--wordsource "$wordsource"}
    lacking=()
    has_source "$pairs" || lacking+=("the Tatoeba sentence pairs, so example sentences are English-only")
    has_source "$tsl" || lacking+=("the TOEIC Service List, so TOEIC is the substitute list")
    if [ ${#lacking[@]} -gt 0 ]; then
        missing=$(printf '%s; ' "${lacking[@]}")
        echo "setup: the word lists were built without ${missing%; } (not reachable from here):" \
            "add them with scripts/fetch-sources.sh once online, or scripts/setup.sh --wordsource DIR" \
            "(a folder with $pairs and $tsl), then run the setup again" >&2
    fi
fi

if [ "$run" = 1 ]; then
    if [ -x "$build/mnemora" ]; then
        exec "$build/mnemora"
    fi
    echo "setup: built everything; the float window program is not part of this build yet" >&2
fi
