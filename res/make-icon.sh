#!/usr/bin/env bash
# Draws the program icon (a blue rounded square with an open book under an "M") at the
# sizes the window, tray and alert use. Run by hand after changing the drawing.
set -euo pipefail
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
convert -size 256x256 gradient:'#4b95de-#245ea6' "$work/fill.png"
convert -size 256x256 xc:none -fill white -draw 'roundrectangle 6,6 249,249 52,52' "$work/mask.png"
convert "$work/fill.png" "$work/mask.png" -alpha off -compose CopyOpacity -composite \
    -fill '#ffffff' -draw "path 'M 128,178 C 104,162 70,158 34,164 L 34,212 C 70,206 104,210 128,226 Z'" \
    -fill '#dbe8f7' -draw "path 'M 128,178 C 152,162 186,158 222,164 L 222,212 C 186,206 152,210 128,226 Z'" \
    -font DejaVu-Sans-Bold -pointsize 138 -fill white -gravity north -annotate +0+14 'M' \
    "$work/big.png"
for size in 16 32 48 64 256; do
    convert "$work/big.png" -filter Lanczos -resize ${size}x${size} -depth 8 -strip \
        -define png:exclude-chunks=date,time "mnemora-$size.png"
done
# The Windows program icon holds every size.
convert mnemora-16.png mnemora-32.png mnemora-48.png mnemora-64.png mnemora-256.png windows/mnemora.ico
