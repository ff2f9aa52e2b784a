#!/usr/bin/env bash
# Proves the Debian package as a player gets it. Builds the source and binary
# packages from the tracked tree with dpkg-buildpackage and checks them with
# lintian (no error, no warning); makes a fresh Debian 12 root file system with
# mmdebstrap and, in it, installs the package with apt-get; then, as an
# ordinary user: plays the demo with vantrel-sim (the output the build tree
# gives), starts the game from its desktop entry's Exec line on an Xvfb (its
# window and its first frame, as the build tree's game draws it), plays the
# demo in that window (the table lands in the user's data folder, the last
# picture is the build tree's); and purges the package, after which nothing but
# the user's table may be left. Everything it makes stays in build-package/.
# Needs root for the root file system (sudo otherwise) and the build tree's
# programs (build/, made by scripts/build.sh when missing).
set -euo pipefail
cd "$(dirname "$0")/.."
export LC_ALL=C.UTF-8

# The part run inside mmdebstrap's customize hook, with the new system's
# /proc, /sys and /dev mounted: $2 is its root, $3 the folder of the checks.
if [ "${1:-}" = --in-root ]; then
  root=$2 check=$3
  inside() { chroot "$root" "$@"; }
  # A desktop session's runtime folder, which the session, not the game, owns.
  asPlayer() { chroot "$root" runuser -l player -c "XDG_RUNTIME_DIR=/tmp/check/runtime $1"; }
  files() {  # every path of the system but the kernel's and the checks' own
    (cd "$root" && find . -xdev \( -path ./proc -o -path ./sys -o -path ./dev -o -path ./tmp/check \) -prune -o -print) | sort
  }
  fail() { echo "test-package: $*" >&2; exit 1; }

  inside useradd --create-home --shell /bin/bash player
  files > "$check/before"
  mkdir -p "$root/tmp/check"
  cp "$check"/vantrel_*.deb demo/demo.vsim "$root/tmp/check/"
  chmod -R a+rwX "$root/tmp/check"
  inside install -d -o player -m 700 /tmp/check/runtime

  echo "== apt-get install ./vantrel_*.deb"
  inside sh -c 'cd /tmp/check && DEBIAN_FRONTEND=noninteractive apt-get install -y ./vantrel_*.deb' > "$check/install.log" 2>&1 ||
    { tail -20 "$check/install.log"; fail "the package does not install"; }
  grep -E '^(Need to get|After this operation)' "$check/install.log" || true
  inside dpkg -L vantrel | grep -E '/(games|applications|man6)/' | sed 's/^/  /'

  echo "== vantrel-sim plays the demo as the build tree does"
  asPlayer 'mkdir -p /tmp/check/sim && cd /tmp/check/sim && vantrel-sim /tmp/check/demo.vsim' > "$check/sim.out"
  cmp "$check/sim.out" tests/expected/demo.out || fail "vantrel-sim's demo differs from tests/expected/demo.out"
  echo "same, $(wc -l < "$check/sim.out") state lines"

  exec=$(sed -n 's/^Exec=//p' "$root/usr/share/applications/org.vantrel.vantrel.desktop")
  echo "== the desktop entry's Exec line on the display: $exec"
  asPlayer "DISPLAY=$DISPLAY $exec" > "$check/window.log" 2>&1 &
  started=$!
  window=""
  for _ in $(seq 100); do
    window=$(xwininfo -root -tree | sed -n 's/^ *\(0x[0-9a-f]*\) ".*": ("[^"]*" "org.vantrel.vantrel")  *[0-9]\{3,\}x.*/\1/p' | head -1)
    [ -n "$window" ] && break
    sleep 0.1
  done
  [ -n "$window" ] || { cat "$check/window.log"; fail "no window of class org.vantrel.vantrel"; }
  echo "window $window: $(xwininfo -id "$window" | sed -n 's/^  -geometry //p')"
  # The first frame: the bottom of the window (below the menu bar) against
  # the build tree's picture of the program as it opens.
  size=$(identify -format '%wx%h' "$check/expected-start.png")
  shown=no
  for _ in $(seq 50); do
    if import -window "$window" "$check/window.png" 2> /dev/null &&
      convert "$check/window.png" -gravity south -crop "$size+0+0" +repage "$check/start.png" &&
      "$COMPARE" "$check/expected-start.png" "$check/start.png" > "$check/start.compare" 2>&1; then
      shown=yes
      break
    fi
    sleep 0.2
  done
  cat "$check/start.compare"
  kill "$(xprop -id "$window" _NET_WM_PID | sed 's/.* = //')"
  wait "$started" || true
  [ "$shown" = yes ] || fail "the window's first frame is not the game's"

  echo "== the Exec line playing the demo: the table in the player's folder"
  asPlayer "DISPLAY=$DISPLAY $exec --play /tmp/check/demo.vsim --screenshot /tmp/check/demo.png" > "$check/play.log" 2>&1 ||
    { cat "$check/play.log"; fail "the game did not play the demo"; }
  cp "$root/tmp/check/demo.png" "$check/demo.png"
  "$COMPARE" "$check/expected-demo.png" "$check/demo.png" || fail "the demo's last picture is not the build tree's"
  table=$root/home/player/.local/share/vantrel/hiscore.txt
  [ -f "$table" ] || fail "no table in the player's folder"
  [ "$(inside stat -c %U /home/player/.local/share/vantrel/hiscore.txt)" = player ] || fail "the table is not the player's own"
  [ ! -e "$root/home/player/hiscore.txt" ] || fail "a table in the player's home, where the game started"
  echo "table: /home/player/.local/share/vantrel/hiscore.txt, $(wc -l < "$table") lines"

  echo "== apt-get purge: nothing left but the player's table"
  inside env DEBIAN_FRONTEND=noninteractive apt-get purge --autoremove -y vantrel > "$check/purge.log" 2>&1 ||
    { tail -20 "$check/purge.log"; fail "the package does not purge"; }
  files > "$check/after"
  # apt's and dpkg's own records and logs change with any install.
  left=$(comm -13 "$check/before" "$check/after" |
    grep -Ev '^\./var/(lib/apt|lib/dpkg|cache/apt|cache/debconf|log)(/|$)' |
    grep -Ev '^\./home/player/\.local(/share(/vantrel(/hiscore\.txt(\.lock)?)?)?)?$' || true)
  [ -z "$left" ] || { echo "$left"; fail "files left after the purge"; }
  echo "nothing left but the player's table"
  exit 0
