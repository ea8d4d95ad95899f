#!/usr/bin/env bash
# Installs, builds, creates the SQLite demo district with its ODBC data source and runs a
# full extraction into demo-out/ (override with DEMO_OUT=...). Protocol lines go to the terminal.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
eval "$(scripts/make-demo-district.sh)"
out="${DEMO_OUT:-$PWD/demo-out}"
mkdir -p "$out"
echo "== tsisbridge run --dsn=TSISDemo --district=16 --school=101 --path=$out" >&2
status=0
build/tsisbridge run --dsn=TSISDemo --district=16 --school=101 "--path=$out" || status=$?
echo "== exit status $status; import folder: $out" >&2
# The files written, with their line counts.
(cd "$out" && find . -maxdepth 1 -type f ! -name '*.log' -printf '%f\0' | sort -z | xargs -0 wc -l) >&2
exit "$status"
