#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the normal build, the
# sanitizer build (ASan+UBSan), and a bounded run of every fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh

export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

scripts/build.sh release
ctest --test-dir build --output-on-failure -j "$jobs"

scripts/build.sh asan
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j "$jobs"

scripts/build.sh fuzz
scripts/fuzz.sh "${FUZZ_SECONDS:-30}"
