#!/usr/bin/env bash
# Cross-builds the Windows programs and their tests with MinGW-w64 and packs
# what a Windows player downloads: vantrel-win32.zip (vantrel.exe, the help
# pages, README.txt and LICENSE.txt) and the installer of the same files,
# vantrel-setup.exe (makensis, resources/vantrel.nsi).
#   scripts/build-windows.sh            32-bit, into build-win32/
#   scripts/build-windows.sh x86_64     64-bit, into build-win64/ (the
#                                       installer only, for the tests)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh windows

arch=${1:-i686}
case "$arch" in
  i686) dir=build-win32 ;;
  x86_64) dir=build-win64 ;;
  *) echo "build-windows.sh: unknown architecture '$arch' (i686 or x86_64)" >&2; exit 2 ;;
esac
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="cmake/$arch-w64-mingw32.cmake" -DVANTREL_BUILD_GUI=ON -DVANTREL_BUILD_BENCHMARKS=OFF
cmake --build "$dir" --parallel 2

# What a player gets, in a folder: the zip's contents and the installer's.
# Text files with CR LF line ends, as Windows editors expect them.
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir -p "$stage/vantrel/help"
"$arch-w64-mingw32-strip" -o "$stage/vantrel/vantrel.exe" "$dir/bin/vantrel.exe"
cp "$dir"/help/*.html "$stage/vantrel/help/"
sed 's/\r*$/\r/' resources/windows-readme.txt > "$stage/vantrel/README.txt"
sed 's/\r*$/\r/' LICENSE > "$stage/vantrel/LICENSE.txt"

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$dir/CMakeCache.txt")
makensis -V2 -DVERSION="$version" -DARCH="$arch" -DFILES="$stage/vantrel" -DICON="$PWD/resources/icons/vantrel.ico" \
  -DOUTFILE="$PWD/$dir/vantrel-setup.exe" resources/vantrel.nsi
echo "Made $dir/vantrel-setup.exe"
[ "$arch" = i686 ] || exit 0
rm -f "$dir/vantrel-win32.zip"
(cd "$stage" && zip -qr -X "$OLDPWD/$dir/vantrel-win32.zip" vantrel)
echo "Packed $dir/vantrel-win32.zip"
