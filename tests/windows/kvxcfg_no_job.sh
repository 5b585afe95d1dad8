#!/bin/bash
# The shipped executable under Wine with a command line that names no job:
# it ends with exit code 0 and does nothing. It starts from a setup folder
# with a blank in its name that holds the verdict marker win_lan, as the
# setup package leaves it; afterwards that folder, the Windows temp folder
# and the product folder must be as before.
#
# usage: tests/windows/kvxcfg_no_job.sh EXE PREFIX [ARGUMENT...]
set -euo pipefail

exe=${1:?usage: kvxcfg_no_job.sh EXE PREFIX [ARGUMENT...]}
prefix=${2:?usage: kvxcfg_no_job.sh EXE PREFIX [ARGUMENT...]}
shift 2
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
exe=$(cd "$(dirname "$exe")" && pwd)/$(basename "$exe")
mkdir -p "$(dirname "$prefix")"
prefix=$(cd "$(dirname "$prefix")" && pwd)/$(basename "$prefix")

setup=$(mktemp -d "${TMPDIR:-/tmp}/kvx setup XXXXXX")
trap 'rm -rf "$setup"' EXIT
cp "$exe" "$setup/kvxcfg.exe"
: >"$setup/win_lan"

# The prefix exists once Wine has run in it; the temp folder is the user's.
"$root/scripts/wine-run.sh" --prefix "$prefix" cmd /c ver >/dev/null
temp="$prefix/drive_c/users/$(id -un)/AppData/Local/Temp"
product="$prefix/drive_c/vesk"
listing() { (cd "$1" && find . -printf '%p %s %m\n' | sort); }

setup_before=$(listing "$setup")
temp_before=$(listing "$temp")
[ ! -e "$product" ] || { echo "FAILED: $product exists before the run"; exit 1; }

status=0
(cd "$setup" && "$root/scripts/wine-run.sh" --prefix "$prefix" ./kvxcfg.exe "$@") || status=$?

failed=0
report() { echo "$1"; [ "${1#ok}" != "$1" ] || failed=1; }
[ "$status" -eq 0 ] && report "ok: exit code 0" || report "FAILED: exit code $status"
[ "$(listing "$setup")" = "$setup_before" ] && report "ok: setup folder unchanged" ||
  report "FAILED: setup folder changed: $(diff <(echo "$setup_before") <(listing "$setup") || true)"
[ "$(listing "$temp")" = "$temp_before" ] && report "ok: temp folder unchanged" ||
  report "FAILED: temp folder changed: $(diff <(echo "$temp_before") <(listing "$temp") || true)"
[ ! -e "$product" ] && report "ok: no product folder" || report "FAILED: $product was made"
exit "$failed"
