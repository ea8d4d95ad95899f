#!/usr/bin/env bash
# Builds the demo TSIS district and a user-level ODBC configuration for it.
#
#   scripts/make-demo-district.sh [--postgres] [--flavour tsis|schmax] [--size N] [--out DIR]
#                                 [--today YYYYMMDD] [--pg-db NAME] [--build-dir DIR] [--live-wth]
#
# Creates DIR/tsisdemo-<flavour>.db (SQLite; DIR defaults to build/demo), writes
# DIR/odbc/odbcinst.ini and DIR/odbc.ini with the data sources below, and prints the lines to
# use them (everything else goes to stderr):
#   eval "$(scripts/make-demo-district.sh)"
#
# Data sources: TSISDemo and TSISDemoSchmax (SQLite files of the two flavours), TSISDemoPG and
# TSISDemoSchmaxPG (PostgreSQL databases tsisdemo_tsis and tsisdemo_schmax, listed once
# --postgres has loaded one into the server of scripts/start-postgres.sh).
# Nothing is written outside DIR, the build directory and that server.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
postgres=0
flavour=tsis
size=10
out="$root/build/demo"
today=""
pg_db=""
build_dir="$root/build"
live_wth=0

log() { echo "make-demo-district: $*" >&2; }
die() { log "$*"; exit 1; }
usage() { sed -n '2,16p' "$0" | sed 's/^# \{0,1\}//' >&2; exit 2; }

while [ $# -gt 0 ]; do
  case "$1" in
    --postgres) postgres=1 ;;
    --flavour|--flavor) [ $# -ge 2 ] || usage; flavour="$2"; shift ;;
    --size) [ $# -ge 2 ] || usage; size="$2"; shift ;;
    --out) [ $# -ge 2 ] || usage; out="$2"; shift ;;
    --today) [ $# -ge 2 ] || usage; today="$2"; shift ;;
    --pg-db) [ $# -ge 2 ] || usage; pg_db="$2"; shift ;;
    --build-dir) [ $# -ge 2 ] || usage; build_dir="$2"; shift ;;
    --live-wth) live_wth=1 ;;
    -h|--help) usage ;;
    *) log "unknown argument: $1"; usage ;;
  esac
  shift
done
case "$flavour" in
  tsis|schmax) ;;
  *) die "--flavour must be tsis or schmax, not '$flavour'" ;;
esac
case "$size" in
  ''|*[!0-9]*) die "--size must be a whole number, not '$size'" ;;
esac
[ -n "$pg_db" ] || pg_db="tsisdemo_$flavour"
case "$pg_db" in
  ''|*[!a-z0-9_]*) die "--pg-db must be lower-case letters, digits and underscores, not '$pg_db'" ;;
esac

# The generator and the SQLite extension are built only when missing: the build
# scripts and the test targets build them beforehand, and tests run this script in
# parallel, where a rebuild from here would race with itself.
generator="$build_dir/tools/demo-district"
extension="$build_dir/tools/libtsisdemo_sqlite.so"
if [ ! -x "$generator" ] || [ ! -f "$extension" ]; then
  if [ ! -f "$build_dir/CMakeCache.txt" ]; then
    log "configuring $build_dir"
    cmake -S "$root" -B "$build_dir" -G Ninja >&2
  fi
  cmake --build "$build_dir" --target demo-district tsisdemo_sqlite >&2
fi
[ -x "$generator" ] || die "generator not built: $generator"
[ -f "$extension" ] || die "SQLite extension not built: $extension"

mkdir -p "$out/odbc" "$out/lib"
out="$(cd "$out" && pwd)"
cp -f "$extension" "$out/lib/libtsisdemo_sqlite.so"

gen_args=(--flavour "$flavour" --size "$size")
[ -n "$today" ] && gen_args+=(--today "$today")
# CE810 without PRIM_FAM, with LIVE_WTH instead of LIVE_WITH.
[ "$live_wth" = 1 ] && gen_args+=(--live-wth)

# SQLite: built beside the target and moved into place, so a failure leaves no half database.
command -v sqlite3 >/dev/null || die "sqlite3 is not installed (scripts/install-deps.sh)"
db="$out/tsisdemo-$flavour.db"
tmp="$db.tmp"
rm -f "$tmp"
start=$(date +%s)
log "building $db (size $size)"
if ! "$generator" --dialect sqlite "${gen_args[@]}" | sqlite3 -bail "$tmp" >/dev/null; then
  rm -f "$tmp"
  die "building the SQLite database failed"
fi
mv -f "$tmp" "$db"
log "SQLite done in $(( $(date +%s) - start ))s"

