#!/usr/bin/env bash
# Measures the game's window beside LBreakout2, both on one Xvfb in one run:
#   - exec to the first painted frame: medians of RUNS runs (default five),
#     the programs taking turns (with the processor time each took until
#     then); a bare Qt window with a menu bar (bench/bare_window.cpp) takes
#     its turn too, to show what Qt itself takes;
#   - the processor with a ball in play, in per cent of one core;
#   - peak memory (the largest resident set).
# Installs what it needs from Debian when missing (Xvfb, lbreakout2, xdotool,
# the X headers for the frame watcher). Not part of the tests.
# Usage: bench/measure_window.sh [BUILD_DIR] (default build/); the processor
# is watched for SECONDS_IN_PLAY seconds (default 10).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
seconds=${SECONDS_IN_PLAY:-10}
runs=${RUNS:-5}
vantrel=$(realpath "$build/bin/vantrel")
lbreakout=/usr/games/lbreakout2

packages=(xvfb lbreakout2 xdotool g++ libx11-dev libxdamage-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
[ -x "$vantrel" ] || { echo "measure_window: no $vantrel; build first (scripts/build.sh)" >&2; exit 2; }

work=$(mktemp -d)
xvfb=""
cleanup() {
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
g++ -std=c++20 -O2 -o "$work/first_frame" bench/first_frame.cpp -lX11 -lXdamage
# shellcheck disable=SC2046  # pkg-config's flags are words
g++ -std=c++20 -O2 -fPIC -o "$work/bare_window" bench/bare_window.cpp $(pkg-config --cflags --libs Qt6Widgets)

# A black screen with no window manager: the first lit pixel is the program's.
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -br -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 300); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "measure_window: Xvfb did not start" >&2; exit 1; }
export DISPLAY=:$(head -n1 "$work/display")
# Both get a home of their own; LBreakout2 has no sound card to look for.
export HOME=$work/home SDL_AUDIODRIVER=dummy
mkdir -p "$HOME"

median() { sort -n | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }

echo "Exec to the first painted frame, $runs runs each, taking turns..."
for _ in $(seq "$runs"); do
  "$work/first_frame" "$vantrel" --hiscore "$work/hiscore.txt" 2>/dev/null >>"$work/start-vantrel"
  sleep 0.3
  "$work/first_frame" "$lbreakout" 2>/dev/null >>"$work/start-lbreakout2"
  sleep 0.3
  "$work/first_frame" "$work/bare_window" 2>/dev/null >>"$work/start-bare"
  sleep 0.3
done

# Processor time (user and system, all threads) over the seconds, and the peak
# resident set at their end.
usageOf() {  # $1 pid; prints "cpu% peakMB"
  local hz start end
  hz=$(getconf CLK_TCK)
  start=$(awk '{print $14 + $15}' "/proc/$1/stat")
  sleep "$seconds"
  end=$(awk '{print $14 + $15}' "/proc/$1/stat")
  awk -v a="$start" -v b="$end" -v s="$seconds" -v hz="$hz" \
    -v kb="$(awk '/VmHWM/ {print $2}' "/proc/$1/status")" \
    'BEGIN {printf "%.1f %.1f\n", (b - a) * 100 / s / hz, kb / 1024}'
}

echo "The processor with a ball in play, ${seconds} s each..."
# The autoplayer's game keeps a ball in play from the first second on.
"$vantrel" --hiscore "$work/hiscore.txt" --play demo/all-levels.vsim >/dev/null 2>&1 &
game=$!
sleep 2
read -r vantrelCpu vantrelPeak < <(usageOf "$game")
kill "$game"
wait "$game" 2>/dev/null || true

# LBreakout2: Local Game, Start Original Set, then a click launches the ball;
# a click every second launches the next one when a ball is lost.
"$lbreakout" >/dev/null 2>&1 &
game=$!
sleep 3
xdotool mousemove 180 270 click 1
sleep 1
xdotool mousemove 180 280 click 1
sleep 2
launch() { xdotool mousedown 1 sleep 0.1 mouseup 1 mousedown 3 sleep 0.1 mouseup 3; }
launch
sleep 1
( for _ in $(seq "$seconds"); do sleep 1; launch; done ) &
launcher=$!
read -r lbreakoutCpu lbreakoutPeak < <(usageOf "$game")
kill "$launcher" 2>/dev/null || true
kill "$game"
wait "$game" 2>/dev/null || true

startV=$(awk '{print $1}' "$work/start-vantrel" | median)
cpuV=$(awk '{print $2}' "$work/start-vantrel" | median)
startL=$(awk '{print $1}' "$work/start-lbreakout2" | median)
cpuL=$(awk '{print $2}' "$work/start-lbreakout2" | median)
startB=$(awk '{print $1}' "$work/start-bare" | median)
cpuB=$(awk '{print $2}' "$work/start-bare" | median)
echo
echo "runs (ms to first frame, processor ms until then):"
paste -d' ' <(sed 's/^/vantrel /' "$work/start-vantrel") <(sed 's/^/   lbreakout2 /' "$work/start-lbreakout2") \
  <(sed 's/^/   bare Qt /' "$work/start-bare")
echo
printf '%-38s %12s %12s %12s\n' "" "vantrel" "LBreakout2" "bare Qt"
printf '%-38s %12s %12s %12s\n' "exec to first frame, median (ms)" "$startV" "$startL" "$startB"
printf '%-38s %12s %12s %12s\n' "  processor until then, median (ms)" "$cpuV" "$cpuL" "$cpuB"
printf '%-38s %12s %12s\n' "processor, ball in play (% of a core)" "$vantrelCpu" "$lbreakoutCpu"
printf '%-38s %12s %12s\n' "peak memory (MB)" "$vantrelPeak" "$lbreakoutPeak"
echo "first frame, vantrel / LBreakout2: $(awk -v a="$startV" -v b="$startL" 'BEGIN {printf "%.2f", a / b}')"
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
