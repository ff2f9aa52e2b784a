#!/usr/bin/env bash
# Installs the Debian 12 packages Vantrel needs: `game` for building and
# playing it, nothing (or `all`) for building, running and testing all of it.
# Does nothing when they are all present already.
set -euo pipefail

game=(g++ cmake ninja-build pkg-config qt6-base-dev libgl-dev fonts-dejavu-core)
tests=(
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth
  clang libclang-rt-14-dev
  appstream desktop-file-utils
)

case "${1:-all}" in
  game) packages=("${game[@]}") ;;
  all) packages=("${game[@]}" "${tests[@]}") ;;
  *) echo "usage: $0 [game|all]" >&2; exit 2 ;;
esac
exec "$(dirname "$0")/apt-install.sh" "${packages[@]}"
