#!/usr/bin/env bash
# Benchmark of the attendance update (not a test): builds the SQLite demo district late in
# the school year at a size with over a million period attendance rows, then runs two
# attendance updates of one secondary school on that day (through faketime) and prints the
# time, the rows cached per second and the peak resident memory of each run.
#
#   scripts/bench-attendance.sh [--size N] [--today YYYYMMDD] [--school NNN] [--build-dir DIR]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
size=11000
today=20270528
school=303
build_dir="$root/build"
while [ $# -gt 0 ]; do
  case "$1" in
    --size) size="$2"; shift ;;
    --today) today="$2"; shift ;;
    --school) school="$2"; shift ;;
    --build-dir) build_dir="$2"; shift ;;
    *) echo "usage: $0 [--size N] [--today YYYYMMDD] [--school NNN] [--build-dir DIR]" >&2; exit 2 ;;
  esac
  shift
done

if ! command -v faketime >/dev/null; then
  echo "installing faketime" >&2
  apt-get install -y faketime >&2 || { apt-get update >&2 && apt-get install -y faketime >&2; }
fi
[ -x "$build_dir/tsisbridge" ] || { echo "build tsisbridge first (scripts/build.sh)" >&2; exit 1; }

work="$(mktemp -d "${TMPDIR:-/tmp}/bench-attendance.XXXXXX")"
trap 'rm -rf "$work"' EXIT
echo "== building the demo district (size $size, today $today) in $work" >&2
eval "$("$root/scripts/make-demo-district.sh" --size "$size" --today "$today" --out "$work/demo" \
        --build-dir "$build_dir")"
db="$work/demo/tsisdemo-tsis.db"
year=$(( ${today:0:4} - (10#${today:4:2} < 7 ? 1 : 0) ))
at030=$(sqlite3 "$db" 'SELECT count(*) FROM AT030')
echo "AT030 (period attendance) rows in the database: $at030" >&2
[ "$at030" -ge 1000000 ] || echo "note: fewer than 1,000,000 period attendance rows; raise --size" >&2

# The bridge reads the school year and "today" from the clock; faketime sets that day.
day="${today:0:4}-${today:4:2}-${today:6:2}"
# $2: the cache rows this run read; $3: the time of day, so each update file has its own name
# (the second one re-reads only the overlap).
run_once() {
  local label="$1" since="$2" fake="$day $3" out="$work/out" rows wall user sys rss
  # The clock of the timer is the real one; only the bridge runs on the benchmark's day.
  HOME="$work/home" /usr/bin/time -f '%e %U %S %M' -o "$work/time" faketime -f "@$fake" \
    "$build_dir/tsisbridge" run --att --dsn=TSISDemo --district=16 "--school=$school" --useyear=true \
    "--year=$year" "--path=$out" > "$work/stdout" 2>&1 || { tail -20 "$work/stdout" >&2; exit 1; }
  read -r wall user sys rss < "$work/time"
  rows=$(sqlite3 "$out/Attendance/Attendance.db" "SELECT (SELECT count(*) FROM PERIOD_ATT WHERE attdate >= '$since')
                                                     + (SELECT count(*) FROM DAILY_ATT WHERE attdate >= '$since')")
  awk -v l="$label" -v t="$wall" -v u="$user" -v y="$sys" -v r="$rows" -v m="$rss" 'BEGIN {
    printf "%s: %.2f s wall, %.2f s CPU, %d rows cached, %.0f rows/s, peak RSS %.1f MiB\n",
           l, t, u + y, r, r / t, m / 1024 }'
}
mkdir -p "$work/home"
run_once "first attendance update" "" 10:00:00
# The second run reads from the stored update date (a day back) less the 14 days of overlap.
run_once "second attendance update, same day" "$(date -d "${today} - 15 days" +%Y-%m-%d)" 10:30:00
