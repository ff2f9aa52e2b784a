#!/usr/bin/env bash
# Writes into the folder DIR the scripts on which another build of
# vantrel-sim is compared with the Linux one, and prints their names: the
# state after every tick of a whole game (and every 50 ticks of all levels
# with --long), and the bad scripts, each stopping with a message.
# Usage: scripts/sim-cases.sh DIR [--long]
set -euo pipefail
cd "$(dirname "$0")/.."
dir=$1
every() {  # a state line after every N ticks of a demo
  awk -v n="$1" '$1 == "tick" { t = $2 == "" ? 1 : $2; for (i = 0; i < t; i++) { print "tick"; if (++c % n == 0) print "state" } next } { print }' "$2"
}
every 1 demo/game-over.vsim > "$dir/every-tick.vsim"
echo every-tick
if [ "${2:-}" = --long ]; then
  every 50 demo/all-levels.vsim > "$dir/every-50-ticks.vsim"
  echo every-50-ticks
fi
printf 'type AB\nkey 13\nbogus 1\n' > "$dir/unknown-command.vsim"
printf 'tick -1\n' > "$dir/negative-ticks.vsim"
printf 'move 1\n' > "$dir/missing-number.vsim"
printf 'type \xe9\xff\nstate\nkey 0xZZ\n' > "$dir/bad-bytes.vsim"
printf 'tick 3\r\nstate\r\n' > "$dir/crlf.vsim"
printf '%s\n' unknown-command negative-ticks missing-number bad-bytes crlf
