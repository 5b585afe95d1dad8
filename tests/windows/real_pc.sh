#!/bin/bash
# Runs the host's tests of what a real PC has and the sample machines lack
# (kvxcfg_real_pc_tests.exe) under Wine as on an English Windows with a
# desktop: the ANSI code page 1252 (LC_ALL=C.UTF-8) and Wine's null display
# driver, on which a message box really opens and waits to be answered, so
# that a box a fault leaves behind shows as a run that does not end. PREFIX is
# a fresh copy of the checkout's base prefix, which has that driver
# (scripts/wine-prefix.sh); a failing run names the boxes it closed.
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

"$root/scripts/wine-prefix.sh" "$prefix"

"${run[@]}" "$exe" "$@"
