#!/usr/bin/env bash
# Makes the test pictures of the splash tests. The tests know their pixels
# by construction, so keep them in step with tests/splash/support/pictures.h.
# Run from anywhere; needs ImageMagick (/usr/bin/convert: the one on PATH
# may be something else).
set -euo pipefail
cd "$(dirname "$0")"
convert=/usr/bin/convert
# Plain pixels only: no gamma, chromaticity or time chunks.
plain=(-define png:exclude-chunks=date,time,gAMA,cHRM,bKGD,sRGB,iCCP,tIME,tEXt,zTXt,pHYs)

# 500x300, opaque: a light interior, a 1-pixel edge and two 4x4 corner
# marks that tell top from bottom and left from right.
"$convert" -size 500x300 xc:'#F4EEE0' \
  -fill '#204080' -draw 'rectangle 0,0 499,0' -draw 'rectangle 0,299 499,299' \
  -draw 'rectangle 0,0 0,299' -draw 'rectangle 499,0 499,299' \
  -fill '#C01010' -draw 'rectangle 1,1 4,4' \
  -fill '#10A030' -draw 'rectangle 495,295 498,298' \
  "${plain[@]}" PNG24:frame.png

# 120x80 with transparency: left third fully transparent, middle third
# colour #306090 at alpha 0x80, right third the same colour opaque.
"$convert" -size 40x80 xc:'#FFFFFF00' \
  \( -size 40x80 xc:'#30609080' \) \( -size 40x80 xc:'#306090FF' \) +append +repage \
  "${plain[@]}" PNG32:alpha.png
