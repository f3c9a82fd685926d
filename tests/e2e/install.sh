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

# An upgrade: a changed template must not cost the user's counters.
chmod -R u+w "$prefix/share/mnemora/db"
rm "$prefix/share/mnemora/db/cet4.dat" && "$list" create "$prefix/share/mnemora/db/cet4.dat" cet4 7
chmod -R a-w "$prefix"
sums >"$work/prefix.before"
check "after the upgrade: window appears" installed_start
kill -TERM "$program"; wait_for 10 ended "$program"
check "after the upgrade: counters are kept" grep -qF "$(head -1 <<<"$counters")" <<<"$("$list" counters "$userdb" cet4)"
check "the prefix is unchanged" cmp -s "$work/prefix.before" <(sums)
check "no settings or lock beside the installed program" test -z "$(ls "$prefix/bin" | grep -v '^mnemora$')"
chmod -R u+w "$prefix"
finish
