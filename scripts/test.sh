#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
ctest --test-dir build --output-on-failure --timeout 600
scripts/test-sanitizers.sh
scripts/test-fuzz.sh
# The Windows build, cross-built and proven under Wine.
scripts/test-windows.sh