pg_env="$out/postgres.env"
if [ "$postgres" = 1 ]; then
  if [ -z "${TSIS_PG_HOST:-}" ] || [ -z "${TSIS_PG_PORT:-}" ] || [ -z "${TSIS_PG_USER:-}" ]; then
    [ -x "$root/scripts/start-postgres.sh" ] || die "no PostgreSQL settings and no scripts/start-postgres.sh"
    eval "$("$root/scripts/start-postgres.sh")"
  fi
  command -v psql >/dev/null || die "psql is not installed (scripts/install-deps.sh)"
  export PGPASSWORD="${TSIS_PG_PASSWORD:-${PGPASSWORD:-}}"
  psql_as() { psql -X -q -v ON_ERROR_STOP=1 -h "$TSIS_PG_HOST" -p "$TSIS_PG_PORT" -U "$1" -d "$2" "${@:3}"; }
  if [ -z "$(psql_as "$TSIS_PG_USER" "${TSIS_PG_DB:-postgres}" -tAc "SELECT 1 FROM pg_database WHERE datname = '$pg_db'")" ]; then
    log "creating database $pg_db"
    # The loading role may not create databases; the cluster's superuser then does, for it.
    psql_as "${TSIS_PG_ADMIN_USER:-postgres}" postgres \
        -c "CREATE DATABASE $pg_db OWNER \"$TSIS_PG_USER\" ENCODING 'UTF8' TEMPLATE template0" >&2 2>/dev/null ||
      psql_as "$TSIS_PG_USER" "${TSIS_PG_DB:-postgres}" \
        -c "CREATE DATABASE $pg_db ENCODING 'UTF8' TEMPLATE template0" >&2 ||
      die "cannot create the database $pg_db"
  fi
  start=$(date +%s)
  log "loading PostgreSQL database $pg_db"
  "$generator" --dialect postgresql "${gen_args[@]}" | psql_as "$TSIS_PG_USER" "$pg_db" >/dev/null ||
    die "loading the PostgreSQL database failed"
  log "PostgreSQL done in $(( $(date +%s) - start ))s"
  {
    echo "TSIS_PG_HOST=$TSIS_PG_HOST"
    echo "TSIS_PG_PORT=$TSIS_PG_PORT"
    echo "TSIS_PG_USER=$TSIS_PG_USER"
    echo "TSIS_PG_PASSWORD=${TSIS_PG_PASSWORD:-}"
    echo "TSIS_PG_DB_$flavour=$pg_db"
    if [ -f "$pg_env" ]; then grep -E '^TSIS_PG_DB_' "$pg_env" | grep -v "^TSIS_PG_DB_$flavour=" || true; fi
  } > "$pg_env.tmp"
  mv -f "$pg_env.tmp" "$pg_env"
fi

# The drivers of the Debian packages libsqliteodbc and odbc-postgresql, of this
# machine's own architecture (a 32-bit Wine set-up brings i386 ones too).
multiarch="$(gcc -print-multiarch 2>/dev/null || dpkg-architecture -qDEB_HOST_MULTIARCH 2>/dev/null || true)"
find_driver() {
  local f
  for f in ${multiarch:+/usr/lib/$multiarch/odbc/"$1"} /usr/lib/odbc/"$1" /usr/lib64/"$1" /usr/local/lib/odbc/"$1"; do
    if [ -f "$f" ]; then echo "$f"; return 0; fi
  done
  return 1
}
sqlite_driver="$(find_driver libsqlite3odbc.so)" || die "SQLite ODBC driver not found (package libsqliteodbc)"
pg_driver="$(find_driver psqlodbcw.so || true)"

{
  echo "[SQLite3]"
  echo "Description=SQLite3 ODBC Driver"
  echo "Driver=$sqlite_driver"
  echo "Setup=$sqlite_driver"
  echo "UsageCount=1"
  if [ -n "$pg_driver" ]; then
    echo
    echo "[PostgreSQL]"
    echo "Description=PostgreSQL ODBC driver (Unicode)"
    echo "Driver=$pg_driver"
    echo "UsageCount=1"
  fi
} > "$out/odbc/odbcinst.ini"

sqlite_dsn() {
  echo "[$1]"
  echo "Description=$2"
  echo "Driver=SQLite3"
  echo "Database=$out/tsisdemo-$3.db"
  # A missing file is an error, not a new empty database.
  echo "NoCreat=1"
  echo "LoadExt=$out/lib/libtsisdemo_sqlite.so"
  echo "Timeout=10000"
  echo
}
pg_dsn() {
  echo "[$1]"
  echo "Description=$2"
  echo "Driver=PostgreSQL"
  echo "Servername=$pg_host"
  echo "Port=$pg_port"
  echo "Database=$3"
  echo "Username=$pg_user"
  [ -n "$pg_password" ] && echo "Password=$pg_password"
  echo
}
{
  sqlite_dsn TSISDemo "Demo TSIS district (SQLite)" tsis
  sqlite_dsn TSISDemoSchmax "Demo SchoolMAX district (SQLite)" schmax
  if [ -f "$pg_env" ] && [ -n "$pg_driver" ]; then
    pg_host="$(sed -n 's/^TSIS_PG_HOST=//p' "$pg_env")"
    pg_port="$(sed -n 's/^TSIS_PG_PORT=//p' "$pg_env")"
    pg_user="$(sed -n 's/^TSIS_PG_USER=//p' "$pg_env")"
    pg_password="$(sed -n 's/^TSIS_PG_PASSWORD=//p' "$pg_env")"
    db_tsis="$(sed -n 's/^TSIS_PG_DB_tsis=//p' "$pg_env")"
    db_schmax="$(sed -n 's/^TSIS_PG_DB_schmax=//p' "$pg_env")"
    pg_dsn TSISDemoPG "Demo TSIS district (PostgreSQL)" "${db_tsis:-tsisdemo_tsis}"
    pg_dsn TSISDemoSchmaxPG "Demo SchoolMAX district (PostgreSQL)" "${db_schmax:-tsisdemo_schmax}"
  fi
} > "$out/odbc.ini"

log "data sources written to $out/odbc.ini"
echo "export ODBCSYSINI=$out/odbc"
echo "export ODBCINI=$out/odbc.ini"
