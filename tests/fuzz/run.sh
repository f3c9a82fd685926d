#!/usr/bin/env bash
# Fuzzes each target for SECONDS (default 60) from its seed corpus, then prints the
# executions per second and the coverage of each. A crash stops the run with the
# reproducer kept in the work folder; add it to a regression test before fixing.
#   tests/fuzz/run.sh BUILD_DIR [SECONDS]
set -uo pipefail
build=$(cd "$1" && pwd) seconds=${2:-60}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
status=0
printf '%-16s %10s %8s %8s %8s\n' target runs exec/s cov ft
for target in fuzz_ini fuzz_csv fuzz_headwords fuzz_dictrow fuzz_listfile; do
    exe="$build/tests/fuzz/$target"
    [ -x "$exe" ] || { echo "$target: not built" >&2; status=1; continue; }
    mkdir -p "$work/$target"
    # -rss_limit: a 1 MB text per input is allowed, unbounded growth is not.
    if ! (cd "$work" && "$exe" -max_total_time="$seconds" -print_final_stats=1 -rss_limit_mb=2048 \
        -timeout=20 -artifact_prefix="$work/$target-" "$work/$target" "$here/corpus/$target" \
        >"$work/$target.log" 2>&1); then
        echo "$target: FAILED, log and reproducer in $work" >&2
        tail -40 "$work/$target.log" >&2
        status=1
        continue
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/$target.log")
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$work/$target.log")
    cov=$(grep -Eo 'cov: [0-9]+ ft: [0-9]+' "$work/$target.log" | tail -1)
    printf '%-16s %10s %8s %8s %8s\n' "$target" "$runs" "$rate" "$(awk '{print $2}' <<<"$cov")" \
        "$(awk '{print $4}' <<<"$cov")"
done
[ $status = 0 ] && rm -rf "$work"
exit $status
