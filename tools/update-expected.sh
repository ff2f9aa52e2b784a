#!/usr/bin/env bash
# Writes tests/expected/NAME.out, the whole output of vantrel-sim on each
# demo/NAME.vsim. Run it only for a deliberate change of the game's course
# (the ball's path, the fades, the scoring) and commit the result on its own.
set -euo pipefail
cd "$(dirname "$0")/.."
sim="$PWD/${1:-build/bin/vantrel-sim}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for script in demo/*.vsim; do
  name=$(basename "$script" .vsim)
  rm -f "$work/hiscore.txt"
  (cd "$work" && "$sim" "$OLDPWD/$script") > "tests/expected/$name.out"
  echo "tests/expected/$name.out"
done
