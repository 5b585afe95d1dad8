#!/bin/sh
# Builds the shipped Windows executable, dist/kvxcfg.exe: 32-bit, statically
# linked, GUI subsystem, for Windows XP SP3 to Windows 11; cross-built with
# MinGW-w64 (cmake/toolchain-i686-mingw.cmake). Also builds the Windows host's
# test executable, build/windows/kvxcfg_host_tests.exe. Installs the cross
# compiler when it is missing (scripts/install-deps.sh, as root).
set -eu
cd "$(dirname "$0")/.."

scripts/install-deps.sh

cmake --no-warn-unused-cli -S . -B build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686-mingw.cmake \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/windows -j"$(nproc)"
mkdir -p dist
cp build/windows/kvxcfg.exe dist/kvxcfg.exe
# The same sources always give the same bytes (cmake/windows.cmake).
echo "built dist/kvxcfg.exe, SHA-256 $(sha256sum <dist/kvxcfg.exe | cut -d' ' -f1)"
