#!/usr/bin/env bash
# Installs the Debian 12 packages of the Windows build and its tests: the
# MinGW-w64 cross compilers, Wine (32- and 64-bit), Xvfb and zip. Does nothing
# when they are all present already.
set -euo pipefail

packages=(
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686
  wine wine32:i386 wine64
  xvfb xauth zip
)

exec "$(dirname "$0")/apt-install.sh" "${packages[@]}"
