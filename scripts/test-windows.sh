#!/usr/bin/env bash
# Proves the Windows build: cross-builds it, checks that the programs import
# only system DLLs, then runs them under Wine in a prefix of its own: the unit
# tests, and vantrel-sim against the Linux build's (build/, made first by
# scripts/build.sh) on the same scripts, byte for byte.
#
# Where the kernel cannot run 32-bit code (no IA-32 emulation) Wine cannot
# start the 32-bit programs at all; the same sources are then built for 64-bit
# Windows and those run instead, after a check that the 32-bit build does its
# double arithmetic in SSE2 registers only, which is what makes it agree with
# the 64-bit builds to the last bit.
set -euo pipefail
cd "$(dirname "$0")/.."
# Wine maps Windows names to Unix ones through the locale: a UTF-8 one, so
# that names outside ASCII can be made whatever the caller set.
export LC_ALL=C.UTF-8
root=$PWD
linux=$root/build/bin

scripts/build-windows.sh i686

echo "== imports: system DLLs only"
system_dlls='^(kernel32|user32|gdi32|shell32|comdlg32|advapi32|msvcrt|version)\.dll$'
for exe in build-win32/bin/vantrel.exe build-win32/bin/vantrel-sim.exe; do
  bad=$(i686-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr '[:upper:]' '[:lower:]' | grep -Ev "$system_dlls" || true)
  if [ -n "$bad" ]; then
    echo "$exe imports $bad" >&2
    exit 1
  fi
done

echo "== 32-bit doubles in SSE2 registers only"
# x87 arithmetic rounds through 80 bits; loads and stores that only carry a
# double returned in st(0) are exact and allowed.
x87=$(i686-w64-mingw32-objdump -d build-win32/libvantrel_game.a |
  grep -E '\s(fadd|faddp|fsub|fsubp|fsubr|fsubrp|fmul|fmulp|fdiv|fdivp|fdivr|fdivrp|fsqrt|fiadd|fimul|fidiv|fisub|fprem|fscale|frndint)\s' || true)
if [ -n "$x87" ]; then
  echo "x87 arithmetic in the game library:" >&2
  echo "$x87" | head >&2
  exit 1
fi

work=$(mktemp -d /tmp/vantrel-windows-XXXXXX)
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
  timeout 30 "${WINESERVER:-wineserver}" -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# The Debian wrapper starts the 32-bit loader whenever it is installed.
if timeout 10 wine --version > /dev/null 2>&1; then
  wine=wine
  build="build-win32"
else
  wine=/usr/lib/wine/wine64
  export WINELOADER=$wine WINESERVER=/usr/lib/wine/wineserver64
  build="build-win64"
  echo "== this kernel runs no 32-bit code: the 64-bit Windows build runs under Wine instead"
  scripts/build-windows.sh x86_64
fi
echo "== Wine prefix"
# A server quits three seconds after its last program has ended, and a program
# that starts just then loses it ("recvmsg: Connection reset by peer"): one
# server runs from here until the cleanup ends it.
mkdir -p "$WINEPREFIX"
"${WINESERVER:-wineserver}" -p
timeout 300 "$wine" wineboot -i > /dev/null 2>&1
timeout 60 "$wine" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f > /dev/null 2>&1
# A Wine that cannot run the programs exits 0 without output: ask for some.
probe=$(timeout 60 "$wine" "$build/bin/vantrel-sim.exe" --help 2>&1 || true)
case "$probe" in
  Usage:\ vantrel-sim*) ;;
  *) echo "Wine does not run $build/bin/vantrel-sim.exe: $probe" >&2; exit 1 ;;
esac

echo "== unit tests under Wine"
cmake "$build" -DCMAKE_CROSSCOMPILING_EMULATOR="$wine" > /dev/null
xvfb-run -a ctest --test-dir "$build" --output-on-failure --timeout 600 | tee "$work/ctest.log"
unit=$(grep -E '^[0-9]+% tests passed' "$work/ctest.log" | tail -1)

echo "== comparisons: Windows against Linux"
# Each comparison runs a program with no input in a fresh folder on both
# sides and keeps out, err, the exit code and the hiscore.txt it leaves.
run_in() {
  local dir=$1
  shift
  rm -rf "$dir"
  mkdir -p "$dir/cwd"
  local code=0
  (cd "$dir/cwd" && timeout 600 "$@" < /dev/null > ../out 2> ../err) || code=$?
  echo "$code" > "$dir/code"
  if [ -f "$dir/cwd/hiscore.txt" ]; then mv "$dir/cwd/hiscore.txt" "$dir/hiscore.txt"; fi
  rm -rf "$dir/cwd"
}
# What one side left, for a report.
show_side() {
  local dir=$1
  local code
  code=$(cat "$dir/code")
  if [ "$code" = 124 ]; then code="124, timed out"; fi
  echo "  $(basename "$dir"): exit $code"
  head -5 "$dir/out" | cut -c1-160 | sed 's/^/    out: /'
  head -5 "$dir/err" | cut -c1-160 | sed 's/^/    err: /'
}

