#!/usr/bin/env bash
# Installs the Debian packages named on the command line that are missing,
# through sudo when not root. A package of another architecture (name:i386)
# adds that architecture first. Does nothing when all are present. Its last
# line says what it did. Another apt run holding the lock is waited for.
set -euo pipefail

missing=()
for p in "$@"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  echo "result: all $(printf '%s\n' "$@" | sort -u | wc -l) packages present"
  exit 0
fi

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
for p in "${missing[@]}"; do
  case "$p" in
    *:*) arch=${p#*:}
         dpkg --print-foreign-architectures | grep -qx "$arch" || $sudo dpkg --add-architecture "$arch" ;;
  esac
done
$sudo apt-get -o DPkg::Lock::Timeout=600 update
DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=600 install -y --no-install-recommends "${missing[@]}"
echo "result: installed ${missing[*]}"
