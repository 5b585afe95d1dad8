#!/bin/bash
# Wine prefixes copied from one base prefix, made once per checkout: making a
# prefix (wineboot) takes long, under qemu-i386 most of all, a copy a second.
#
# usage: scripts/wine-prefix.sh [--base DIR] [--no-display] PREFIX
#        scripts/wine-prefix.sh [--base DIR] --check
#
# The base (DIR, default $KVX_WINE_BASE, else build/wine-base in this
# checkout) is a prefix made by wineboot with Wine's null display driver set,
# so that message boxes open without a display (the bench's tracer reads and
# answers them). It is made when missing, or when it was made by another
# recipe or another Wine, and after that only ever copied.
#
# PREFIX is made anew as a copy of the base, once no Wine process of the old
# one is left: the two system folders (system32, syswow64) are hard links into
# the base, everything else is copied. With --no-display the copy has Wine's
# default display driver again: with no display there, a message box returns
# -1 at once. A run in a copy must never write through those links; --check
# fails when a file of the base's system folders changed after the base was
# made.
#
# Run as root (scripts/wine-run.sh).
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
usage() {
  sed -n 's/^# usage: /usage: /p; s/^#        scripts/       scripts/p' "${BASH_SOURCE[0]}" >&2
  exit 2
}
absolute() { mkdir -p "$(dirname "$1")" && echo "$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"; }

base=${KVX_WINE_BASE:-$here/build/wine-base}
display=null
check=0
while [ $# -gt 0 ]; do
  case $1 in
    --base) [ $# -ge 2 ] || usage; base=$2; shift 2 ;;
    --no-display) display=default; shift ;;
    --check) check=1; shift ;;
    -*) usage ;;
    *) break ;;
  esac
done
[ $(($# + check)) -eq 1 ] || usage
base=$(absolute "$base")
marker=$base/.kvx-base

if [ "$check" -eq 1 ]; then
  [ -f "$marker" ] || { echo "wine-prefix: no base prefix in $base" >&2; exit 1; }
  changed=$(find "$base/drive_c/windows/system32" "$base/drive_c/windows/syswow64" \
    -newer "$marker" -print -quit)
  if [ -n "$changed" ]; then
    echo "wine-prefix: a run changed the shared base prefix ($changed); remove $base" >&2
    exit 1
  fi
  exit 0
fi

prefix=$(absolute "$1")
wine_run=("$here/scripts/wine-run.sh")
idle() {  # no process of that prefix is left (its wineserver included)
  ! grep -qzxF "WINEPREFIX=$1" /proc/[0-9]*/environ 2>/dev/null
}
wait_idle() {
  for _ in $(seq 1 120); do
    idle "$1" && return 0
    sleep 0.5
  done
  echo "wine-prefix: Wine still runs in $1" >&2
  return 1
}

# Change when the base's recipe changes, so that existing bases are made anew;
# a base made by another Wine would be updated in place, through the links.
"$here/scripts/wine-setup.sh"
recipe="wineboot, null display driver; Wine $(sed -n 2p "${KVX_WINE_ROOT:-/opt/kvx-wine}/ready")"

copy_all_but() {  # FROM TO NAME...: copies FROM's entries but the NAMEs
  local from=$1 to=$2 entry name skip
  shift 2
  for entry in "$from"/* "$from"/.[!.]*; do
    [ -e "$entry" ] || [ -L "$entry" ] || continue
    name=$(basename "$entry")
    skip=0
    for keep in "$@"; do [ "$name" = "$keep" ] && skip=1; done
    [ "$skip" -eq 1 ] || cp -a "$entry" "$to/"
  done
}

if [ -e "$prefix" ]; then
  wait_idle "$prefix"
  rm -rf "$prefix"
fi
(
  flock 8
  if [ "$(cat "$marker" 2>/dev/null)" != "$recipe" ]; then
    wait_idle "$base"
    rm -rf "$base"
    # Wine's null display driver. It must be set before any program of a
    # session creates the desktop.
    printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Drivers]\r\n"Graphics"="null"\r\n' \
      >"$base.reg"
    "${wine_run[@]}" --prefix "$base" reg import "Z:${base//\//\\}.reg"
    wait_idle "$base"
    echo "$recipe" >"$marker"
  fi
  mkdir -p "$prefix/drive_c/windows"
  copy_all_but "$base" "$prefix" drive_c
  copy_all_but "$base/drive_c" "$prefix/drive_c" windows
  copy_all_but "$base/drive_c/windows" "$prefix/drive_c/windows" system32 syswow64
  cp -al "$base/drive_c/windows/system32" "$base/drive_c/windows/syswow64" "$prefix/drive_c/windows/"
) 8>"$base.make.lock"

if [ "$display" = default ]; then
  # Taken out of the copy's registry file, as no Wine runs in the copy yet: a
  # Wine session for it would have to end before the next one, which takes a
  # few seconds more.
  awk '/^\[/ { drivers = ($1 == "[Software\\\\Wine\\\\Drivers]") }
       drivers && index($0, "\"Graphics\"=") == 1 { taken++; next }
       { print }
       END { exit taken == 1 ? 0 : 1 }' "$prefix/user.reg" >"$prefix/user.reg.new" || {
    echo "wine-prefix: no display driver setting in $base/user.reg" >&2
    exit 1
  }
  mv "$prefix/user.reg.new" "$prefix/user.reg"
fi
