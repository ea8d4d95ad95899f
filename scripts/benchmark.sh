#!/usr/bin/env bash
# Benchmark of a district-sized extraction against the ODBC driver's own floor (not a test).
#
#   scripts/benchmark.sh [--size N] [--small N] [--today YYYYMMDD] [--early YYYYMMDD] [--school NNN]
#                        [--repeat N] [--databases sqlite,postgres] [--build-dir DIR] [--bridge FILE]
#                        [--work DIR]
#
# Builds the demo district at --size students per school (default 7000: 21,010 students in
# district 16, about 1.2 million attendance rows) and at --small (default a quarter of it), late
# in the school year (--today, default 20270528), and runs the bridge (--bridge, default the
# build folder's) at that day under faketime. For each database, at the large size:
#   full      `tsisbridge run --demo` into an empty folder: wall, CPU, peak resident memory
#   floor     every data SELECT of that run (from its level-9 log lines) run once more through
#             unixODBC's `isql -b` on the same data source, rows to /dev/null: sum of wall times;
#             and apart, the same for the existence checks it logged ("Table Exists query:",
#             "Field Exists query:"), the ones the database refuses included: they are round
#             trips to the SIS as well
#   att1      a first `run --att` into an empty folder, against the floor of its own SELECTs
#   att2      a second `run --att` on the same day, nothing changed, against the floor of its
#             own SELECTs (decoded from its own log lines)
#   att3      a third after 1% of the school's attendance records in the overlap were changed
# the same full run at the small size, and the unchanged `run --att` once more on a district of
# the large size built early in the school year (--early, default 20261001): its cache is a
# fraction of the late one's, so the pair shows whether the cost follows the cache's size.
# Prints one table of times and ratios at the end.
# Shared machines are noisy: every large-size figure is measured --repeat times (default 3)
# and the table gives the medians.
# PostgreSQL uses the server of scripts/start-postgres.sh with the databases tsisbench_<size>.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
size=7000
small=""
today=20270528
early=20261001
school=303
databases=sqlite,postgres
repeat=3
build_dir="$root/build"
bridge=""
work=""
usage() { sed -n '2,28p' "$0" | sed 's/^# \{0,1\}//' >&2; exit 2; }
while [ $# -gt 0 ]; do
  case "$1" in
    --size) size="$2"; shift ;;
    --small) small="$2"; shift ;;
    --today) today="$2"; shift ;;
    --early) early="$2"; shift ;;
    --school) school="$2"; shift ;;
    --databases) databases="$2"; shift ;;
    --repeat) repeat="$2"; shift ;;
    --build-dir) build_dir="$2"; shift ;;
    --bridge) bridge="$2"; shift ;;
    --work) work="$2"; shift ;;
    *) usage ;;
  esac
  shift
done
[ -n "$small" ] || small=$(( size / 4 ))
for n in "$size" "$small" "$repeat"; do
  case "$n" in ''|*[!0-9]*|0) echo "sizes and --repeat must be whole numbers above 0" >&2; exit 2 ;; esac
done
for tool in faketime isql sqlite3 /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "$tool is missing (apt-get install faketime unixodbc sqlite3 time)" >&2; exit 1; }
done
[ -n "$bridge" ] || bridge="$build_dir/tsisbridge"
[ -x "$bridge" ] || { echo "build tsisbridge first (scripts/build.sh)" >&2; exit 1; }
if [ -z "$work" ]; then
  work="$(mktemp -d "${TMPDIR:-/tmp}/benchmark.XXXXXX")"
  trap 'rm -rf "$work"' EXIT
