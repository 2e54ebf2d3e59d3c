#!/usr/bin/env bash
# Regenerates the branded build's two icons (committed): three images each,
# 16, 32 and 48 pixels, of one colour, stored as PNG inside the .ico (as
# Windows Vista and later read them). Needs ImageMagick's convert.
set -euo pipefail
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

le16() { printf "\\x$(printf %02x $(($1 & 255)))\\x$(printf %02x $(($1 >> 8 & 255)))"; }
le32() { le16 $(($1 & 65535)); le16 $(($1 >> 16)); }

make_ico() {
  local colour=$1 out=$2 sizes=(16 32 48)
  local offset=$((6 + 16 * ${#sizes[@]}))
  for size in "${sizes[@]}"; do
    /usr/bin/convert -size "${size}x${size}" xc:"$colour" \
      -define png:exclude-chunks=date,time,tIME,tEXt,zTXt "PNG32:$tmp/$size.png"
  done
  {
    le16 0; le16 1; le16 ${#sizes[@]}
    for size in "${sizes[@]}"; do
      local bytes
      bytes=$(stat -c %s "$tmp/$size.png")
      printf "\\x$(printf %02x "$size")\\x$(printf %02x "$size")\\x00\\x00"
      le16 1; le16 32; le32 "$bytes"; le32 "$offset"
      offset=$((offset + bytes))
    done
    for size in "${sizes[@]}"; do cat "$tmp/$size.png"; done
  } > "$out"
}
make_ico '#E07020' quillpad.ico
make_ico '#7030A0' quillpad-updater.ico
