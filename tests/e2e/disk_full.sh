#!/usr/bin/env bash
# A full disk while the learner studies: the program's folder is a small tmpfs, filled
# until saves fail, then freed. The learner is told once, in the window, naming the list
# file and the reason; the next save after the disk is freed writes every view counted
# meanwhile; the history is not set aside as damaged; the end is orderly (status 0).
# Needs root (a mount); skipped with one line otherwise.
#   disk_full.sh MNEMORA_BINARY HELPER_DIR
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"

app=$(mktemp -d) ini="$app/mnemora.ini" # outside $work, which cleanup removes
size=$(($(stat -c %s "$prog") / 1048576 + 4))m
if [ "$(id -u)" != 0 ] || ! mount -t tmpfs -o "size=$size,mode=755" mnemora-disk-full "$app" 2>/dev/null; then
    rmdir "$app"
    echo "SKIP: a disk-full run needs root and a tmpfs mount"
    exit 77
fi
unmount() { cleanup; [ -n "${E2E_KEEP:-}" ] && cp -a "$app" "$work.app"; umount "$app" && rmdir "$app"; }
trap unmount EXIT

start_x || exit 1
mkdir -p "$app/db" && cp "$prog" "$app/mnemora" && "$list" create "$app/db/cet4.dat" cet4 6 || exit 1
printf '[FloatWindow]\nShowSentence=0\n[Word]\nWordElapse=1\nWordDelayChnTime=0\n' >"$ini"
check "window appears" run_traced
win=$(float_window)
counted() { grep -c "^ui-trace: word word[0-9]* counted$" "$work/program.log"; }
at_least() { [ "$("$1")" -ge "$2" ]; }
check "views are counted" wait_for 30 at_least counted 3

# Full: the first save that fails tells the learner, once for each file that holds
# counters; the study goes on from memory.
dd if=/dev/zero of="$app/filler" bs=64k 2>/dev/null
kept="暂时保存在内存中，之后每次保存时会再次写入。"
list_warning="message Mnemora: 无法保存复习进度：单词表文件“$app/db/cet4.dat”不能写入（磁盘已满）。单词的复习计数$kept"
ini_warning="message Mnemora: 无法保存复习进度：设置文件“$ini”不能写入（磁盘已满）。复习计数 RunTimes $kept"
told() { grep -c "^ui-trace: message " "$work/program.log"; }
told_once() { test "$(grep -cxF "ui-trace: $1" "$work/program.log")" = 1; }
check "a failed save is told" wait_for 60 message_box
keep_shot disk-full
# one box after the other, each closed with Return
while wait_for 3 message_box; do xdotool key --window "$(message_box)" Return 2>/dev/null; sleep 0.5; done
full_since=$(counted)
check "the study goes on while the disk is full" wait_for 60 at_least counted $((full_since + 4))
keep_shot disk-full-after
check "the list file's failure is told once" told_once "$list_warning"
# RunTimes changes only when no word is due: its file may or may not have been written
others() { [ "$(told)" = 1 ] || { [ "$(told)" = 2 ] && told_once "$ini_warning"; }; }
check "nothing else is told" others

# Freed: the next save (here the orderly end) writes every view counted meanwhile.
rm -f "$app/filler"
kill -TERM "$program"
wait "$program"
check "the orderly end succeeds" test $? = 0
counters=$("$list" counters "$app/db/cet4.dat" cet4)
for word in 1 2 3 4 5 6; do
    counted=$(grep -c "^ui-trace: word word$word counted$" "$work/program.log")
    saved=$(awk -v i=$word '$1 == i {print $2}' <<<"$counters")
    check "word$word: $counted counted views, $saved saved" test "$counted" = "$saved"
done
check "nothing more is told" others
check "no file set aside as damaged" test -z "$(find "$app" -name '*damaged*')"

finish
