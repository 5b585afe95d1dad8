#!/bin/sh
# Fuzzes the text layer and the scripted machine's INI and file read-back
# for the given number of seconds (default 60), with one worker.
#
#   scripts/fuzz.sh [seconds]
#
# Builds with clang's libFuzzer, AddressSanitizer and UBSan into build/fuzz.
# Starts from the committed seeds in tests/fuzz/corpus and keeps what it
# learns in build/fuzz/corpus. A failing input is written to build/fuzz/ as
# crash-*; replay it with: build/fuzz/text_layer_fuzz build/fuzz/crash-...
set -eu
cd "$(dirname "$0")/.."

seconds="${1:-60}"
cxx="${CXX_FUZZ:-clang++}"
if ! command -v "$cxx" >/dev/null 2>&1; then
  echo "needs clang++ with libFuzzer (Debian: clang-14 and libclang-rt-14-dev)" >&2
  exit 1
fi

out=build/fuzz
mkdir -p "$out/corpus"
"$cxx" -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -Wall -Wextra -I. \
  tests/fuzz/text_layer_fuzz.cpp tests/support/text_layer_checks.cpp \
  tests/support/scripted_host.cpp host/text.cpp \
  -o "$out/text_layer_fuzz"

"$out/text_layer_fuzz" -max_total_time="$seconds" -max_len=4096 -timeout=10 \
  -print_final_stats=1 -artifact_prefix="$out/" \
  "$out/corpus" tests/fuzz/corpus
