#!/usr/bin/env bash
# Configures and builds one flavour of Quillet: release (default), asan or fuzz.
set -euo pipefail
cd "$(dirname "$0")/.."
flavour=${1:-release}
case "$flavour" in
  release) dir=build; args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo) ;;
  asan) dir=build-asan; args=(-DCMAKE_BUILD_TYPE=Debug -DQUILLET_SANITIZE=ON -DQUILLET_GUI=OFF) ;;
  fuzz) dir=build-fuzz; args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLET_FUZZ=ON -DQUILLET_GUI=OFF
                              -DCMAKE_CXX_COMPILER=clang++) ;;
  *) echo "usage: $0 [release|asan|fuzz]" >&2; exit 2 ;;
esac
cmake -S . -B "$dir" -G Ninja "${args[@]}" >/dev/null
cmake --build "$dir" -j "$(nproc)"
