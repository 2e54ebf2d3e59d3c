#!/usr/bin/env bash
# Regenerates the program icons (committed; run by hand when they change):
# the two Windows icons and the Linux launcher's PNG.
# Needs ImageMagick's convert.
set -euo pipefail
cd "$(dirname "$0")"
convert=/usr/bin/convert
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# launcher: a blue disc with a white "play" triangle
$convert -size 256x256 xc:none -fill '#2f6fb6' -draw 'circle 128,128 128,8' \
  -fill white -draw 'polygon 100,70 100,186 190,128' "$tmp/launcher.png"
# updater: a green disc with a white arrow pointing up
$convert -size 256x256 xc:none -fill '#2e9a4f' -draw 'circle 128,128 128,8' \
  -fill white -draw 'polygon 128,52 196,128 152,128 152,200 104,200 104,128 60,128' "$tmp/updater.png"

make_ico() {
  local src=$1 out=$2; shift 2
  local frames=()
  for size in "$@"; do
    $convert "$src" -resize "${size}x${size}" -define png:format=png32 "PNG32:$tmp/$size.png"
    frames+=("$tmp/$size.png")
  done
  $convert "${frames[@]}" "$out"
}
make_ico "$tmp/launcher.png" launcher.ico 16 24 32 64 128
make_ico "$tmp/updater.png" updater.ico 16 24 32 48 64 128
# the Linux launcher's icon, beside it in the application folder
$convert "$tmp/launcher.png" -resize 128x128 -define png:exclude-chunks=date,time,tIME,tEXt,zTXt PNG32:launcher.png
