#!/usr/bin/env bash
# Measures the two windows side by side on one X server (Xvfb): the time from
# start to the first frame on screen (a script of one tick with a screenshot:
# start, first frame, save, exit; median of five), and the processor time while
# a ball is in play for ten seconds (the game's process, plus the X server and,
# under Wine, the wineserver), in percent of one core.
#   tools/measure-windows.sh [LINUX_BUILD_BIN] [WINDOWS_BUILD_BIN] [WINE]
# Run scripts/build.sh and scripts/build-windows.sh first.
set -euo pipefail
cd "$(dirname "$0")/.."
linux=$(realpath "${1:-build/bin}")
windows=$(realpath "${2:-build-win32/bin}")
wine=${3:-wine}

work=$(mktemp -d /tmp/vantrel-measure-XXXXXX)
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY=:77
server=wineserver
if [ "$wine" != wine ]; then
  export WINELOADER=$wine WINESERVER=${wine%/*}/wineserver64
  server=$WINESERVER
fi
Xvfb :77 -screen 0 1024x768x24 -nolisten tcp > /dev/null 2>&1 &
xvfb=$!
cleanup() {
  "$server" -k 2> /dev/null || true
  kill "$xvfb" 2> /dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
"$wine" wineboot -i > /dev/null 2>&1
"$server" -k 2> /dev/null || true  # a server of our own, to count its time
sleep 1
"$server" -f -p > /dev/null 2>&1 &
server_pid=$!
sleep 1

cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
hz=$(getconf CLK_TCK)

printf 'tick\n' > "$work/first.vsim"
printf 'type ABC\nkey 13\nmove 200 250\nclick 200 250\ntick 1000\n' > "$work/play.vsim"

measure() {
  local name=$1
  shift
  local times=()
  for _ in 1 2 3 4 5; do
    rm -f "$work/shot.png" "$work/hiscore.txt"
    local start end
    start=$(date +%s%N)
    (cd "$work" && "$@" --play first.vsim --screenshot shot.png > /dev/null 2>&1)
    end=$(date +%s%N)
    [ -f "$work/shot.png" ] || { echo "$name: no first frame" >&2; exit 1; }
    times+=($(((end - start) / 1000000)))
  done
  local median
  median=$(printf '%s\n' "${times[@]}" | sort -n | sed -n 3p)

  local x0 s0 start end
  x0=$(cpu_ticks "$xvfb")
  s0=$(cpu_ticks "$server_pid")
  start=$(date +%s%N)
  local TIMEFORMAT='%3U %3S'
  local own
  own=$( { time (cd "$work" && "$@" --play play.vsim --screenshot shot.png > /dev/null 2>&1); } 2>&1)
  end=$(date +%s%N)
  local x=$(($(cpu_ticks "$xvfb") - x0)) s=$(($(cpu_ticks "$server_pid") - s0))
  [ "$name" = windows ] || s=0  # the idle wineserver is no part of the Linux window
  awk -v name="$name" -v median="$median" -v own="$own" -v x="$x" -v s="$s" -v hz="$hz" \
    -v wall="$(((end - start) / 1000000))" 'BEGIN {
      split(own, t, " "); game = t[1] + t[2]; total = game + (x + s) / hz
      printf "%-8s first frame %5d ms | ball in play %.1f s: %.1f%% of a core (game %.2f s, X %.2f s, wineserver %.2f s)\n",
        name, median, wall / 1000, 100 * total / (wall / 1000), game, x / hz, s / hz }'
}

measure linux env QT_QPA_PLATFORM=xcb "$linux/vantrel"
measure windows "$wine" "$windows/vantrel.exe"
ls -l "$windows/vantrel.exe" "$windows/vantrel-sim.exe" | awk '{ print $5, $9 }'
