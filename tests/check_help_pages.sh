#!/usr/bin/env bash
# Each system's help pages speak of that system: the Linux pages name no
# Windows folder, the Windows pages no Linux folder, terminal, desktop menu or
# vantrel-sim (which the Windows download does not hold), and no page of
# either keeps a marker of the one source. Usage: check_help_pages.sh DIR
# (the pages are written for both systems into DIR/linux and DIR/windows).
set -euo pipefail
status=0
check() {  # DIR SAID UNSAID: grep -E patterns of what highscores.html and
  # starting.html say, and of what no page says
  local dir=$1 said=$2 unsaid=$3 found
  [ "$(find "$dir" -name '*.html' | wc -l)" -eq 8 ] || { echo "$dir: not the eight pages" >&2; status=1; }
  found=$(grep -EHn "$unsaid|<!--(linux|windows|end)-->" "$dir"/*.html || true)
  [ -z "$found" ] || { echo "$dir: words of another system:"$'\n'"$found" >&2; status=1; }
  grep -Eq "$said" "$dir/highscores.html" || { echo "$dir/highscores.html does not say $said" >&2; status=1; }
  grep -Eq "$said" "$dir/starting.html" || { echo "$dir/starting.html does not say $said" >&2; status=1; }
}
# shellcheck disable=SC2088  # a pattern, not a path
check "$1/linux" '~/\.local/share/vantrel/hiscore\.txt' 'APPDATA|Start menu|Explorer'
check "$1/windows" '%APPDATA%\\Vantrel\\hiscore\.txt' '\.local|XDG|terminal|vantrel-sim|applications menu|/tmp'
[ $status -eq 0 ] && echo "check_help_pages: each system's pages speak of it alone"
exit $status
