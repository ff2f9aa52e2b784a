#!/usr/bin/env bash
# Checks every C++ file of the tree against its .clang-format; with --fix,
# formats them instead.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = --fix ]; then
  clang-format -i "${files[@]}"
  exit 0
fi
if ! clang-format --dry-run --Werror "${files[@]}"; then
  echo "result: formatting differs from .clang-format; scripts/check-format.sh --fix formats it" >&2
  exit 1
fi
echo "result: ${#files[@]} files formatted as .clang-format says"
