#!/bin/sh
# Builds the configurator's logic and runs every test.
set -eu
cd "$(dirname "$0")/.."

scripts/install-deps.sh

# On a fresh machine the Wine tree takes minutes to make, mostly downloads:
# it is made in the background while the native build runs, and the first
# test that needs it waits for it (scripts/wine-setup.sh takes a lock; its
# output goes to build/wine-setup.log, and a failure shows again in that test).
if [ "$(id -u)" -eq 0 ]; then
  mkdir -p build
  scripts/wine-setup.sh >build/wine-setup.log 2>&1 &
fi

cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build/native -j"$(nproc)"
ctest --test-dir build/native --output-on-failure -j"$(nproc)"
