#!/usr/bin/env bash
# Builds the twelve word lists (and CREDITS.txt) with build/wordlists.
#   Usage: scripts/build-wordlists.sh [OUTDIR] [--wordsource DIR]
# OUTDIR defaults to build/db. ECDICT comes from .cache/ecdict.csv (fetched and checked
# when missing), English-only examples from /usr/share/wordnet. A folder of further sources
# (--wordsource, else $MNEMORA_WORDSOURCE, else the build's MNEMORA_WORDSOURCE setting)
# adds the Tatoeba sentence pairs, the TOEIC Service List and the IPA fallback; the pairs and
# the list that folder lacks are taken from .cache/ when scripts/fetch-sources.sh put them there.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${MNEMORA_BUILD_DIR:-$root/build}"
out="" wordsource="${MNEMORA_WORDSOURCE:-}"
while [ $# -gt 0 ]; do
    case "$1" in
    --wordsource) wordsource="$2"; shift ;;
    -*) echo "build-wordlists: unknown option $1" >&2; exit 2 ;;
    *) out="$1" ;;
    esac
    shift
done
out="${out:-$build/db}"
tool="$build/wordlists"
if [ ! -x "$tool" ]; then
    echo "build-wordlists: $tool is not built yet (cmake --build build)" >&2
    exit 1
fi
if [ -z "$wordsource" ] && [ -f "$build/CMakeCache.txt" ]; then
    wordsource=$(sed -n 's/^MNEMORA_WORDSOURCE:[A-Z]*=//p' "$build/CMakeCache.txt")
fi

"$root/scripts/fetch-dictionary.sh" --ecdict-only
args=(--ecdict "$root/.cache/ecdict.csv" --out "$out")
if [ -d /usr/share/wordnet ]; then
    args+=(--wordnet /usr/share/wordnet)
elif [ -n "$wordsource" ] && [ -f "$wordsource/wordnet-examples/wordnet30_examples.tsv" ]; then
    args+=(--wordnet-examples "$wordsource/wordnet-examples/wordnet30_examples.tsv")
fi
if [ -n "$wordsource" ] && [ ! -d "$wordsource" ]; then
    echo "build-wordlists: word-source folder $wordsource does not exist" >&2
    exit 1
fi
# The original pairs mix both scripts; the builder converts them and prefers
# translations that were Simplified already.
for pairs in ${wordsource:+"$wordsource/tatoeba-cmn-eng/cmn.txt" "$wordsource/tatoeba-cmn-eng/cmn_zh-hans.txt"} \
    "$root/.cache/tatoeba-cmn-eng/cmn.txt"; do
    if [ -f "$pairs" ]; then args+=(--sentences "$pairs"); break; fi
done
for tsl in ${wordsource:+"$wordsource/ngsl-tsl/TSL_1.2_stats.csv"} "$root/.cache/ngsl-tsl/TSL_1.2_stats.csv"; do
    if [ -f "$tsl" ]; then args+=(--list "toeic=$tsl"); break; fi
done
ipa="$wordsource/ipa-dict-en_US/en_US.txt"
[ -n "$wordsource" ] && [ -f "$ipa" ] && args+=(--ipa "$ipa")
echo "build-wordlists: ${args[*]}"
exec "$tool" "${args[@]}"
