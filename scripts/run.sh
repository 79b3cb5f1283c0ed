#!/usr/bin/env bash
# Builds Quillet and runs it.
#   scripts/run.sh ARGS...   runs build/app/quillet ARGS...
#   scripts/run.sh           with a display: opens the window;
#                            without one: makes the sample book's pages in ./out.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh release >&2
quillet=build/app/quillet

if [ $# -gt 0 ]; then
  exec "$quillet" "$@"
fi

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$quillet"
fi

mkdir -p out
"$quillet" book samples/sample-book.rtf --parts 10 --out out
echo "Pages written to $(pwd)/out; open $(pwd)/out/Rerud.html (the index) in a browser." >&2
