#!/usr/bin/env bash
# Configures and builds into build/ (or build-asan/ with --sanitize).
set -euo pipefail
cd "$(dirname "$0")/.."
dir=build; extra=()
if [ "${1:-}" = "--sanitize" ]; then
  dir=build-asan; extra=(-DTSIS_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug)
fi
# ccache, where installed, lets several checkouts share compiled objects.
if command -v ccache >/dev/null; then
  extra+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(cd .. && pwd)}"
fi
cmake -S . -B "$dir" -G Ninja "${extra[@]}"
cmake --build "$dir" -j2
