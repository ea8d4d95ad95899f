#!/usr/bin/env bash
# Fails when a C++ file of the tree does not follow .clang-format;
# --fix rewrites them instead.
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=apt-packages.sh
. scripts/apt-packages.sh
apt_install clang-format
mapfile -t files < <(git ls-files '*.cpp' '*.h' '*.c')
if [ "${1:-}" = "--fix" ]; then
  clang-format -i "${files[@]}"
else
  clang-format --dry-run --Werror "${files[@]}"
fi
