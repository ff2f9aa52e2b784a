#!/usr/bin/env bash
# Installs what the game needs, builds the game and starts it, keeping the
# high scores in the player's own table (~/.local/share/vantrel/). Arguments
# go to the game: scripts/run.sh --help. Where no window can be opened and no
# arguments are given, the demonstration plays headless instead.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh game
# Configured once; a build tree scripts/test.sh made is used as it is.
if [ ! -f build/CMakeCache.txt ]; then
  log=$(mktemp)
  if ! cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DVANTREL_BUILD_TESTS=OFF > "$log" 2>&1; then
    cat "$log" >&2
    exit 1
  fi
  rm -f "$log"
fi
cmake --build build --parallel "$(nproc)" --target vantrel vantrel-sim

if [ $# -eq 0 ] && [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No window can be opened here; playing the demonstration headless instead:"
  exec build/bin/vantrel-sim --hiscore "$(mktemp -d)/hiscore.txt" demo/demo.vsim
fi
# The player's own table, unless the command line names one.
for arg in "$@"; do
  case "$arg" in
    -hiscore* | --hiscore* | -user-hiscore | --user-hiscore) exec build/bin/vantrel "$@" ;;
  esac
done
exec build/bin/vantrel --user-hiscore "$@"
