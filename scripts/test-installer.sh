#!/usr/bin/env bash
# Proves the Windows installer as a player meets it. The installer players
# download is the 32-bit one (build-win32/vantrel-setup.exe): its contents are
# listed with 7-Zip and must be the files of the zip. These machines run no
# 32-bit code, so the installer the same script makes of the 64-bit build
# (build-win64/vantrel-setup.exe) is run under Wine, once for all users and
# once for the current user alone: a silent install; the Add/Remove Programs
# entry (name, version as in the game's resources, publisher, icon, size); the
# Start-menu entry, whose target, started with its own options, plays the demo
# to the Linux build's picture and keeps the table in %APPDATA%\Vantrel; then a
# silent uninstall that leaves no installed file, entry or shortcut behind and
# the player's table in place. Needs the Linux build (build/, scripts/build.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
export LC_ALL=C.UTF-8
root=$PWD
[ -x build/bin/vantrel-compare-frames ] || scripts/build.sh
scripts/build-windows.sh i686
scripts/build-windows.sh x86_64

fail() { echo "test-installer: $*" >&2; exit 1; }

echo "== the 32-bit installer's contents"
# The files an installer puts in place, without its own plug-ins and the
# uninstaller it writes.
listed() {
  7z l -slt "$1" | sed -n 's/^Path = //p' | tail -n +2 | grep -Ev '^[$]PLUGINSDIR|^uninstall[.]exe$' | sort
}
listed build-win32/vantrel-setup.exe > build-win32/setup-files.txt
unzip -Z1 build-win32/vantrel-win32.zip | sed -n 's|^vantrel/\(.*[^/]\)$|\1|p' | sort > build-win32/zip-files.txt
diff build-win32/zip-files.txt build-win32/setup-files.txt || fail "the installer does not hold the zip's files"
echo "$(wc -l < build-win32/setup-files.txt) files, the zip's"
listed build-win64/vantrel-setup.exe | diff build-win32/setup-files.txt - || fail "the two installers hold different files"

work=$(mktemp -d /tmp/vantrel-installer-XXXXXX)
wine=/usr/lib/wine/wine64
export WINELOADER=$wine WINESERVER=/usr/lib/wine/wineserver64 WINEPREFIX=$work/prefix WINEDEBUG=-all HOME=$work/home
# No Mono or Gecko to fetch, and no menu entries made on the Linux side.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
xvfb=""
cleanup() {
  timeout 30 "$WINESERVER" -k 2> /dev/null || true
  [ -z "$xvfb" ] || kill "$xvfb" 2> /dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$WINEPREFIX" "$HOME"
# One X server for the whole run: Wine's desktop process, started by the
# first program, keeps the display it was started on, and a game started
# after that display went away shows nothing and ends at once.
exec 3> "$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp > /dev/null 2>&1 &
xvfb=$!
for _ in $(seq 300); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start"
export DISPLAY=:$(head -n1 "$work/display")
"$WINESERVER" -p
timeout 300 "$wine" wineboot -i > /dev/null 2>&1
unix() { "$wine" winepath -u "$1" 2> /dev/null; }
windows() { "$wine" winepath -w "$1" 2> /dev/null; }
appdata=$(unix "$("$wine" cmd /c echo %APPDATA% 2> /dev/null | tr -d '\r')")

QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$work build/bin/vantrel --hiscore "$work/linux.txt" --play demo/demo.vsim \
  --screenshot "$work/linux.png" > /dev/null
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build-win64/CMakeCache.txt)
# The version the game's resources and the installer's carry, as 7-Zip reads them.
for exe in build-win64/bin/vantrel.exe build-win32/bin/vantrel.exe build-win64/vantrel-setup.exe build-win32/vantrel-setup.exe; do
  7z -tPE e -so "$exe" .rsrc/version.txt 2> /dev/null | iconv -f UTF-16 -t UTF-8 | grep -q "\"FileVersion\", *\"$version.0\"" ||
    fail "$exe does not carry version $version"
done

