#!/usr/bin/env bash
# Makes every download of a release into dist/, from a clean clone of the
# commit at hand in build-release/ (nothing built before counts):
#   vantrel_VERSION_amd64.deb  the Debian package
#   vantrel-win32.zip          the Windows folder to unpack anywhere
#   vantrel-setup.exe          the Windows installer
#   vantrel-web.zip            the web page, for any static host
#   SHA256SUMS                 their checksums
# and runs their checks on them: the package's (scripts/test-package.sh:
# lintian, then install, play and purge in a fresh Debian 12) and the
# installer's (scripts/test-installer.sh, under Wine). A tree with changes
# not committed is refused: a release is made of a commit.
set -euo pipefail
cd "$(dirname "$0")/.."
export LC_ALL=C.UTF-8
if [ -n "$(git status --porcelain)" ]; then
  echo "release.sh: the tree has changes that are not committed; commit them first" >&2
  exit 1
fi
root=$PWD
work=$root/build-release
dist=$root/dist
if grep -q " $work/" /proc/mounts; then
  echo "release.sh: file systems still mounted under $work; unmount them first" >&2
  exit 1
fi
rm -rf "$work" "$dist"
commit=$(git rev-parse HEAD)
git clone -q "$root" "$work"
git -C "$work" checkout -q --detach "$commit"
cd "$work"

scripts/install-deps.sh linux windows package
scripts/build.sh
scripts/test-package.sh
scripts/test-installer.sh
scripts/build-web.sh

mkdir -p "$dist" "$work/web/vantrel-web"
cp build-package/vantrel_*_amd64.deb build-win32/vantrel-win32.zip build-win32/vantrel-setup.exe "$dist/"
cp -r build-web/site/. "$work/web/vantrel-web/"
cp resources/web-readme.txt "$work/web/vantrel-web/README.txt"
(cd "$work/web" && zip -qr -X "$dist/vantrel-web.zip" vantrel-web)
for file in index.html vantrel.js vantrel.wasm service-worker.js help/index.html README.txt; do
  unzip -l "$dist/vantrel-web.zip" "vantrel-web/$file" > /dev/null || {
    echo "release.sh: vantrel-web.zip has no $file" >&2
    exit 1
  }
done
(cd "$dist" && sha256sum -- * > SHA256SUMS && sha256sum --check --quiet SHA256SUMS)
echo "== dist/, of commit $commit"
(cd "$dist" && find . -type f -printf "%s %P\n" | sort -k2)
cat "$dist/SHA256SUMS"
