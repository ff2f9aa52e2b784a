#!/bin/sh
# Makes docs/screenshot.png, the picture in the desktop metadata, with the
# game's own --screenshot: the autoplayer's game replayed into level 4, which
# takes about two minutes at the normal pace. Needs a build in build/.
set -eu
cd "$(dirname "$0")/.."
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
{ head -n 130 demo/all-levels.vsim; echo "tick 40"; } > "$work/level4.vsim"
QT_QPA_PLATFORM=offscreen build/bin/vantrel --hiscore "$work/hiscore.txt" --play "$work/level4.vsim" \
  --screenshot docs/screenshot.png
