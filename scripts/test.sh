#!/usr/bin/env bash
# Installs, builds and runs every test (unit and end-to-end).
# --sanitize builds into build-asan/ with AddressSanitizer and UBSan.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
# --fuzz: the libFuzzer targets instead, each for a short fixed time (fuzz/run.sh).
[ "${1:-}" = "--fuzz" ] && exec bash fuzz/run.sh
scripts/build.sh "$@"
dir=build; [ "${1:-}" = "--sanitize" ] && dir=build-asan
# The PostgreSQL tests need a server on the loopback interface.
pgenv=$(scripts/start-postgres.sh)
eval "$pgenv"
ctest --test-dir "$dir" --output-on-failure -j2 --timeout 600
