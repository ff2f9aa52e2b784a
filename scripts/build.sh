#!/usr/bin/env bash
# Configures and builds Vantrel (Release) with its tests into build/, one
# compile job for each processor.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DVANTREL_BUILD_TESTS=ON
cmake --build build --parallel "$(nproc)"
