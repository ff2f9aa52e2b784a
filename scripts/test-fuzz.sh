#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer, AddressSanitizer (leaks
# included) and UndefinedBehaviorSanitizer into build-fuzz/, and runs each for
# a bounded time (FUZZ_SECONDS, 60 by default) from its seed corpus in fuzz/.
# Any crash, sanitizer report, leak or slow input fails the run; the input
# that did it is left in build-fuzz/findings/, to be added to the seeds.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
seconds="${FUZZ_SECONDS:-60}"

sanitizers="-fsanitize=address,undefined -fno-sanitize-recover=all"
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link $sanitizers" \
  -DCMAKE_EXE_LINKER_FLAGS="$sanitizers" -DVANTREL_BUILD_GUI=OFF -DVANTREL_BUILD_TESTS=OFF -DVANTREL_FUZZ=ON
cmake --build build-fuzz --parallel

status=0
for target in hiscore script name_entry; do
  corpus="build-fuzz/corpus/$target" findings="build-fuzz/findings/$target"
  mkdir -p "$corpus" "$findings"
  echo "== fuzz-$target for ${seconds}s"
  # Standard output is closed: the high-score reader reports invalid characters there.
  if ! build-fuzz/bin/fuzz-"$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -close_fd_mask=1 \
      -print_final_stats=1 -artifact_prefix="$findings/" "$corpus" "fuzz/corpus/$target"; then
    echo "test-fuzz: fuzz-$target found a fault; the input is in $findings/" >&2
    status=1
  fi
done
exit "$status"
