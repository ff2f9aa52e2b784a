#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks the package as a
# desktop sees it: valid metadata and desktop entry, an icon at every size,
# both manual pages. Usage: check_install.sh BUILD_DIR
set -euo pipefail
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$1" --prefix "$prefix" >/dev/null
share=$prefix/share
status=0
fail() { echo "check_install: $*" >&2; status=1; }

appstreamcli validate --no-net --pedantic "$share/metainfo/org.vantrel.vantrel.metainfo.xml" || fail "metadata does not validate"
desktop-file-validate "$share/applications/org.vantrel.vantrel.desktop" || fail "desktop entry does not validate"
grep -qx 'Exec=vantrel --user-hiscore --pause-when-inactive' "$share/applications/org.vantrel.vantrel.desktop" ||
  fail "the desktop entry does not keep the table in the user's data folder and hold the game while away"
for size in 16 32 48 64 128 256; do
  icon=$share/icons/hicolor/${size}x${size}/apps/vantrel.png
  if [ ! -f "$icon" ]; then fail "no icon $icon"; continue; fi
  # Width and height are the big-endian words at bytes 16 and 20 of a PNG.
  read -r w h < <(od -An -tu4 --endian=big -j16 -N8 "$icon")
  [ "$w" = "$size" ] && [ "$h" = "$size" ] || fail "$icon is ${w}x${h}"
done
grep -qx 'StartupWMClass=org.vantrel.vantrel' "$share/applications/org.vantrel.vantrel.desktop" ||
  fail "the desktop entry does not name the window's class"
for doc in LICENSE README.md NEWS.md; do
  [ -s "$share/doc/vantrel/$doc" ] || fail "no $doc under share/doc/vantrel"
done
# One version everywhere: the project's, as players see it.
release=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$1/CMakeCache.txt")
version=${release%.*}
for page in vantrel vantrel-sim; do
  man=$share/man/man6/$page.6
  [ -s "$man" ] || { fail "no manual page $page(6)"; continue; }
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$man" 2>&1 >/dev/null) || fail "man cannot format $page(6)"
  [ -z "$warnings" ] || fail "$page(6) has warnings: $warnings"
  grep -Eq "^\.TH [A-Z-]+ 6 [0-9]{4}-[0-9]{2}-[0-9]{2} \"Vantrel $version\"" "$man" || fail "$page(6) does not carry version $version and a date"
done
grep -q "<release version=\"$version\" date=" "$share/metainfo/org.vantrel.vantrel.metainfo.xml" ||
  fail "the metadata's release is not $version"
grep -qx "## $release" "$share/doc/vantrel/NEWS.md" || fail "NEWS has no heading for $release"
for program in vantrel vantrel-sim; do
  [ -x "$prefix/bin/$program" ] || fail "no program $program"
done
[ $status -eq 0 ] && echo "check_install: the installed package is complete and valid"
exit $status
