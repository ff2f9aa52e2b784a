#!/bin/sh
# Draws the game's icons with ImageMagick: a small picture of the game
# (blocks, ball, bat in the field's frame). The three 32x32 window icons come
# in the game's own colours, in the sixteen classic colours, and in black and
# white; the desktop's sizes 16 to 256 in the game's colours, the field a tile
# with rounded corners on a transparent ground. Every straight edge lies on a
# whole pixel at every size, so each size is sharp. Run once; the PNGs are
# kept in the repository.
set -eu
cd "$(dirname "$0")"

picture() {  # $1 ground (square or tile), $2 frame, $3 fresh block, $4 hit block, $5 ball, $6 ball rim, $7 bat, $8 zone, then the output
  ground=$1 frame=$2 fresh=$3 hit=$4 ball=$5 rim=$6 bat=$7 zone=$8
  shift 8
  if [ "$ground" = tile ]; then tile 32 1; else square "$frame"; fi | convert PNG32:- +antialias \
    -fill "$fresh" -draw "rectangle 3,4 8,6" -draw "rectangle 10,4 15,6" -draw "rectangle 24,4 28,6" \
    -fill "$hit" -draw "rectangle 17,4 22,6" \
    -fill "$fresh" -draw "rectangle 6,9 11,11" -draw "rectangle 20,9 25,11" \
    -fill "$zone" -draw "rectangle 1,19 30,25" \
    -fill "$ball" -stroke "$rim" -draw "circle 15,16 15,13" -stroke none \
    -fill "$bat" -draw "rectangle 11,21 20,22" \
    "$@"
}

# The window's 32x32 ground: black, framed in $1.
square() {
  convert -size 32x32 xc:black +antialias -fill none -stroke "$1" -draw "rectangle 0,0 31,31" PNG32:-
}

# The field's tile at size $1 as a PNG on standard output: its white frame $2
# pixels wide, the corners rounded by a sixteenth of the size, transparent
# outside; below 48 pixels the corners are whole pixels too.
tile() {
  s=$1 w=$2 r=$(($1 / 16)) smooth=$([ "$1" -ge 48 ] && echo -antialias || echo +antialias)
  convert -size "${s}x${s}" xc:none "$smooth" \
    -fill white -draw "roundrectangle 0,0 $((s - 1)),$((s - 1)) $r,$r" \
    -fill black -draw "roundrectangle $w,$w $((s - w - 1)),$((s - w - 1)) $((r - w + 1)),$((r - w + 1))" \
    -fill none -draw "color 0,0 point" -draw "color $((s - 1)),0 point" \
    -draw "color 0,$((s - 1)) point" -draw "color $((s - 1)),$((s - 1)) point" PNG32:-
}

# The 32x32 picture at size $1 (48 and up) on the tile: each cell [a, b] of
# the 32 grid becomes the whole pixels from a*$1/32 to (b+1)*$1/32, rounded.
scaled() {
  s=$1
  at() { echo $((($1 * s + 16) / 32)); }
  box() { echo "rectangle $(at "$1"),$(at "$2") $(($(at $(($3 + 1))) - 1)),$(($(at $(($4 + 1))) - 1))"; }
  line=$((s / 32)) rim=$((s < 64 ? 2 : s / 32))
  # The ball's centre and radius in pixel coordinates; the rim lies inside the radius.
  centre=$(echo "15.5 * $s / 32 - 0.5" | bc -l) top=$(echo "12.5 * $s / 32 + $rim / 2" | bc -l)
  tile "$s" "$line" | convert PNG32:- +antialias \
    -fill 'rgb(0,200,0)' -draw "$(box 3 4 8 6)" -draw "$(box 10 4 15 6)" -draw "$(box 24 4 28 6)" \
    -fill 'rgb(200,0,0)' -draw "$(box 17 4 22 6)" \
    -fill 'rgb(0,200,0)' -draw "$(box 6 9 11 11)" -draw "$(box 20 9 25 11)" \
    -fill 'rgb(64,15,15)' -draw "$(box 1 19 30 25)" \
    -antialias -fill 'rgb(0,0,200)' -stroke white -strokewidth "$rim" \
    -draw "circle $centre,$(echo "16.5 * $s / 32 - 0.5" | bc -l) $centre,$top" +antialias -stroke none \
    -fill white -draw "$(box 11 21 20 22)" \
    "PNG32:vantrel-$s.png"
}

# At 16 pixels there is room for two blocks, the ball and the bat only.
small() {
  tile 16 1 | convert PNG32:- +antialias \
    -fill 'rgb(0,200,0)' -draw "rectangle 3,3 6,4" -fill 'rgb(200,0,0)' -draw "rectangle 9,3 12,4" \
    -fill 'rgb(64,15,15)' -draw "rectangle 1,10 14,13" \
    -fill white -draw "rectangle 7,6 8,9" -draw "rectangle 6,7 9,8" -fill 'rgb(0,0,200)' -draw "rectangle 7,7 8,8" \
    -fill white -draw "rectangle 5,11 10,11" \
    PNG32:vantrel-16.png
}

picture square white 'rgb(0,200,0)' 'rgb(200,0,0)' 'rgb(0,0,200)' white white 'rgb(64,15,15)' PNG24:vantrel.png
picture square white 'rgb(0,128,0)' 'rgb(128,0,0)' 'rgb(0,0,128)' white white black -type Palette -colors 16 PNG8:vantrel-16colours.png
picture square white white white black white white black -monochrome PNG:vantrel-mono.png
picture tile white 'rgb(0,200,0)' 'rgb(200,0,0)' 'rgb(0,0,200)' white white 'rgb(64,15,15)' PNG32:vantrel-32.png
small
for size in 48 64 128 256; do scaled "$size"; done