# Two ways to be the same. output: everything a program leaves, byte for byte
# (vantrel-sim, and vantrel.exe's command line). pixels: the screenshots of
# the two windows, compared over the field and the panel outside its text.
same_output() { diff -r "$work/$1/linux" "$work/$1/windows" > /dev/null; }
explain_output() {
  show_side "$work/$1/linux"
  show_side "$work/$1/windows"
  diff -r "$work/$1/linux" "$work/$1/windows" | head -c 2000 || true
}
same_pixels() {
  local side
  for side in linux windows; do [ -f "$work/$1/$side/shot.png" ] || return 1; done
  "$linux/vantrel-compare-frames" "$work/$1/linux/shot.png" "$work/$1/windows/shot.png" > /dev/null 2>&1
}
explain_pixels() {
  local side
  for side in linux windows; do
    [ -f "$work/$1/$side/shot.png" ] || echo "  no screenshot from $side"
  done
  "$linux/vantrel-compare-frames" "$work/$1/linux/shot.png" "$work/$1/windows/shot.png" 2>&1 | head -10 || true
  show_side "$work/$1/linux"
  show_side "$work/$1/windows"
}

# compare WAY NAME DISPLAY LINUX-PROGRAM WINDOWS-PROGRAM [ARGUMENT...]: runs
# both sides (DISPLAY is "xvfb-run -a" for a window that opens, else empty)
# and prints one row of the table. Should Wine itself lose a program, a
# Windows run that differs is made once more, and what the first gave is
# printed whether or not the second agrees.
failures=0 comparisons=0
printf '%-26s %-8s %s\n' comparison by result
compare() {
  local way=$1 name=$2 display=$3 linuxProgram=$4 windowsProgram=$5
  shift 5
  local wrapper=()
  [ -z "$display" ] || read -r -a wrapper <<< "$display"
  comparisons=$((comparisons + 1))
  run_in "$work/$name/linux" "${wrapper[@]}" "$linuxProgram" "$@"
  run_in "$work/$name/windows" "${wrapper[@]}" "$wine" "$windowsProgram" "$@"
  local summary="same, exit $(cat "$work/$name/linux/code")"
  [ "$way" = output ] && summary="$summary, $(wc -l < "$work/$name/linux/out") lines"
  if "same_$way" "$name"; then
    printf '%-26s %-8s %s\n' "$name" "$way" "$summary"
    return
  fi
  local first
  first=$("explain_$way" "$name")
  run_in "$work/$name/windows" "${wrapper[@]}" "$wine" "$windowsProgram" "$@"
  if "same_$way" "$name"; then
    printf '%-26s %-8s %s\n' "$name" "$way" "$summary on a second run under Wine; the first differed:"
    echo "$first"
  else
    printf '%-26s %-8s %s\n' "$name" "$way" "DIFFERENT (twice under Wine); the first run:"
    echo "$first"
    echo "and the second:"
    "explain_$way" "$name"
    failures=$((failures + 1))
  fi
}

sim() { compare output "$1" "" "$linux/vantrel-sim" "$root/$build/bin/vantrel-sim.exe" "$2"; }
scripts=$work/scripts
mkdir -p "$scripts"
for demo in demo/*.vsim; do sim "$(basename "$demo" .vsim)" "$root/$demo"; done
for case in $(scripts/sim-cases.sh "$scripts" --long); do sim "$case" "$scripts/$case.vsim"; done
sim missing-script "$scripts/no-such-script.vsim"

# vantrel.exe against the Qt window: its command line (but --help, which
# speaks of each system's own folders), then the pictures.
export QT_QPA_PLATFORM=offscreen
window() { compare "$1" "$2" "$3" "$linux/vantrel" "$root/$build/bin/vantrel.exe" "${@:4}"; }
for options in "--version" "--bogus" "--scale 9" "--screenshot x.png"; do
  # shellcheck disable=SC2086
  window output "options $options" "" $options
done
printf 'type ABC\nkey 13\nmove 200 250\nclick 200 250\ntick 333\n' > "$scripts/in-play.vsim"
for shot in in-play game-over demo; do
  script=$scripts/$shot.vsim
  [ -f "$script" ] || script=$root/demo/$shot.vsim
  window pixels "screenshot-$shot" "xvfb-run -a" --play "$script" --screenshot ../shot.png
done

if [ "$failures" -ne 0 ]; then
  echo "result: $failures of $comparisons comparisons differ; unit tests: $unit"
  exit 1
fi
echo "result: $comparisons comparisons the same; unit tests: $unit"
