#!/bin/sh
# Builds the configurator's logic and runs every test.
set -eu
cd "$(dirname "$0")/.."

scripts/install-deps.sh

cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build/native -j"$(nproc)"
ctest --test-dir build/native --output-on-failure -j"$(nproc)"
