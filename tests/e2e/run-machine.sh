#!/bin/bash
# Runs the shipped configurator on one sample Windows machine under Wine, the
# way the setup package does: "1", then, when the verdict marker keeps its
# name, "2". Every command line, batch text, message box and pause of the
# configurator lands in the call log, with the calls of the doubles.
#
# usage: tests/e2e/run-machine.sh [--package] MACHINE [RUN_FOLDER]
#
# --package runs the machine through the sample setup package instead
# (dist/kvxsetup.exe, package/build.sh), silently (/S): the machine gets
# neither the setup folder's files nor the product files, only the installer
# in C:\KVX Setup, which lays them out and starts the configurator itself. The
# configurator is then not traced (its run log tells what it did); the call
# log holds the installer's start and exit, the message boxes that opened and
# the buttons pressed, and the doubles' calls. The product folder as the
# machine held it before the run, if any, is kept in C:\kvxbench\before\korv.
#
# KVX_RUNS_2=N runs "2" N times (default 1), as a later installation over the
# first would. KVX_BENCH_PAUSES=skip has the configurator's pauses recorded
# but not waited out (the suite's runs: the doubles have ended before each
# pause, so waiting would only cost time); by default it waits as on a PC.
#
# MACHINE is a folder of tests/e2e/machines (machine.conf describes it).
# RUN_FOLDER (default: $KVX_E2E_DIR/MACHINE, KVX_E2E_DIR defaulting to
# build/e2e) is made anew: prefix/ is the machine's Wine prefix (drive C: is
# prefix/drive_c), drives/d/ and so on its other drives. Afterwards it holds:
#
#   calls.log   the call log (tests/e2e/bench/trace_record.h, tests/tools/README.md)
#   state.txt   the attributes of the files that matter and the registry
#               import, listed on the machine after the run
#   wall.txt    seconds the whole Wine session took
#   temp.txt    the machine's TMP (GBK), the folder of the configurator's run log
#
# Needs dist/kvxcfg.exe and the doubles in build/windows/doubles (both made by
# scripts/build-windows.sh). Each run starts from a fresh copy of the
# checkout's base Wine prefix (scripts/wine-prefix.sh), in which the system
# folders are hard links, so a reset takes a second.
# Run as root (scripts/wine-run.sh).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
usage() {
  sed -n 's/^# usage: /usage: /p' "${BASH_SOURCE[0]}" >&2
  exit 2
}
package=0
if [ "${1:-}" = --package ]; then
  package=1
  shift
