#!/bin/bash
# Two builds of the same sources give the same executable: builds kvxcfg.exe
# once more, from a copy of the sources in another folder into another build
# folder, and compares its SHA-256 with that of EXE (dist/kvxcfg.exe, which
# scripts/build-windows.sh built from this checkout into build/windows).
#
# usage: tests/windows/check_reproducible.sh EXE WORK_FOLDER
set -euo pipefail

exe=${1:?usage: check_reproducible.sh EXE WORK_FOLDER}
work=${2:?usage: check_reproducible.sh EXE WORK_FOLDER}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
[ -f "$exe" ] || { echo "FAILED: $exe is missing (scripts/build-windows.sh makes it)"; exit 1; }

# Everything the Windows build reads, under a name of another length.
rm -rf "$work"
mkdir -p "$work"
work=$(cd "$work" && pwd)
copy=$work/sources-of-the-second-build
mkdir -p "$copy/tests/e2e"
cp -r "$root/CMakeLists.txt" "$root/cmake" "$root/entry" "$root/host" "$root/runlog" "$root/precheck" \
  "$root/survey" "$root/bootmenu" "$root/deploy" "$copy/"
cp -r "$root/tests/windows" "$root/tests/tools" "$copy/tests/"
cp -r "$root/tests/e2e/bench" "$copy/tests/e2e/"

cmake --no-warn-unused-cli -S "$copy" -B "$work/build" \
  -DCMAKE_TOOLCHAIN_FILE="$copy/cmake/toolchain-i686-mingw.cmake" -DCMAKE_BUILD_TYPE=Release \
  >/dev/null
cmake --build "$work/build" --target kvxcfg -j"$(nproc)" >/dev/null

first=$(sha256sum <"$exe" | cut -d' ' -f1)
second=$(sha256sum <"$work/build/kvxcfg.exe" | cut -d' ' -f1)
echo "first build:  $first $exe"
echo "second build: $second $work/build/kvxcfg.exe"
if [ "$first" = "$second" ]; then
  echo "ok: the two builds are the same bytes"
  echo "1 passed, 0 failed"
else
  echo "FAILED: the two builds differ:"
  cmp -l "$exe" "$work/build/kvxcfg.exe" | head -20 || true
  echo "0 passed, 1 failed"
  exit 1
fi