fi
mkdir -p "$work"
results="$work/results"
: > "$results"
# at DATE: the day the runs and the attendance changes that follow are at.
at() {
  now="$1"
  year=$(( ${now:0:4} - (10#${now:4:2} < 7 ? 1 : 0) ))
  day="${now:0:4}-${now:4:2}-${now:6:2}"
}
minute=0
log() { echo "== $*" >&2; }
# key value: one figure of the final table
put() { echo "$1 $2" >> "$results"; }

# run LABEL DSN OUT ARGS...: one bridge run at the benchmark's day; wall, CPU and peak RSS.
run() {
  local label="$1" dsn="$2" out="$3" fake
  shift 3
  # Each run a minute later on the same day, so each update file has its own name.
  minute=$(( minute + 1 ))
  fake="$(printf '%s %02d:%02d:00' "$day" $(( 10 + minute / 60 )) $(( minute % 60 )))"
  # A home of its own: the log of the day is appended to, and copied whole into the output folder.
  mkdir -p "$work/home-$label"
  HOME="$work/home-$label" /usr/bin/time -f '%e %U %S %M' -o "$work/time" \
    faketime -f "@$fake" "$bridge" run "$@" "--dsn=$dsn" --district=16 "--school=$school" \
    --useyear=true "--year=$year" "--path=$out" > "$work/stdout" 2>&1 ||
    { tail -20 "$work/stdout" >&2; echo "$label failed" >&2; exit 1; }
  read -r wall user sys rss < "$work/time"
  put "$label.wall" "$wall"
  put "$label.cpu" "$(awk -v u="$user" -v s="$sys" 'BEGIN { printf "%.2f", u + s }')"
  put "$label.rss" "$(( rss / 1024 ))"
  log "$label: ${wall}s wall, ${user}s user, ${sys}s system, peak RSS $(( rss / 1024 )) MiB"
}

# The size of the log a run in folder $1 appends to (0 before the first).
log_size() {
  local logfile
  logfile="$(ls "$1"/*.log 2>/dev/null | head -1 || true)"
  if [ -n "$logfile" ]; then stat -c %s "$logfile"; else echo 0; fi
}

# selects FOLDER OUT [OFFSET]: the data SELECTs a run logged at level 9 (base64 after
# "proprietary:"), one per line, and its existence checks into OUT.checks; from OFFSET on,
# the log's lines of the runs after it.
selects() {
  local logfile
  logfile="$(ls "$1"/*.log | head -1)"
  python3 - "$logfile" "$2" "${3:-0}" <<'EOF'
import base64, os, re, sys
out = open(sys.argv[2], "w")
checks = open(sys.argv[2] + ".checks", "w")
log = open(sys.argv[1], "rb")
offset = int(sys.argv[3])
log.seek(offset if offset <= os.path.getsize(sys.argv[1]) else 0)
for raw in log:
    line = raw.decode("utf-8", "replace").rstrip("\r\n")
    if not line.startswith("proprietary:"):
        continue
    text = base64.b64decode(line[len("proprietary:"):]).decode("utf-8", "replace")
    # "name:hh:mm:ss: Proprietary   method: message"; the statement itself has no method.
    m = re.match(r".*?: Proprietary +: ((?:Table|Field) Exists query:)?(SELECT .*)", text, re.S)
    if m:
        (checks if m.group(1) else out).write(" ".join(m.group(2).split()) + "\n")
EOF
}

# floor LABEL DSN SQLFILE [checks]: the statements once more through isql on one connection,
# as the bridge has one, their rows to /dev/null. A run's existence checks ("checks") may be
# refused (another dialect's catalogue): those are round trips all the same.
floor() {
  local label="$1" dsn="$2" file="$3" kind="${4:-SELECTs}" start end t
  start=$(date +%s.%N)
  isql "$dsn" -b -k -d'|' < "$file" > /dev/null 2> "$work/isql.err" || [ "$kind" = checks ]
  end=$(date +%s.%N)
  if [ "$kind" = SELECTs ] && grep -q 'ERROR' "$work/isql.err"; then
    cat "$work/isql.err" >&2; echo "isql failed on a statement of $file" >&2; exit 1
  fi
  t=$(awk -v s="$start" -v e="$end" 'BEGIN { printf "%.3f", e - s }')
  put "$label.wall" "$t"
  log "$label: $(wc -l < "$file") $kind, ${t}s through isql"
}

# Data rows written: the lines of the data files less their header line.
rows_written() {
  local n=0 f
  for f in "$1"/*.sef; do
    [ -f "$f" ] && n=$(( n + $(wc -l < "$f") - 1 ))
  done
  echo "$n"
}

# The connection string isql gets: the bridge streams SQLite results (StepAPI) and reads
# PostgreSQL's through a server cursor, 5000 rows a round trip, and so does the floor.
isql_dsn() {
  case "$1" in
    TSISDemo) echo "DSN=TSISDemo;StepAPI=1" ;;
    TSISDemoPG) echo "DSN=TSISDemoPG;UseDeclareFetch=1;Fetch=5000" ;;
    *) echo "DSN=$1" ;;
  esac
}

# change_overlap DB: 1% of the school's attendance records of the overlap get a new code,
# entered today.
change_overlap() {
  local since sql
  since=$(date -d "$now - 15 days" +%Y%m%d)
  for t in AT030 AT020; do
    sql="UPDATE $t SET REAS_CD = CASE WHEN REAS_CD = 'E' THEN 'A' ELSE 'E' END, MNT_DT = $now
         WHERE DST_NBR = 16 AND SCH_NBR = '$school' AND SCH_YR = $year AND CAL_DT >= $since
           AND (ID_NBR + CAL_DT) % 100 = 0"
    if [ "$1" = sqlite ]; then
      sqlite3 "$db_file" "$sql; SELECT '$t rows changed: ' || changes();" >&2
    else
      psql_bench -c "SET search_path = tsisdemo; $sql" >&2
    fi
  done
}

psql_bench() {
  PGPASSWORD="${TSIS_PG_PASSWORD:-}" psql -X -q -v ON_ERROR_STOP=1 -h "$TSIS_PG_HOST" -p "$TSIS_PG_PORT" \
    -U "$TSIS_PG_USER" -d "$pg_db" "$@"
}

want() { case ",$databases," in *",$1,"*) return 0 ;; esac; return 1; }
if want postgres; then
  eval "$("$root/scripts/start-postgres.sh")"
fi

# unchanged LABEL DSN FOLDER: an unchanged `run --att` and the floor of its own SELECTs.
unchanged() {
  local offset
  offset=$(log_size "$3")
  run "$1" "$2" "$3" --att
  selects "$3" "$3.sql" "$offset"
  floor "${1%.wall}floor" "$(isql_dsn "$2")" "$3.sql"
  floor "${1%.wall}checks" "$(isql_dsn "$2")" "$3.sql.checks" checks
}

# Late in the year at the large and the small size, then early in the year at the large size.
for tag in large small early; do
  n=$size; date=$today; pg_db="tsisbench_$n"
  [ "$tag" = small ] && n=$small && pg_db="tsisbench_$n"
  [ "$tag" = early ] && date=$early && pg_db="tsisbench_${n}_early"
  at "$date"
  demo="$work/demo-$tag"
  log "building the demo district, size $n ($((3 * n + 10)) students in district 16), today $date"
  args=(--size "$n" --today "$date" --out "$demo" --build-dir "$build_dir")
  want postgres && args+=(--postgres --pg-db "$pg_db")
  start=$(date +%s)
  eval "$("$root/scripts/make-demo-district.sh" "${args[@]}")"
  # A SIS's tables are vacuumed and analyzed; freshly loaded ones would be, by the server's own
  # autovacuum, in the middle of the measured runs.
  want postgres && psql_bench -c "VACUUM ANALYZE" >&2
  log "built in $(( $(date +%s) - start ))s"
  db_file="$demo/tsisdemo-tsis.db"
  [ "$tag" = large ] && put "students" "$(sqlite3 "$db_file" "SELECT COUNT(DISTINCT ID_NBR) FROM ST010 WHERE DST_NBR = 16")" &&
    put "attrows" "$(sqlite3 "$db_file" "SELECT (SELECT COUNT(*) FROM AT020) + (SELECT COUNT(*) FROM AT030)")"
  for kind in sqlite postgres; do
    want "$kind" || continue
    dsn=TSISDemo
    [ "$kind" = postgres ] && dsn=TSISDemoPG
    out="$work/$kind-$tag"
    rm -rf "$out"
    case "$tag" in
      small) run "$kind.$tag.full" "$dsn" "$out/full" --demo; continue ;;
      early)
        run "$kind.early.att1" "$dsn" "$out/att" --att
        put "$kind.early.attcached" "$(sqlite3 "$out/att/Attendance/Attendance.db" \
          "SELECT (SELECT COUNT(*) FROM PERIOD_ATT) + (SELECT COUNT(*) FROM DAILY_ATT)")"
        for ((r = 1; r <= repeat; ++r)); do
          unchanged "$kind.early.att2" "$dsn" "$out/att"
        done
        continue ;;
    esac
    for ((r = 1; r <= repeat; ++r)); do
      rm -rf "$out"
      run "$kind.$tag.full" "$dsn" "$out/full" --demo
      selects "$out/full" "$out/full.sql"
      floor "$kind.floor" "$(isql_dsn "$dsn")" "$out/full.sql"
      floor "$kind.checks" "$(isql_dsn "$dsn")" "$out/full.sql.checks" checks
      run "$kind.att1" "$dsn" "$out/att" --att
      selects "$out/att" "$out/att.sql"
      floor "$kind.attfloor" "$(isql_dsn "$dsn")" "$out/att.sql"
      floor "$kind.attchecks" "$(isql_dsn "$dsn")" "$out/att.sql.checks" checks
    done
    put "$kind.$tag.rows" "$(rows_written "$out/full")"
    put "$kind.attcached" "$(sqlite3 "$out/att/Attendance/Attendance.db" \
      "SELECT (SELECT COUNT(*) FROM PERIOD_ATT) + (SELECT COUNT(*) FROM DAILY_ATT)")"
    # Each change turns the same records' codes over again, and the run after it sends them:
    # every repetition finds the cache as the first did.
    for ((r = 1; r <= repeat; ++r)); do
      unchanged "$kind.att2" "$dsn" "$out/att"
      change_overlap "$kind"
      run "$kind.att3" "$dsn" "$out/att" --att
    done
  done
done

# The table, from the median of each figure.
python3 - "$results" "$size" "$small" "$databases" <<'EOF'
import statistics
import sys
results, size, small, dbs = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4].split(",")
figures = {}
for line in open(results):
    key, value = line.split()
    figures.setdefault(key, []).append(float(value))

# A run's floor and its checks were measured in pairs: their sums, repetition by repetition.
for key in list(figures):
    checks = key[: -len("floor.wall")] + "checks.wall"
    if key.endswith("floor.wall") and checks in figures:
        figures[key[: -len(".wall")] + "+checks"] = [a + b for a, b in zip(figures[key], figures[checks])]

def median(key):
    return statistics.median(figures[key]) if key in figures else None

def show(x):
    if x is None:
        return "-"
    return str(int(x)) if x == int(x) else "%.2f" % x

# Each row: label and, for a database d, a function of the median of a figure.
def fig(name):
    return lambda d: median(d + "." + name)
def pair(a, b, op):
    def f(d):
        x, y = median(d + "." + a), median(d + "." + b)
        return None if x is None or y is None else op(x, y)
    return f
def ratio(a, b):
    return pair(a, b, lambda x, y: x / y if y else None)
def diff(a, b):
    return pair(a, b, lambda x, y: x - y)
rows = [
    ("full run wall s", fig("large.full.wall")),
    ("full run CPU s", fig("large.full.cpu")),
    ("floor of its SELECTs s", fig("floor.wall")),
    ("full / floor", ratio("large.full.wall", "floor.wall")),
    ("its existence checks s", fig("checks.wall")),
    ("full / (floor + checks)", ratio("large.full.wall", "floor+checks")),
    ("rows written", fig("large.rows")),
    ("rows per s (full run)", ratio("large.rows", "large.full.wall")),
    ("peak RSS MiB", fig("large.full.rss")),
    ("first --att wall s", fig("att1.wall")),
    ("floor of its SELECTs s", fig("attfloor.wall")),
    ("first --att / floor", ratio("att1.wall", "attfloor.wall")),
    ("its existence checks s", fig("attchecks.wall")),
    ("first --att / (floor + checks)", ratio("att1.wall", "attfloor+checks")),
    ("rows cached", fig("attcached")),
    ("rows cached per s", ratio("attcached", "att1.wall")),
    ("unchanged --att s", fig("att2.wall")),
    ("floor of its SELECTs s", fig("att2floor.wall")),
    ("unchanged / floor", ratio("att2.wall", "att2floor.wall")),
    ("its existence checks s", fig("att2checks.wall")),
    ("unchanged / (floor + checks)", ratio("att2.wall", "att2floor+checks")),
    ("unchanged / first", ratio("att2.wall", "att1.wall")),
    ("1% changed --att s", fig("att3.wall")),
    ("1% changed / first", ratio("att3.wall", "att1.wall")),
    ("peak RSS MiB (--att)", lambda d: "/".join(show(median(d + ".att%d.rss" % i)) for i in (1, 2, 3))),
    ("early in the year: rows cached", fig("early.attcached")),
    ("early: unchanged --att s", fig("early.att2.wall")),
    ("early: floor of its SELECTs s", fig("early.att2floor.wall")),
    ("early: unchanged / floor", ratio("early.att2.wall", "early.att2floor.wall")),
    ("early: its existence checks s", fig("early.att2checks.wall")),
    ("early: unchanged / (floor + checks)", ratio("early.att2.wall", "early.att2floor+checks")),
    ("unchanged late / early", ratio("att2.wall", "early.att2.wall")),
    # The SIS's own reads of the overlap cost more late in the year; the
    # bridge's part is what follows the cache.
    ("unchanged - floor s, late", diff("att2.wall", "att2floor.wall")),
    ("unchanged - floor s, early", diff("early.att2.wall", "early.att2floor.wall")),
    ("small size: full run wall s", fig("small.full.wall")),
    ("small size: peak RSS MiB", fig("small.full.rss")),
    ("large / small wall", ratio("large.full.wall", "small.full.wall")),
    ("large - small RSS MiB", diff("large.full.rss", "small.full.rss")),
]
print("\ndistrict 16: %s students, %s attendance rows (size %s; small size %s)"
      % (show(median("students")), show(median("attrows")), size, small))
print("%-44s %14s %14s" % ("", "SQLite", "PostgreSQL"))
for label, f in rows:
    cells = []
    for d in ("sqlite", "postgres"):
        x = f(d) if d in dbs else None
        cells.append(x if isinstance(x, str) else show(x))
    print("%-44s %14s %14s" % (label, cells[0], cells[1]))
print("goals: full / floor <= 1.1, first --att / floor <= 1.5, unchanged / floor <= 1.1 (early and late),\n"
      "       unchanged late / early within 10%, RSS < 64 MiB")
EOF