fi
[ $# -ge 1 ] && [ $# -le 2 ] || usage
machine=$1
machine_dir=$root/tests/e2e/machines/$machine
[ -f "$machine_dir/machine.conf" ] || { echo "run-machine: no machine $machine in $root/tests/e2e/machines" >&2; exit 2; }
out=${2:-${KVX_E2E_DIR:-$root/build/e2e}/$machine}
mkdir -p "$(dirname "$out")"
out=$(cd "$(dirname "$out")" && pwd)/$(basename "$out")
doubles=${KVX_DOUBLES_DIR:-$root/build/windows/doubles}
exe=${KVX_EXE:-$root/dist/kvxcfg.exe}
[ "$package" -eq 0 ] || exe=$root/dist/kvxsetup.exe
for need in "$exe" "$doubles/bench/kvx_start.exe" "$doubles/product/zp"; do
  [ -f "$need" ] || { echo "run-machine: $need is missing (scripts/build-windows.sh)" >&2; exit 2; }
done

# --- The machine's description, with its defaults ---
description=""
windows=win7          # Wine's name of the Windows version: winxp, win7, win10, win11
bits=64               # 64: bcdedit.exe only in the 64-bit system folder; 32: in the one 32-bit programs see
language=0409         # InstallLanguage
drives=d              # drives besides C:, each one a folder drives/<letter>
marker=nt             # the Windows-family marker the setup package leaves: nt or vt
access_tool=xc        # the name the access tool is stored under: xc or xc1
temp='C:\users\Public\Temp'
startup='C:\users\Public\Start Menu\Programs\Startup'
answers_1=""          # buttons pressed on the boxes of "1" and of "2", in order (6 Yes, 7 No, 1 OK)
answers_2=""
prepare=()            # batch lines run on the machine before "1" (calls not logged)
firmware=bios         # bios, or uefi: the tracer answers the firmware questions as UEFI does
wmic=yes              # no: a Windows without wmic (Windows 11 24H2 and later)
# shellcheck source=/dev/null
. "$machine_dir/machine.conf"
# How many times "2" runs: more than once is a later installation over the first.
runs_2=${KVX_RUNS_2:-1}

# --- A fresh machine: a copy of the checkout's base Wine prefix ---
wine_run=("$root/scripts/wine-run.sh")
prefix=$out/prefix
"$root/scripts/wine-prefix.sh" "$prefix"  # once Wine has left the old one
find "$out" -mindepth 1 -maxdepth 1 ! -name prefix -exec rm -rf {} +
for letter in $drives; do
  mkdir -p "$out/drives/$letter"
  ln -s "$out/drives/$letter" "$prefix/dosdevices/$letter:"
done

c=$prefix/drive_c
bench=$c/kvxbench
mkdir -p "$bench/bin" "$bench/path" "$bench/fixture"
cp "$doubles/bench/kvx_start.exe" "$doubles/bench/kvx_trace.dll" "$bench/bin/"
cp "$doubles"/path/*.exe "$bench/path/"
rm "$bench/path/bcdedit.exe"
if [ "$wmic" = no ]; then
  # Neither the double nor Wine's own; removing a link leaves the base as it is.
  rm -f "$bench/path/wmic.exe" "$c"/windows/{system32,syswow64}/{,wbem/}wmic.exe
fi
# bcdedit.exe where Windows keeps it: a 32-bit program on 64-bit Windows
# does not see the 64-bit system folder (the install copies it over).
if [ "$windows" != winxp ]; then
  system=$c/windows/$([ "$bits" = 64 ] && echo system32 || echo syswow64)
  rm -f "$system/bcdedit.exe"  # never write through a link into the base
  cp "$doubles/path/bcdedit.exe" "$system/bcdedit.exe"
fi
# The machine's own files are UTF-8 in the source tree and GBK on the machine.
lay_out() {  # FROM TO
  local from=$1 to=$2 file
  [ -d "$from" ] || return 0
  (cd "$from" && find . -type d) | while read -r dir; do mkdir -p "$to/$dir"; done
  (cd "$from" && find . -type f) | while read -r file; do
    iconv -f UTF-8 -t GBK "$from/$file" >"$to/$file"
  done
}
lay_out "$machine_dir/fixture" "$bench/fixture"

# The setup package's folder: the configurator, its verdict marker and the
# spare bcdedit (the same double, told apart by bytes appended to the file);
# or the setup package alone.
setup="$c/KVX Setup"
mkdir -p "$setup"
if [ "$package" -eq 1 ]; then
  cp "$exe" "$setup/kvxsetup.exe"
else
  cp "$exe" "$setup/kvxcfg.exe"
  : >"$setup/win_lan"
  { cat "$doubles/path/bcdedit.exe"; printf 'KVX spare bcdedit'; } >"$setup/bcdedit"

  # The product package (the boot sector image kvldr.mbr, 512 bytes with the
  # signature at the end, and a floppy image ghost.img whose start-up files hold
  # the four lines of the RAM drive set-up are part of it), with the tools under
  # their stored names, the Windows-family marker, and the loader files at the
  # root of C:.
  product=$c/vesk/korv
  mkdir -p "$product"
  cp "$root"/tests/e2e/package/* "$product/"
  cp "$doubles/product/zp" "$doubles/product/fi" "$doubles/product/fr" \
    "$doubles/product/ghost32.exe" "$product/"
  cp "$doubles/product/xc" "$product/$access_tool"
  : >"$product/$marker"
  cp "$product/KVLDR" "$product/kvldr.mbr" "$c/"
  mkdir "$bench/package"
  cp "$product"/* "$bench/package/"  # as shipped, for comparisons
fi
lay_out "$machine_dir/files/c" "$c"
for letter in $drives; do
  lay_out "$machine_dir/files/$letter" "$out/drives/$letter"
done
# The boot configuration as the machine holds it before the run, for comparisons.
mkdir "$bench/before"
for file in "$c/boot.ini" "$bench/fixture/bcd_store.txt"; do
  [ ! -f "$file" ] || cp "$file" "$bench/before/"
done
[ "$package" -eq 0 ] || [ ! -d "$c/vesk/korv" ] || cp -a "$c/vesk/korv" "$bench/before/korv"

# --- The registry and the session, as GBK text ---
gbk() { iconv -f UTF-8 -t GBK; }
reg_text() { printf '%s' "$1" | sed 's/\\/\\\\/g; s/"/\\"/g'; }
{
  printf 'REGEDIT4\r\n\r\n'
  printf '[HKEY_CURRENT_USER\\Software\\Wine]\r\n"Version"="%s"\r\n\r\n' "$windows"
  printf '[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Nls\\Language]\r\n'
  printf '"InstallLanguage"="%s"\r\n\r\n' "$language"
  printf '[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders]\r\n'
  printf '"Startup"="%s"\r\n\r\n' "$(reg_text "$startup")"
  # Wine fills the BIOS description from the host's firmware tables; a
  # machine has only what its registry.reg gives (empty values count as none).
  printf '[HKEY_LOCAL_MACHINE\\HARDWARE\\DESCRIPTION\\System\\BIOS]\r\n'
  for name in SystemManufacturer SystemProductName SystemVersion SystemFamily \
    BaseBoardManufacturer BaseBoardProduct; do
    printf '"%s"=""\r\n' "$name"
  done
  printf '\r\n[HKEY_LOCAL_MACHINE\\HARDWARE\\DESCRIPTION\\System]\r\n'
  printf '"SystemBiosVersion"=""\r\n"SystemBiosDate"=""\r\n\r\n'
  [ ! -f "$machine_dir/registry.reg" ] || sed 's/\r*$/\r/' "$machine_dir/registry.reg"
} | gbk >"$bench/machine.reg"

# Lines for the start of the session: the machine's registry, folders and
# own preparation, then the environment the setup package hands on.
{
  printf '@echo off\r\n'
  printf 'reg import C:\\kvxbench\\machine.reg\r\n'
  printf 'mkdir "%s"\r\nmkdir "%s"\r\n' "$temp" "$startup"
  printf 'set PATH=C:\\kvxbench\\path;%%PATH%%\r\n'
  printf 'set KVX_BENCH_DIR=C:\\kvxbench\\fixture\r\n'
  for line in "${prepare[@]}"; do printf '%s\r\n' "$line"; done
  printf 'set TMP=%s\r\nset TEMP=%s\r\n' "$temp" "$temp"
  [ "$bits" = 64 ] || printf 'set ProgramFiles(x86)=\r\n'
  printf 'set KVX_BENCH_LOG=C:\\kvxbench\\calls.log\r\n'
  if [ "$package" -eq 1 ]; then
    # One installer run: the boxes of "1" and of "2" in one list.
    printf 'set KVX_BENCH_ANSWERS=%s\r\n' "$answers_1${answers_1:+${answers_2:+,}}$answers_2"
    printf 'C:\\kvxbench\\bin\\kvx_start.exe --boxes "C:\\KVX Setup\\kvxsetup.exe" /S\r\n'
    printf 'goto inspect\r\n'
  fi
  printf 'set KVX_BENCH_ANSWERS=%s\r\n' "$answers_1"
  [ "$firmware" = bios ] || printf 'set KVX_BENCH_FIRMWARE=%s\r\n' "$firmware"
  [ "${KVX_BENCH_PAUSES:-}" != skip ] || printf 'set KVX_BENCH_PAUSES=skip\r\n'
  printf 'C:\\kvxbench\\bin\\kvx_start.exe "C:\\KVX Setup\\kvxcfg.exe" 1\r\n'
  printf 'if not exist "C:\\KVX Setup\\win_lan" goto inspect\r\n'
  printf 'set KVX_BENCH_ANSWERS=%s\r\n' "$answers_2"
  for run in $(seq 1 "$runs_2"); do
    # Wine's shell writes its own Startup folder back into the registry once
    # a run has made its shortcut; a later installation finds the machine's.
    [ "$run" -eq 1 ] || printf 'reg import C:\\kvxbench\\machine.reg\r\n'
    printf 'C:\\kvxbench\\bin\\kvx_start.exe "C:\\KVX Setup\\kvxcfg.exe" 2\r\n'
  done
  printf ':inspect\r\n'
  printf 'set KVX_BENCH_LOG=\r\n'
  # What a run leaves: attributes (listing of the attrib double: A, S, H, R
  # columns), the registry import, and the scratch folder.
  printf '(\r\n'
  printf 'attrib /d C:\\*\r\n'
  printf 'attrib /d /s C:\\vesk\\*\r\n'
  printf 'attrib /d /s "C:\\KVX Setup\\*"\r\n'
  for letter in $drives; do printf 'attrib /d /s %s:\\*\r\n' "$letter"; done
  printf 'attrib "%%TMP%%\\*"\r\n'
  printf 'echo [registry]\r\n'
  printf 'reg query HKCU\\Software\\KORVAX /s\r\n'
  printf ') >C:\\kvxbench\\state.txt 2>&1\r\n'
  printf 'exit /b 0\r\n'
} | gbk >"$bench/session.bat"

# --- The run ---
started=$(date +%s.%N)
(cd "$c" && "${wine_run[@]}" --prefix "$prefix" cmd /c 'C:\kvxbench\session.bat')
ended=$(date +%s.%N)
echo "$started $ended" | awk '{printf "%.1f\n", $2 - $1}' >"$out/wall.txt"
cp "$bench/calls.log" "$out/calls.log" 2>/dev/null || : >"$out/calls.log"
cp "$bench/state.txt" "$out/state.txt" 2>/dev/null || : >"$out/state.txt"
printf '%s' "$temp" | gbk >"$out/temp.txt"

# A run must never write through the hard links into the shared base.
"$root/scripts/wine-prefix.sh" --check
