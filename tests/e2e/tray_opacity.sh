#!/usr/bin/env bash
# On a desktop with a tray and a compositor: the program docks its icon in the tray, and
# the window's opacity lets the desktop show through the background.
#   tray_opacity.sh MNEMORA_BINARY HELPER_DIR
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"

start_x --tray --compositor || exit 1
make_app '[Word]\nWordElapse=60\n[FloatWindow]\nTransparent=128\n' || exit 1

check "the tray holds no icon before the start" not tray_icon
check "window appears" start_program
check "the program docks its icon in the tray" wait_for 5 tray_icon

# With opacity 128 of 255 a background pixel is about half the background colour
# (221,243,255) and half the desktop behind it.
blended() { # blended "r,g,b" "r,g,b": the window's pixel against the desktop's
    local -a seen desk want=(221 243 255)
    IFS=, read -ra seen <<<"$1"
    IFS=, read -ra desk <<<"$2"
    local i expected
    for i in 0 1 2; do
        expected=$(((want[i] * 128 + desk[i] * 127 + 127) / 255))
        [ $((seen[i] - expected)) -le 3 ] && [ $((expected - seen[i])) -le 3 ] || return 1
    done
}
see_through() { blended "$(pixel 390 14)" "$(pixel 390 150)"; }
check "the background is blended with the desktop" wait_for 5 see_through
check "the background is not the pure colour" test "$(pixel 390 14)" != "221,243,255"

finish
