#!/usr/bin/env bash
# The installed program: installed into a read-only prefix, it keeps settings and
# progress in the XDG folders, keeps them through a changed template, and never writes
# into the prefix. Also validates the desktop entry and the AppStream data.
#   install.sh MNEMORA_BINARY HELPER_DIR
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"
build=$(dirname "$prog")
prefix="$work/prefix"

quiet cmake --install "$build" --prefix "$prefix" || { echo "install failed"; exit 1; }
check "desktop entry validates" desktop-file-validate "$prefix"/share/applications/*.desktop
check "AppStream data validates" quiet appstreamcli validate --no-net "$prefix"/share/metainfo/*.metainfo.xml
check "icons are installed" test -s "$prefix/share/icons/hicolor/scalable/apps/io.github.mnemora.Mnemora.svg" \
    -a -s "$prefix/share/icons/hicolor/48x48/apps/io.github.mnemora.Mnemora.png"
# A six-word template stands in for the built lists.
rm -rf "$prefix/share/mnemora/db" && mkdir -p "$prefix/share/mnemora/db"
"$list" create "$prefix/share/mnemora/db/cet4.dat" cet4 6 || exit 1
chmod -R a-w "$prefix"
sums() { (cd "$prefix" && find . -type f -print0 | sort -z | xargs -0 sha256sum; find . | sort); }
sums >"$work/prefix.before"

check "--version answers without a display" test "$(DISPLAY= "$prefix/bin/mnemora" --version)" = "mnemora $(sed -n 's/^project(.* VERSION \([0-9.]*\).*/\1/p' "$here/../../CMakeLists.txt")"
start_x || exit 1
export XDG_DATA_HOME="$work/home/.local/share"
userdb="$XDG_DATA_HOME/mnemora/db/cet4.dat" userini="$XDG_CONFIG_HOME/mnemora/mnemora.ini"
mkdir -p "$XDG_CONFIG_HOME/mnemora" && printf '[Word]\nWordElapse=1\n' >"$userini"
installed_start() {
    ("$prefix/bin/mnemora") >>"$work/program.log" 2>&1 &
    program=$!
    pids+=($program)
    wait_for 15 float_window
}
for run in 1 2; do
    check "start $run: window appears" installed_start || { cat "$work/program.log"; finish; exit 1; }
    [ $run = 1 ] && check "start 1: the list is copied to the data folder" test -f "$userdb"
    win=$(float_window)
    shot "$win" "$work/welcome.png"
    check "start $run: a word is shown" wait_for 6 changed_since "$win" "$work/welcome.png"
    kill -TERM "$program"
    check "start $run: the program ends" wait_for 10 ended "$program"
done
check "two starts give RunTimes=2 in the config folder" test "$(ini_value "$userini" RunTimes)" = 2
counters=$("$list" counters "$userdb" cet4)
check "progress is kept in the data folder" grep -q "^1 [1-9]" <<<"$counters"

# An upgrade: a rebuilt template drops a studied word, corrects a meaning and adds a word;
# the user's copy takes the new rows and keeps the counters of the words it still has.
words() { "$list" sql "$1" "SELECT word, wordChn, showTimes, toShowTime FROM cet4 ORDER BY \"index\""; }
# word2 is not due for a long time, so the upgraded run leaves its counters alone
"$list" sql "$userdb" "UPDATE cet4 SET showTimes = 5, toShowTime = 40 WHERE word = 'word2'"
template="$prefix/share/mnemora/db/cet4.dat"
chmod -R u+w "$prefix/share/mnemora/db"
rm "$template" && "$list" create "$template" cet4 7 &&
    "$list" sql "$template" "DELETE FROM cet4 WHERE word = 'word1'" &&
    "$list" sql "$template" "UPDATE cet4 SET wordChn = '新释义' WHERE word = 'word2'" || exit 1
chmod -R a-w "$prefix"
sums >"$work/prefix.before"
: >"$work/program.log"
check "after the upgrade: window appears" installed_start
kill -TERM "$program"
check "after the upgrade: the program ends" wait_for 10 ended "$program"
after=$(words "$userdb")
check "after the upgrade: the dropped studied word is reported" \
    grep -qF "1 个学过的单词不在新词库中：word1" "$work/program.log"
check "after the upgrade: the new meaning with the old counters" \
    grep -qxF "word2 新释义 5 40" <<<"$after"
check "after the upgrade: the new word is there, unstudied" grep -q "^word7 .* 0 0$" <<<"$after"
check "after the upgrade: the old word is gone" not grep -q "^word1 " <<<"$after"
copy=$(stat -c %i "$userdb")
: >"$work/program.log"
installed_start && kill -TERM "$program" && wait_for 10 ended "$program"
check "the same package again keeps the copy in place" test "$(stat -c %i "$userdb")" = "$copy"
check "the same package again reports nothing" not grep -q "词库" "$work/program.log"
# Folders that cannot be made (a file stands in the way, which stops root too): one message,
# and the words of the installed lists all the same, which stay as they were installed.
: >"$work/blocker"
(XDG_CONFIG_HOME="$work/blocker/config" XDG_DATA_HOME="$work/blocker/data" MNEMORA_TRACE_UI=1 "$prefix/bin/mnemora") \
    >"$work/blocked.log" 2>&1 &
program=$!
pids+=($program)
check "unwritable folders: the message box shows" wait_for 15 visible_window Mnemora
box=$(visible_window Mnemora)
shot "$box" "$work/blocked-box.png"
xdotool windowfocus --sync "$box" key --window "$box" Return 2>/dev/null
check "unwritable folders: then the window" wait_for 15 float_window
win=$(float_window)
shot "$win" "$work/blocked-welcome.png"
check "unwritable folders: a word of the installed list is shown" wait_for 15 changed_since "$win" "$work/blocked-welcome.png"
kill -TERM "$program"
check "unwritable folders: the program ends" wait_for 10 ended "$program"
check "unwritable folders: one message, about the data folder" \
    test "$(grep -c "^ui-trace: message Mnemora: 无法保存学习进度：文件夹“$work/blocker/data/mnemora/db/”不能写入" "$work/blocked.log")/$(grep -c "^ui-trace: message" "$work/blocked.log")" = 1/1
check "the prefix is unchanged" cmp -s "$work/prefix.before" <(sums)
check "no settings or lock beside the installed program" test -z "$(ls "$prefix/bin" | grep -v '^mnemora$')"
chmod -R u+w "$prefix"
finish
