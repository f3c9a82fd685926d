#!/usr/bin/env bash
# scripts/fetch-sources.sh against a local HTTP server: what it takes into the cache, what it
# turns away, and that it never fails without a network.   Usage: fetch_sources.sh
set -uo pipefail
fetch="$(cd "$(dirname "$0")/../.." && pwd)/scripts/fetch-sources.sh"
command -v python3 >/dev/null || { echo "SKIP: no python3 for the HTTP server"; exit 77; }
work=$(mktemp -d)
trap 'kill $server 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
www="$work/www" && mkdir -p "$www"
passed=0 failed=0

# Pairs: English<TAB>Chinese<TAB>attribution. The TSL: its header, then word,rank,….
pairs() { awk -v n="$1" 'BEGIN { for (i = 1; i <= n; i++)
    printf "Sentence %d.\t句子%d。\tCC-BY 2.0 (France) Attribution: tatoeba.org #%d (a) & #%d (b)\n", i, i, i, i + n }'; }
pairs 10000 >"$www/cmn.txt"
pairs 9999 >"$www/short.txt"
{ pairs 10000; printf 'Two columns only.\t两列。\n'; } >"$www/torn.txt"
iconv -f UTF-8 -t GB18030 "$www/cmn.txt" >"$www/gbk.txt"
printf 'About these pairs\n' >"$www/_about.txt"
python3 - "$www" <<'PY'
import sys, zipfile
www = sys.argv[1]
for name, members in (("pairs.zip", ["cmn.txt", "_about.txt"]), ("nopairs.zip", ["_about.txt"])):
    with zipfile.ZipFile(f"{www}/{name}", "w", zipfile.ZIP_DEFLATED) as z:
        for member in members:
            z.write(f"{www}/{member}", member)
PY
{ printf 'Word,TSL Rank,SFI,U\r\n'; for i in $(seq 1 1200); do printf 'word%d,%d,50.1,12\r\n' "$i" "$i"; done; } >"$www/tsl.csv"
{ printf 'Lemma,Rank\n'; seq 1 1200 | sed 's/^/w/;s/$/,1/'; } >"$www/ngsl.csv"
printf '<!DOCTYPE html><html><body>Moved</body></html>\n' >"$www/page.html"
tsl_sha=$(sha256sum "$www/tsl.csv" | cut -d' ' -f1)

python3 -u -m http.server --bind 127.0.0.1 --directory "$www" 0 >"$work/server.log" 2>&1 &
server=$!
for _ in $(seq 50); do
    port=$(sed -n 's/.* port \([0-9]*\) .*/\1/p' "$work/server.log")
    [ -n "$port" ] && break
    sleep 0.1
done
[ -n "$port" ] || { echo "the HTTP server did not start"; cat "$work/server.log"; exit 1; }
url="http://127.0.0.1:$port"
closed="http://127.0.0.1:9"

# case: pairs URL, TSL URL, TSL checksum (- for the fixture's), status, then what the cache
# holds afterwards: the pairs (p) and the list (t), and which messages stderr has.
cases=(
    "zip and list|$url/pairs.zip|$url/tsl.csv|-|0|pt|"
    "plain pairs; a list with another checksum|$url/cmn.txt|$url/tsl.csv|00|3|p|not the TOEIC Service List"
    "pages instead of data|$url/page.html|$url/page.html|-|3||not the Tatoeba.*not the TOEIC"
    "pairs in GB18030|$url/gbk.txt|$url/tsl.csv|-|3|t|not the Tatoeba"
    "too few pairs; another list|$url/short.txt|$url/ngsl.csv|-|3||not the Tatoeba.*not the TOEIC"
    "a line without attribution; a zip without cmn.txt|$url/torn.txt|$url/nopairs.zip|-|3||not the Tatoeba.*not the TOEIC"
    "missing files|$url/none.zip|$url/none.csv|-|3||cannot fetch.*404.*cannot fetch"
    "no network|$closed/a.zip|$closed/b.csv|-|3||cannot fetch.*Failed to connect.*cannot fetch"
)
check() { # check NAME CONDITION...
    if "${@:2}"; then passed=$((passed + 1)); echo "PASS   : $1"; else failed=$((failed + 1)); echo "FAIL!  : $1"; fi
}
run() { # run CACHE PAIRS-URL TSL-URL CHECKSUM: status in $rc, stderr in $err
    local sha=$4
    [ "$sha" = - ] && sha=$tsl_sha
    rc=0
    err=$(MNEMORA_CACHE_DIR="$1" MNEMORA_TATOEBA_URL="$2" MNEMORA_TSL_URL="$3" MNEMORA_TSL_SHA256="$sha" \
        timeout 60 bash "$fetch" 2>&1 >/dev/null) || rc=$?
}
for row in "${cases[@]}"; do
    IFS='|' read -r name pairs_url tsl_url sha status holds messages <<<"$row"
    cache="$work/cache-$RANDOM"
    run "$cache" "$pairs_url" "$tsl_url" "$sha"
    holding=""
    cmp -s "$cache/tatoeba-cmn-eng/cmn.txt" "$www/cmn.txt" && holding+=p
    cmp -s "$cache/ngsl-tsl/TSL_1.2_stats.csv" "$www/tsl.csv" && holding+=t
    strays=$(find "$cache" -type f 2>/dev/null | grep -v -e '/cmn.txt$' -e '/_about.txt$' -e '/TSL_1.2_stats.csv$')
    check "$name: status $status, cache [$holds]" test "$rc/$holding/$strays" = "$status/$holds/"
    if [ -n "$messages" ]; then check "$name: says why" grep -qz "$messages" <<<"$err"
    else check "$name: says nothing" test -z "$err"; fi
    [ "$name" = "zip and list" ] && good="$cache"
done
check "the zip's notes are kept beside the pairs" cmp -s "$good/tatoeba-cmn-eng/_about.txt" "$www/_about.txt"

# What passed is not fetched again, even with no network; a damaged copy is fetched anew.
run "$good" "$closed/a.zip" "$closed/b.csv" -
check "a good cache needs no network" test "$rc/$err" = "0/"
head -c 1000 "$www/cmn.txt" >"$good/tatoeba-cmn-eng/cmn.txt"
run "$good" "$url/pairs.zip" "$closed/b.csv" -
check "a damaged cached copy is replaced" test "$rc" = 0 -a "$(cmp -s "$good/tatoeba-cmn-eng/cmn.txt" "$www/cmn.txt" && echo same)" = same
check "nothing is left beside the cache" test -z "$(find "$good" -name '*.part')"

echo "Totals: $passed passed, $failed failed"
[ "$failed" = 0 ]
