#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer, AddressSanitizer (leaks
# included) and UndefinedBehaviorSanitizer into build-fuzz/, and runs each for
# a bounded time (FUZZ_SECONDS, 60 by default) from its seed corpus in fuzz/.
# Any crash, sanitizer report, leak or slow input fails the run; the input
# that did it is left in build-fuzz/findings/, to be added to the seeds.
# libFuzzer's own output goes to build-fuzz/logs/TARGET.log; one line a
# target says how many inputs ran, how large the corpus grew and what was found.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh > /dev/null
seconds="${FUZZ_SECONDS:-60}"

sanitizers="-fsanitize=address,undefined -fno-sanitize-recover=all"
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link $sanitizers" \
  -DCMAKE_EXE_LINKER_FLAGS="$sanitizers" -DVANTREL_BUILD_GUI=OFF -DVANTREL_BUILD_TESTS=OFF -DVANTREL_FUZZ=ON \
  > /dev/null
cmake --build build-fuzz --parallel 2 > /dev/null

mkdir -p build-fuzz/logs
failed=0 total=0
for target in hiscore script name_entry; do
  corpus="build-fuzz/corpus/$target" findings="build-fuzz/findings/$target" log="build-fuzz/logs/$target.log"
  mkdir -p "$corpus" "$findings"
  status=0
  # Standard output is closed: the high-score reader reports invalid characters there.
  build-fuzz/bin/fuzz-"$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -close_fd_mask=1 \
    -print_final_stats=1 -artifact_prefix="$findings/" "$corpus" "fuzz/corpus/$target" > "$log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  inputs=$(find "$corpus" -type f | wc -l)
  total=$((total + ${runs:-0}))
  if [ "$status" -eq 0 ]; then
    echo "fuzz-$target: ${runs:-?} inputs in ${seconds} s, corpus of $inputs, no finding"
  else
    failed=$((failed + 1))
    echo "fuzz-$target: FOUND A FAULT after ${runs:-?} inputs; the input is in $findings/, libFuzzer's report:"
    grep -E '^(==[0-9]+==|SUMMARY|.*runtime error|.*Test unit written|.*ERROR)' "$log" | head -20 | sed 's/^/  /'
    echo "  (the whole log: $log)"
  fi
done
if [ "$failed" -ne 0 ]; then
  echo "result: $failed of 3 targets found a fault"
  exit 1
fi
echo "result: 3 targets, $total inputs in all, no finding"
