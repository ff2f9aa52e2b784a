#!/bin/sh
# Draws the game's three 32x32 icons with ImageMagick: a small picture of the
# game (blocks, ball, bat in the field's frame) in the game's own colours, in
# the sixteen classic colours, and in black and white. Run once; the PNGs are
# kept in the repository.
set -eu
cd "$(dirname "$0")"

picture() {  # $1 frame, $2 fresh block, $3 hit block, $4 ball, $5 ball rim, $6 bat, $7 zone, then the output
  frame=$1 fresh=$2 hit=$3 ball=$4 rim=$5 bat=$6 zone=$7
  shift 7
  convert -size 32x32 xc:black +antialias \
    -fill none -stroke "$frame" -draw "rectangle 0,0 31,31" -stroke none \
    -fill "$fresh" -draw "rectangle 3,4 8,6" -draw "rectangle 10,4 15,6" -draw "rectangle 24,4 28,6" \
    -fill "$hit" -draw "rectangle 17,4 22,6" \
    -fill "$fresh" -draw "rectangle 6,9 11,11" -draw "rectangle 20,9 25,11" \
    -fill "$zone" -draw "rectangle 1,19 30,25" \
    -fill "$ball" -stroke "$rim" -draw "circle 15,16 15,13" -stroke none \
    -fill "$bat" -draw "rectangle 11,21 20,22" \
    "$@"
}

picture white 'rgb(0,200,0)' 'rgb(200,0,0)' 'rgb(0,0,200)' white white 'rgb(64,15,15)' PNG24:vantrel.png
picture white 'rgb(0,128,0)' 'rgb(128,0,0)' 'rgb(0,0,128)' white white black -type Palette -colors 16 PNG8:vantrel-16colours.png
picture white white white black white white black -monochrome PNG:vantrel-mono.png
