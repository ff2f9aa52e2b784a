#!/usr/bin/env bash
# Installs the Debian 12 packages Vantrel needs, with one apt-get run for all
# that are missing; does nothing when they are all present.
#   scripts/install-deps.sh                  to build, run and test on Linux
#   scripts/install-deps.sh game             to build and play the game only
#   scripts/install-deps.sh windows          to cross-build for Windows and
#                                            prove it under Wine
#   scripts/install-deps.sh package          to build the Debian package and
#                                            prove it in a fresh Debian 12
#   scripts/install-deps.sh linux windows    both
set -euo pipefail

game=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev libfontconfig-dev libgl-dev fonts-dejavu-core libstb-dev
)
tests=(
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth x11-utils
  clang clang-format libclang-rt-14-dev
  appstream desktop-file-utils man-db
)
# The MinGW-w64 cross compilers, Wine (32- and 64-bit), Xvfb, zip and the
# stb headers, which the cross builds share with Linux; NSIS for the
# installer, 7-Zip to list it and liblnk's lnkinfo to read its shortcut.
windows=(
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686
  wine wine32:i386 wine64
  xvfb xauth zip libstb-dev
  nsis p7zip-full liblnk-utils
)

# The Debian package: its build and lintian, a fresh Debian 12 made by
# mmdebstrap, and the display the installed game is watched on.
package=(
  debhelper lintian mmdebstrap
  xvfb xauth x11-utils imagemagick
)

packages=()
for set in "${@:-linux}"; do
  case "$set" in
    game) packages+=("${game[@]}") ;;
    linux) packages+=("${game[@]}" "${tests[@]}") ;;
    windows) packages+=("${windows[@]}") ;;
    package) packages+=("${package[@]}") ;;
    *) echo "install-deps.sh: unknown set '$set' (game, linux, windows or package)" >&2; exit 2 ;;
  esac
done
exec "$(dirname "$0")/apt-install.sh" "${packages[@]}"
