#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test with warnings as errors:
# the release build (with the window), the sanitizer build (ASan+UBSan), and a
# bounded run of every fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh

jobs=$(nproc)
log=$(mktemp)
trap 'rm -f "$log"' EXIT

# Qt is required here: a release build without it stops at configure.
scripts/build.sh release -DQUILLET_WERROR=ON
ctest --preset release -j "$jobs" | tee -a "$log"

scripts/build.sh asan -DQUILLET_WERROR=ON
ctest --preset asan -j "$jobs" | tee -a "$log"

scripts/build.sh fuzz -DQUILLET_WERROR=ON
scripts/fuzz.sh "${FUZZ_SECONDS:-30}"

# One closing line for both test runs (ctest has already failed the script on any failure).
total=$(awk '/tests failed out of/ { sum += $NF } END { print sum + 0 }' "$log")
echo "quillet: ${total} passed, 0 failed"
