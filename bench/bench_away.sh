#!/usr/bin/env bash
# CPU seconds and wake-ups of the real program over a studying period and a paused one
# (screen saver on), under a private Xvfb.  bench/bench_away.sh MNEMORA E2E_LIST [SECONDS]
set -u
prog=$1 list=$2 secs=${3:-600}
work=$(mktemp -d); trap 'kill $pid $xvfb 2>/dev/null; rm -rf "$work"' EXIT
export HOME=$work XDG_RUNTIME_DIR=$work/run; mkdir -p "$work/run" "$work/app/db"; chmod 700 "$work/run"
exec 5>"$work/disp"; Xvfb -displayfd 5 -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 & xvfb=$!
sleep 1; export DISPLAY=:$(head -n1 "$work/disp")
cp "$prog" "$work/app/mnemora"; "$list" create "$work/app/db/cet4.dat" cet4 200
"$work/app/mnemora" >/dev/null 2>&1 & pid=$!
sleep 3
sample() { # CPU ticks (utime+stime) and context switches of the program
    echo "$(awk '{print $14 + $15}' /proc/$pid/stat) $(awk '/^voluntary_ctxt_switches/{v=$2} /^nonvoluntary_ctxt_switches/{n=$2} END{print v + n}' /proc/$pid/status)"
}
measure() { # measure LABEL
    read -r c0 w0 <<<"$(sample)"; sleep "$secs"; read -r c1 w1 <<<"$(sample)"
    local hz; hz=$(getconf CLK_TCK)
    printf '%-9s %4ss: CPU %6.2f s, %7.2f wake-ups/s\n' "$1" "$secs" "$(echo "($c1 - $c0) / $hz" | bc -l)" \
        "$(echo "($w1 - $w0) / $secs" | bc -l)"
}
measure studying
xset s activate; sleep 2
measure paused
