#!/usr/bin/env bash
# Builds the game for web browsers with Debian's emscripten into build-web/:
# vantrel-sim for node (bin/vantrel-sim.js and .wasm), and the page in
# build-web/site/ (index.html, the game's .js and .wasm, help pages, icons,
# manifest and service worker), ready for any static web server.
#   scripts/build-web.sh tests   also the test programs: the file-system
#                                contract for node (bin/), and the window
#                                and surface contracts for the page (contract/)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/apt-install.sh emscripten nodejs
tests=OFF
if [ "${1:-}" = tests ]; then
  tests=ON
  scripts/apt-install.sh googletest
fi
# Debian's emscripten finds its node modules only where node is told to look.
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
emcmake cmake -S . -B build-web -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DVANTREL_BUILD_GUI=OFF -DVANTREL_BUILD_TESTS=$tests -DVANTREL_BUILD_WEB=ON
cmake --build build-web --parallel 2
echo "Built build-web/site/"
