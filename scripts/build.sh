#!/usr/bin/env bash
# Configures and builds one flavour of Quillet, a preset of CMakePresets.json:
# release (the default, into build/), asan (build-asan/) or fuzz (build-fuzz/).
# Further arguments go to the configure step, e.g. -DQUILLET_WERROR=ON.
set -euo pipefail
cd "$(dirname "$0")/.."
flavour=${1:-release}
[ $# -gt 0 ] && shift
case "$flavour" in
  release | asan | fuzz) ;;
  *)
    echo "usage: $0 [release|asan|fuzz] [CMAKE_ARGUMENTS...]" >&2
    exit 2
    ;;
esac
cmake --preset "$flavour" "$@"
cmake --build --preset "$flavour" -j "$(nproc)"