for mode in AllUsers CurrentUser; do
  echo "== installed for $mode"
  case $mode in
    AllUsers) hive=HKLM menu='%ProgramData%\Microsoft\Windows\Start Menu\Programs' ;;
    CurrentUser) hive=HKCU menu='%APPDATA%\Microsoft\Windows\Start Menu\Programs' ;;
  esac
  # As with the game below, a second try tells Wine's loss from the installer's.
  install() { timeout 120 "$wine" "$(windows build-win64/vantrel-setup.exe)" /S "/$mode"; }
  install || { echo "the first silent install under Wine failed (exit $?); once more"; install; } ||
    fail "the silent install failed (exit $?)"
  key="$hive\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vantrel"
  "$wine" reg query "$key" 2> /dev/null | tr -d '\r' > "$work/entry" || fail "no entry in Add/Remove Programs"
  value() { sed -n "s/^ *$1 *REG_[A-Z]* *//p" "$work/entry"; }
  folder=$(unix "$(value InstallLocation)")
  echo "folder: $(value InstallLocation)"
  [ -f "$folder/vantrel.exe" ] || fail "no vantrel.exe in the folder"
  [ "$(value DisplayName)" = Vantrel ] || fail "the entry's name is '$(value DisplayName)'"
  [ "$(value DisplayVersion)" = "$version" ] || fail "the entry's version is '$(value DisplayVersion)', not $version"
  [ "$(value Publisher)" = "The Vantrel developers" ] || fail "the entry's publisher is '$(value Publisher)'"
  [ -f "$(unix "$(value DisplayIcon | sed 's/,0$//')")" ] || fail "the entry's icon is not a file"
  [ $(($(value EstimatedSize))) -gt 100 ] || fail "the entry's size is '$(value EstimatedSize)'"
  echo "entry: Vantrel $version, The Vantrel developers, $(($(value EstimatedSize))) KB"

  link=$(unix "$("$wine" cmd /c echo "$menu\\Vantrel.lnk" 2> /dev/null | tr -d '\r"')")
  [ -f "$link" ] || fail "no Start-menu entry"
  lnkinfo "$link" | tr -d '\r' > "$work/link"
  target=$(sed -n 's/^\s*Local path\s*: //p' "$work/link")
  options=$(sed -n 's/^\s*Command line arguments\s*: //p' "$work/link")
  echo "Start menu: $target $options"
  [ "$(unix "$target")" -ef "$folder/vantrel.exe" ] || fail "the entry does not start the installed game"
  case " $options " in *" --user-hiscore "*) ;; *) fail "the entry does not keep the table in the player's folder" ;; esac

  # Wine now and then loses a program as it starts: a second run then tells.
  for run in first second; do
    rm -rf "$appdata/Vantrel" "$work/windows.png"
    # shellcheck disable=SC2086  # the entry's options are words
    (cd "$work" && timeout 120 "$wine" "$target" $options --play "$(windows "$root/demo/demo.vsim")" \
      --screenshot "$(windows "$work/windows.png")" > "$work/game.log" 2>&1) || true
    build/bin/vantrel-compare-frames "$work/linux.png" "$work/windows.png" && break
    echo "the $run run under Wine did not play the demo to the Linux build's picture:"
    cat "$work/game.log"
    [ $run = first ] || fail "the Start-menu entry's game did not play the demo"
  done
  [ -f "$appdata/Vantrel/hiscore.txt" ] || fail "no table in %APPDATA%\\Vantrel"
  ! find "$folder" -iname 'hiscore*' | grep -q . || fail "a table in the program's folder"

  uninstall=$(value QuietUninstallString | sed 's/^"\([^"]*\)".*/\1/')
  # The uninstaller runs from a copy of itself, and what starts it returns at once.
  timeout 60 "$wine" "$uninstall" "/$mode" /S || fail "the silent uninstall failed"
  for _ in $(seq 100); do [ -e "$folder" ] || break; sleep 0.3; done
  [ ! -e "$folder" ] || { find "$folder"; fail "files left in the folder"; }
  [ ! -e "$link" ] || fail "the Start-menu entry is left"
  ! "$wine" reg query "$key" > /dev/null 2>&1 || fail "the Add/Remove Programs entry is left"
  [ -f "$appdata/Vantrel/hiscore.txt" ] || fail "the uninstall took the player's table"
  echo "uninstalled: nothing left but %APPDATA%\\Vantrel\\hiscore.txt"
done
echo "result: installs, plays and uninstalls for all users and for one; the 32-bit installer holds the zip's files"
