#!/bin/sh
# Cross-builds the bench doubles (tests/tools) as 32-bit Windows
# programs with MinGW-w64, statically linked, into build/doubles:
#
#   build/doubles/product/  zp fi fr xc ghost32.exe   the companion tools, named
#                                                     as they ship in the product folder
#   build/doubles/path/     attrib.exe find.exe findstr.exe bcdedit.exe chkntfs.exe wmic.exe
#                                                     to put on PATH ahead of Wine's own
#   build/doubles/bench/    kvx_start.exe kvx_trace.dll  the bench's launcher and tracer
#                                                     (tests/e2e/bench)
#
# Usage: scripts/build-doubles.sh [output folder]
set -eu
cd "$(dirname "$0")/.."

CXX="${KVX_MINGW_CXX:-i686-w64-mingw32-g++}"
OUT="${1:-build/doubles}"
SRC=tests/tools
OBJ="$OUT/obj"

if ! command -v "$CXX" >/dev/null 2>&1; then
  echo "build-doubles: $CXX is missing (Debian package g++-mingw-w64-i686-win32)" >&2
  exit 1
fi

mkdir -p "$OBJ" "$OUT/product" "$OUT/path" "$OUT/bench"
FLAGS="-std=c++17 -O2 -Wall -Wextra -finput-charset=UTF-8 -fexec-charset=GBK -D_WIN32_WINNT=0x0501"
export CXX FLAGS OBJ

# The shared part, two compilers at a time.
ls "$SRC"/*.cpp | grep -v '/main_windows\.cpp$' |
  xargs -P 2 -I{} sh -c '"$CXX" $FLAGS -c "$1" -o "$OBJ/$(basename "$1" .cpp).o"' sh {}
rm -f "$OBJ/libdoubles.a"
i686-w64-mingw32-ar rcs "$OBJ/libdoubles.a" $(ls "$OBJ"/*.o | grep -v '/main_')

# One program per double; the first word is the double, the second the file.
# The linker adds ".exe" to a name without one, so link first, then rename.
link() {
  "$CXX" $FLAGS -DKVX_DOUBLE="\"$1\"" "$SRC/main_windows.cpp" "$OBJ/libdoubles.a" \
    -static -static-libgcc -static-libstdc++ -s -o "$OBJ/$1.exe"
  mv "$OBJ/$1.exe" "$2"
}
link zp "$OUT/product/zp"
link fi "$OUT/product/fi"
link fr "$OUT/product/fr"
link xc "$OUT/product/xc"
link ghost32 "$OUT/product/ghost32.exe"
for tool in attrib find findstr bcdedit chkntfs wmic; do
  link "$tool" "$OUT/path/$tool.exe"
done
# The bench's own programs.
BENCH="$CXX $FLAGS -I. -static -static-libgcc -static-libstdc++ -s"
$BENCH tests/e2e/bench/start_windows.cpp "$OBJ/libdoubles.a" -o "$OUT/bench/kvx_start.exe"
$BENCH -shared tests/e2e/bench/trace_windows.cpp "$OBJ/libdoubles.a" -o "$OUT/bench/kvx_trace.dll"
echo "build-doubles: $(ls "$OUT/product" "$OUT/path" "$OUT/bench" | grep -vc ':$\|^$') programs in $OUT"
