#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test, stage by stage: the
# source's format, the Linux build and its suite, the same suite under the
# sanitizers, the Debian package installed in a fresh Debian 12, the fuzz
# targets, the Windows build under Wine and its installer, and the web build
# under node and in headless Chromium. Each stage's whole output goes
# to build-logs/STAGE.log; the screen gets one line a stage with its time and
# result, and the end of the log of a stage that failed. Every stage runs
# even when an earlier one failed; the exit code says whether all passed.
set -uo pipefail
cd "$(dirname "$0")/.."
# Wine maps Windows file names through the locale's character set, and a
# container may set none: every stage runs under the UTF-8 locale Debian always has.
export LC_ALL=C.UTF-8
logs=$PWD/build-logs
rm -rf "$logs"
mkdir -p "$logs"

linux() {
  scripts/build.sh && ctest --test-dir build --output-on-failure --timeout 600
}

passed=0 failed=0
stage() {
  local name=$1
  shift
  local log="$logs/$name.log" start=$SECONDS status=0
  "$@" > "$log" 2>&1 || status=$?
  local took=$((SECONDS - start)) result
  result=$(sed -n 's/^result: //p' "$log" | tail -1)
  [ -n "$result" ] || result=$(grep -E '^[0-9]+% tests passed' "$log" | tail -1)
  if [ "$status" -eq 0 ]; then
    passed=$((passed + 1))
    printf '%-11s ok      %3dm%02ds  %s\n' "$name" $((took / 60)) $((took % 60)) "$result"
  else
    failed=$((failed + 1))
    printf '%-11s FAILED  %3dm%02ds  %s\n' "$name" $((took / 60)) $((took % 60)) "$result"
    echo "---- the end of $log:"
    tail -n 60 "$log"
    echo "----"
  fi
}

stage packages scripts/install-deps.sh linux windows package
stage format scripts/check-format.sh
stage linux linux
stage sanitizers scripts/test-sanitizers.sh
stage package scripts/test-package.sh
stage fuzz scripts/test-fuzz.sh
stage windows scripts/test-windows.sh
stage installer scripts/test-installer.sh
stage web scripts/test-web.sh
echo "stages: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
