#!/usr/bin/env bash
# Installs the Debian 12 packages Vantrel needs to build, run and test.
# Does nothing when they are all present already.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev libgl-dev fonts-dejavu-core
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth
  clang libclang-rt-14-dev
  appstream desktop-file-utils
)

exec "$(dirname "$0")/apt-install.sh" "${packages[@]}"
