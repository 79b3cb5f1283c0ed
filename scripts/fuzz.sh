#!/usr/bin/env bash
# Runs every fuzz target for a bounded time on its seed corpus (build with scripts/build.sh fuzz).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
shopt -s nullglob
for target in build-fuzz/fuzz/*_fuzz; do
  name=$(basename "$target")
  seeds=fuzz/corpus/${name%_fuzz}
  work=build-fuzz/corpus-run/$name
  mkdir -p "$work"
  echo "fuzzing $name for ${seconds}s"
  "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
    -print_final_stats=1 "$work" "$seeds" 2>&1 | tail -n 12
done
echo "fuzzing finished without a crash"
