#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the normal build, the
# sanitizer build (ASan+UBSan), and a bounded run of every fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh

export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)
log=$(mktemp)
trap 'rm -f "$log"' EXIT

scripts/build.sh release
ctest --test-dir build --output-on-failure -j "$jobs" | tee -a "$log"

scripts/build.sh asan
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j "$jobs" | tee -a "$log"

scripts/build.sh fuzz
scripts/fuzz.sh "${FUZZ_SECONDS:-30}"

# One closing line for both test runs (ctest has already failed the script on any failure).
total=$(awk '/tests failed out of/ { sum += $NF } END { print sum + 0 }' "$log")
echo "quillet: ${total} passed, 0 failed"
