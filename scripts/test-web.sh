#!/usr/bin/env bash
# Proves the web build (build-web/, made by scripts/build-web.sh) against the
# Linux build's (build/, made first by scripts/build.sh): the file-system
# contract under node on the page's file system; vantrel-sim under node on
# the demo scripts and on bad scripts, byte for byte (standard output,
# standard error, exit code and the hiscore.txt left behind); then the page
# in headless Chromium (tests/web/test_page.py), the window and surface
# contracts among its cases.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
linux=$root/build/bin

scripts/build-web.sh tests
work=$(mktemp -d /tmp/vantrel-web-XXXXXX)
trap 'rm -rf "$work"' EXIT

echo "== the file-system contract under node"
contract=0
node --no-experimental-fetch build-web/bin/vantrel_file_system_contract.js 2>&1 | tee "$work/contract.log" || contract=$?
contractResult=$(sed -nE 's/^\[  (PASSED|FAILED|SKIPPED) *\] ([0-9]+) tests?[,.].*/\2 \L\1/p' "$work/contract.log" | paste -sd ' ')

echo "== comparisons: vantrel-sim under node against Linux"
# A run with no input in a fresh folder, keeping out, err, the exit code and
# the files it leaves.
run_in() {
  local dir=$1
  shift
  mkdir -p "$dir/cwd"
  local code=0
  (cd "$dir/cwd" && timeout 600 "$@" < /dev/null > ../out 2> ../err) || code=$?
  echo "$code" > "$dir/code"
}
failures=0 comparisons=0
sim() {
  local name=$1 script=$2
  comparisons=$((comparisons + 1))
  run_in "$work/$name/linux" "$linux/vantrel-sim" "$script"
  run_in "$work/$name/web" node --no-experimental-fetch "$root/build-web/bin/vantrel-sim.js" "$script"
  if diff -r "$work/$name/linux" "$work/$name/web" > "$work/$name.diff"; then
    printf '%-20s same, exit %s, %s lines\n' "$name" "$(cat "$work/$name/linux/code")" "$(wc -l < "$work/$name/linux/out")"
  else
    printf '%-20s DIFFERENT\n' "$name"
    head -c 2000 "$work/$name.diff"
    failures=$((failures + 1))
  fi
}
scripts=$work/scripts
mkdir -p "$scripts"
for demo in demo/*.vsim; do sim "$(basename "$demo" .vsim)" "$root/$demo"; done
for case in $(scripts/sim-cases.sh "$scripts"); do sim "$case" "$scripts/$case.vsim"; done
sim missing-script "$scripts/no-such-script.vsim"

echo "== the page in headless Chromium"
# Debian's Chromium, its driver and Selenium: nothing downloaded at test time.
scripts/apt-install.sh chromium chromium-driver python3-selenium
page=0
/usr/bin/python3 tests/web/test_page.py "$root/build-web/site" "$linux" 2>&1 | tee "$work/page.log" || page=$?
pageResult=$(grep -E '^(Ran|OK|FAILED)' "$work/page.log" | tr '\n' ' ')

if [ "$contract" -ne 0 ] || [ "$failures" -ne 0 ] || [ "$page" -ne 0 ]; then
  echo "result: contract: $contractResult; $failures of $comparisons comparisons differ; page: $pageResult"
  exit 1
fi
echo "result: contract: $contractResult; $comparisons comparisons the same; page: $pageResult"
