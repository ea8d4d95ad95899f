#!/usr/bin/env bash
# Installs, builds and runs tsisbridge.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
build/tsisbridge || true
