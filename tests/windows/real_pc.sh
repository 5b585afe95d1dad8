#!/bin/bash
# Runs the host's tests of what a real PC has and the sample machines lack
# (kvxcfg_real_pc_tests.exe) under Wine as on an English Windows with a
# desktop: the ANSI code page 1252 (LC_ALL=C.UTF-8) and Wine's null display
# driver, on which a message box really opens and waits to be answered, so
# that a box a fault leaves behind shows as a run that does not end. The
# prefix is made for this once (the driver must be set before a program of
# a session makes the desktop); a failing run names the boxes it closed.
#
# usage: tests/windows/real_pc.sh EXE PREFIX [TEST FILTER]
set -euo pipefail

exe=${1:?usage: real_pc.sh EXE PREFIX [TEST FILTER]}
prefix=${2:?usage: real_pc.sh EXE PREFIX [TEST FILTER]}
shift 2
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
exe=$(cd "$(dirname "$exe")" && pwd)/$(basename "$exe")
mkdir -p "$(dirname "$prefix")"
prefix=$(cd "$(dirname "$prefix")" && pwd)/$(basename "$prefix")
run=("$root/scripts/wine-run.sh" --prefix "$prefix" --env LC_ALL=C.UTF-8)

if [ ! -f "$prefix/.kvx-null-display" ]; then
  settings=$(mktemp "${TMPDIR:-/tmp}/kvx-null-display-XXXXXX.reg")
  trap 'rm -f "$settings"' EXIT
  printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Drivers]\r\n"Graphics"="null"\r\n' \
    >"$settings"
  "${run[@]}" reg import "Z:${settings//\//\\}"
  touch "$prefix/.kvx-null-display"
fi

"${run[@]}" "$exe" "$@"