fi

[ "$(id -u)" -eq 0 ] || exec sudo --preserve-env=LC_ALL "$0" "$@"
scripts/install-deps.sh linux package
[ -x build/bin/vantrel-compare-frames ] || scripts/build.sh
out=$PWD/build-package
# Never delete through a mount a broken earlier run may have left.
if grep -q " $out/" /proc/mounts; then
  echo "test-package: file systems still mounted under $out; unmount them first" >&2
  exit 1
fi
rm -rf "$out"
mkdir -p "$out/source" "$out/check"
install -d -m 700 "$out/check/runtime"

echo "== version"
project=$(sed -n 's/^project(Vantrel VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
debian=$(dpkg-parsechangelog -S Version)
[ "$debian" = "$project" ] || { echo "debian/changelog says $debian, CMakeLists.txt $project" >&2; exit 1; }
echo "$debian"

echo "== dpkg-buildpackage"
git ls-files -z --cached --others --exclude-standard | tar --null -T - -c | tar -x -C "$out/source"
(cd "$out/source" && dpkg-buildpackage -us -uc) > "$out/build.log" 2>&1 || { tail -40 "$out/build.log"; exit 1; }
(cd "$out" && printf '%s\n' ./*.deb ./*.dsc)

echo "== lintian"
lintian --display-info --pedantic --display-experimental --fail-on error,warning \
  "$out"/vantrel_*.changes | tee "$out/lintian.log"
echo "$(grep -c '^[EWIPX]:' "$out/lintian.log" || true) tags, no error or warning"

# The build tree's pictures of the same moments.
expected() {  # NAME SCRIPT
  XDG_RUNTIME_DIR=$out/check/runtime QT_QPA_PLATFORM=offscreen build/bin/vantrel --hiscore "$out/check/expected.txt" --play "$2" \
    --screenshot "$out/check/expected-$1.png" > /dev/null
}
printf 'tick 16\n' > "$out/check/start.vsim"
expected start "$out/check/start.vsim"
expected demo demo/demo.vsim
cp "$out"/vantrel_*.deb "$out/check/"

exec 3> "$out/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp > /dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2> /dev/null || true' EXIT
for _ in $(seq 100); do [ -s "$out/display" ] && break; sleep 0.1; done
DISPLAY=:$(head -n1 "$out/display")
export DISPLAY COMPARE=$PWD/build/bin/vantrel-compare-frames

echo "== a fresh Debian 12"
mmdebstrap --variant=minbase --mode=root \
  --customize-hook="\"$PWD/scripts/test-package.sh\" --in-root \"\$1\" \"$out/check\"" \
  bookworm "$out/root" \
  "deb http://deb.debian.org/debian bookworm main" \
  "deb http://deb.debian.org/debian bookworm-updates main" \
  "deb http://deb.debian.org/debian-security bookworm-security main" 2> "$out/mmdebstrap.log" || status=$?
# The checks' report is in mmdebstrap's log, among its own lines.
grep -v '^I: ' "$out/mmdebstrap.log" || true
if [ "${status:-0}" -ne 0 ]; then
  echo "result: the package failed a check in the fresh system" >&2
  exit 1
fi
rm -rf "$out/root"
echo "result: lintian clean; installs, plays and purges cleanly in a fresh Debian 12"
