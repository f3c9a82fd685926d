#!/usr/bin/env bash
# Both timers in step (WordDelayChnTime=0) on 1-second periods with a two-word list: the
# word and meaning ticks keep their order whatever the timers' slack, so every counted
# view reaches the file once and no word passes the learnt mark of 7 views.
#   timers.sh MNEMORA_BINARY HELPER_DIR
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"

start_x || exit 1
app="$work/app" ini="$work/app/mnemora.ini"
mkdir -p "$app/db" && cp "$prog" "$app/mnemora" && "$list" create "$app/db/cet4.dat" cet4 2 || exit 1
printf '[FloatWindow]\nShowSentence=0\n[Word]\nWordElapse=1\nWordDelayChnTime=0\n' >"$ini"
check "window appears" run_traced
sleep 25 # real timers: their slack is what is under test
kill -TERM "$program"
check "the program ends" wait_for 10 ended "$program"
counters=$("$list" counters "$app/db/cet4.dat" cet4)
echo "$counters"
for word in 1 2; do
    counted=$(grep -c "^ui-trace: word word$word counted$" "$work/program.log")
    saved=$(awk -v i=$word '$1 == i {print $2}' <<<"$counters")
    check "word$word: $counted counted views, $saved saved" test "$counted" = "$saved"
    check "word$word: at most 7 views" test "$saved" -le 7
done
check "a word reached the learnt mark" grep -q '^[12] 7 ' <<<"$counters"

finish
