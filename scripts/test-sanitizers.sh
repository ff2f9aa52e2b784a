#!/usr/bin/env bash
# Builds everything with AddressSanitizer (leaks included) and
# UndefinedBehaviorSanitizer into build-sanitizers/ and runs the whole test
# suite there, the window's tests too. Any report fails the run, also one from
# a program a test starts: every report is written to a log file, and any log
# file fails the script.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh > /dev/null

flags="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
cmake -S . -B build-sanitizers -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$flags" -DCMAKE_SHARED_LINKER_FLAGS="$flags"
cmake --build build-sanitizers --parallel 2

logs="$PWD/build-sanitizers/reports"
rm -rf "$logs"
mkdir -p "$logs"
export ASAN_OPTIONS="detect_leaks=1:detect_stack_use_after_return=1:strict_init_order=1:log_path=$logs/asan"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:log_path=$logs/ubsan"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan-suppressions.txt:print_suppressions=0"

status=0
ctest --test-dir build-sanitizers --output-on-failure --timeout 900 | tee "$logs/../ctest.log" || status=$?
summary=$(grep -E '^[0-9]+% tests passed' "$logs/../ctest.log" | tail -1)
if compgen -G "$logs/*" > /dev/null; then
  echo "test-sanitizers: sanitizer reports:" >&2
  cat "$logs"/* >&2
  echo "result: $summary; sanitizer reports in $logs"
  exit 1
fi
echo "result: $summary; no sanitizer report"
exit "$status"
