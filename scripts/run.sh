#!/usr/bin/env bash
# Installs what is missing, builds, and starts the game. Extra arguments go
# to the game (see build/bin/vantrel --help).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
if [ -x build/bin/vantrel ] && { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; }; then
  exec build/bin/vantrel "$@"
fi
echo "No window can be opened here; playing the demonstration headless instead:"
exec build/bin/vantrel-sim --hiscore "$(mktemp -d)/hiscore.txt" demo/demo.vsim
