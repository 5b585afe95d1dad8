#!/bin/bash
# The main job: the shipped kvxcfg.exe on a sample Windows machine. On a
# fresh Debian machine (as root) it installs what is missing (build tools,
# MinGW-w64, the Wine tree), builds dist/kvxcfg.exe and the bench doubles,
# runs the configurator with "1" and then "2" on the machine under Wine, and
# prints the report: the verdict, every command line and batch text it ran,
# its message boxes, the boot entry, the settings files, the target folder,
# the configurator's run log (its path and last lines) and the figures.
#
# usage: scripts/main-job.sh [--package] [--machine NAME | --list]
#
# The default machine is win7-en; the machines are the folders of
# tests/e2e/machines. The run stays in build/main-job/NAME (its Wine prefix
# included); the build output goes to build/main-job/build.log.
#
# --package runs the machine through the sample setup package instead
# (dist/kvxsetup.exe, built by package/build.sh), silently, as a user's
# installation would run; the report gives the installer's exit code and the
# configurator's run log. The run stays in build/main-job/package-NAME.
set -euo pipefail
cd "$(dirname "$0")/.."

usage() {
  sed -n 's/^# usage: /usage: /p' "$0" >&2
  exit 2
}
machine=win7-en
package=0
while [ $# -gt 0 ]; do
  case $1 in
    --package) package=1; shift ;;
    --machine) [ $# -ge 2 ] || usage; machine=$2; shift 2 ;;
    --list)
      for conf in tests/e2e/machines/*/machine.conf; do
        printf '%-18s %s\n' "$(basename "$(dirname "$conf")")" \
          "$(. "$conf"; echo "$description")"
      done
      exit 0
      ;;
    *) usage ;;
  esac
done
conf=tests/e2e/machines/$machine/machine.conf
[ -f "$conf" ] || { echo "main-job: no machine $machine (scripts/main-job.sh --list)" >&2; exit 2; }
description=$(. "$conf"; echo "$description")

out=build/main-job
mkdir -p "$out"
log=$out/build.log
: >"$log"
step() {  # TEXT COMMAND...: runs a step with its output in the log
  local text=$1
  shift
  echo "main-job: $text"
  if ! "$@" >>"$log" 2>&1; then
    tail -n 30 "$log" >&2
    echo "main-job: failed: $text (whole output in $log)" >&2
    exit 1
  fi
}
step "installing what is missing" scripts/install-deps.sh
step "making the Wine tree (once, a few minutes)" scripts/wine-setup.sh
step "building dist/kvxcfg.exe and the bench doubles" scripts/build-windows.sh
step "building the report" sh -c 'cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Debug &&
  cmake --build build/native -j"$(nproc)" --target kvx_bench_report'
if [ "$package" -eq 1 ]; then
  step "building the setup package dist/kvxsetup.exe" package/build.sh
  step "running kvxsetup.exe /S on $machine under Wine" \
    tests/e2e/run-machine.sh --package "$machine" "$out/package-$machine"
  echo
  build/native/kvx_bench_report "$out/package-$machine" \
    "kvxsetup.exe /S on the sample machine $machine: $description"
  exit 0
fi
step "running kvxcfg 1 and 2 on $machine under Wine" \
  tests/e2e/run-machine.sh "$machine" "$out/$machine"
echo
build/native/kvx_bench_report "$out/$machine" "kvxcfg.exe on the sample machine $machine: $description"
