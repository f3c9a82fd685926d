#!/usr/bin/env bash
# Fetches the optional word-list sources into .cache/, laid out as a word-source folder:
#   tatoeba-cmn-eng/cmn.txt         Tatoeba English–Chinese pairs (CC BY 2.0 FR), bilingual examples
#   ngsl-tsl/TSL_1.2_stats.csv      TOEIC Service List 1.2 (CC BY-SA 4.0), the TOEIC list's words
# Each is checked (format, size, and the pinned list's checksum) before it replaces anything, and
# a cached copy that passes is not fetched again. Without a network nothing fails: the missing
# sources are named on stderr and the exit status is 3; 0 when both are in the cache.
# Environment: MNEMORA_TATOEBA_URL (a zip holding cmn.txt, or cmn.txt itself), MNEMORA_TSL_URL,
# MNEMORA_TSL_SHA256 (empty: no checksum, e.g. for another copy), MNEMORA_CACHE_DIR.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cache="${MNEMORA_CACHE_DIR:-$root/.cache}"
tatoeba_url="${MNEMORA_TATOEBA_URL:-https://www.manythings.org/anki/cmn-eng.zip}"
tsl_url="${MNEMORA_TSL_URL:-https://raw.githubusercontent.com/clalanliu/CEFR_Text_Statistics/664e64a1a61ad2614273a34005939aef8dc867da/materials/english/vocab/toeic/TSL_1.2_stats.csv}"
if [ -n "${MNEMORA_TSL_URL:-}" ]; then
    tsl_sha="${MNEMORA_TSL_SHA256:-}"
else
    tsl_sha="${MNEMORA_TSL_SHA256-c0d007a8cdac793816414bd8202dd4e34a03110d922831508eb53415e5fb8182}"
fi
pairs="$cache/tatoeba-cmn-eng/cmn.txt"
tsl="$cache/ngsl-tsl/TSL_1.2_stats.csv"

# cmn.txt: UTF-8, English<TAB>Chinese<TAB>attribution on every line, at least 10,000 pairs
# (the 2019 export had 21,116), most of them with Chinese script in the second column.
pairs_ok() {
    [ -s "$1" ] && iconv -f UTF-8 -t UTF-8 "$1" >/dev/null 2>&1 &&
        LC_ALL=C awk -F'\t' 'NF != 3 || $1 == "" || $2 == "" { bad = 1; exit }
                              $2 ~ /[\344-\351]/ { cjk++ } # lead bytes of U+4E00…U+9FFF
                              END { exit bad || NR < 10000 || cjk < NR * 0.9 }' "$1"
}
# TSL: the header "Word,TSL Rank,…", then 1,000–2,000 rows of a word and its rank.
tsl_ok() {
    [ -s "$1" ] && head -n1 "$1" | tr -d '\r' | grep -q '^Word,TSL Rank' &&
        LC_ALL=C awk -F',' '{ sub(/\r$/, "") }
                            NR > 1 && ($1 !~ /^[A-Za-z]/ || $2 !~ /^[0-9]+$/) { bad = 1; exit }
                            END { exit bad || NR < 1001 || NR > 2001 }' "$1" &&
        { [ -z "$tsl_sha" ] || echo "$tsl_sha  $1" | sha256sum -c --status; }
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

download() { # download URL FILE MAXBYTES
    curl --fail --silent --show-error --location --proto '=https,http' --connect-timeout 15 \
        --max-time 300 --max-filesize "$3" --retry 1 -o "$2" "$1" 2>"$work/curl.log"
}

put() { # put FILE TARGET: into the cache in one rename
    mkdir -p "$(dirname "$2")" && mv "$1" "$2.part" && mv "$2.part" "$2"
}

missing=()
if pairs_ok "$pairs"; then
    :
elif ! download "$tatoeba_url" "$work/pairs" 50000000; then
    echo "fetch-sources: cannot fetch the sentence pairs from $tatoeba_url: $(tail -n1 "$work/curl.log")" >&2
    missing+=("sentence pairs")
else
    # The export is a zip of cmn.txt and _about.txt; a plain cmn.txt is taken as it is.
    if [ "$(head -c2 "$work/pairs")" = PK ]; then
        mkdir "$work/zip" && unzip -q -o "$work/pairs" -d "$work/zip" 2>/dev/null &&
            [ -f "$work/zip/cmn.txt" ] && mv "$work/zip/cmn.txt" "$work/pairs" || : >"$work/pairs"
    fi
    if pairs_ok "$work/pairs"; then
        [ -f "$work/zip/_about.txt" ] && put "$work/zip/_about.txt" "$cache/tatoeba-cmn-eng/_about.txt"
        put "$work/pairs" "$pairs"
        echo "fetch-sources: $pairs ready ($(wc -l <"$pairs") pairs)"
    else
        echo "fetch-sources: $tatoeba_url is not the Tatoeba English–Chinese pairs (English<TAB>Chinese<TAB>attribution, 10,000 lines or more); not used" >&2
        missing+=("sentence pairs")
    fi
fi

if tsl_ok "$tsl"; then
    :
elif ! download "$tsl_url" "$work/tsl" 1000000; then
    echo "fetch-sources: cannot fetch the TOEIC Service List from $tsl_url: $(tail -n1 "$work/curl.log")" >&2
    missing+=("TOEIC Service List")
elif tsl_ok "$work/tsl"; then
    put "$work/tsl" "$tsl"
    echo "fetch-sources: $tsl ready ($(($(wc -l <"$tsl") - 1)) words)"
else
    echo "fetch-sources: $tsl_url is not the TOEIC Service List 1.2 (header Word,TSL Rank; 1,000–2,000 rows${tsl_sha:+; checksum}); not used" >&2
    missing+=("TOEIC Service List")
fi

[ ${#missing[@]} = 0 ] || exit 3
