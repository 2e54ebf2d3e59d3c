#!/usr/bin/env bash
# Makes splash.png, the sample application's splash picture (500x300): a
# banner with the name above a light band where the launcher writes its
# caption at (85, 201) and draws its progress bar at (37, 216), both in
# dark colours. Needs ImageMagick; /usr/bin/convert, since the convert on
# PATH may be another program.
set -euo pipefail
cd "$(dirname "$0")"
/usr/bin/convert -size 500x300 xc:'#F7F3EA' \
  \( -size 500x170 gradient:'#1F3A5F-#3F7CAC' \) -geometry +0+0 -composite \
  -fill '#E9B44C' -draw 'rectangle 0,170 499,173' \
  -font Liberation-Sans-Bold -pointsize 40 -fill white -annotate +36+92 'Sample App' \
  -font Liberation-Sans -pointsize 16 -fill '#DCE6F0' -annotate +38+124 'started by the Tarnwick launcher' \
  -fill '#D8D2C4' -draw 'rectangle 37,216 462,227' \
  -define png:exclude-chunks=date,time,gAMA,cHRM,bKGD,sRGB,iCCP,tIME,tEXt,zTXt,pHYs \
  PNG24:splash.png
