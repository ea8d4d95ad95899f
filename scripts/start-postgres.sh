#!/usr/bin/env bash
# Starts (or reuses) a throw-away PostgreSQL cluster for the ODBC tests on
# 127.0.0.1 at a fixed port, with trust authentication on loopback (but for
# the role TSIS_PG_SCRAM_USER, which must give its password: scram-sha-256),
# and prints the settings the tests read as "export TSIS_PG_...=..." lines:
#   eval "$(scripts/start-postgres.sh)"
# Everything else goes to stderr.
set -euo pipefail

PORT="${TSIS_PG_PORT:-55432}"
ROOT="/tmp/tsis-pg-$PORT"
DATA="$ROOT/data"
LOG="$ROOT/server.log"
ROLE=tsis
DB=tsis
# Member of $ROLE, so it reads the demo databases; its password is checked.
SCRAM_ROLE=tsis_scram
# ";" and "]" end unixODBC's masking of a traced password: the secrecy tests need them.
SCRAM_PASSWORD='Kv8;Quartz]Lynx42'

log() { echo "start-postgres: $*" >&2; }

PGBIN=""
for d in $(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V -r); do
  if [ -x "$d/pg_ctl" ]; then PGBIN="$d"; break; fi
done
if [ -z "$PGBIN" ]; then
  log "no PostgreSQL server binaries found (install the postgresql package)"
  exit 1
fi

# The server refuses to run as root: use the postgres account then.
if [ "$(id -u)" -eq 0 ]; then
  if ! id postgres >/dev/null 2>&1; then
    log "running as root but there is no postgres account"
    exit 1
  fi
  as_owner() { runuser -u postgres -- "$@"; }
  OWNER=postgres
else
  as_owner() { "$@"; }
  OWNER="$(id -un)"
fi

mkdir -p "$ROOT"
chown "$OWNER" "$ROOT" 2>/dev/null || true
chmod 700 "$ROOT"

if as_owner "$PGBIN/pg_ctl" -D "$DATA" status >/dev/null 2>&1; then
  log "server already running in $DATA"
else
  if [ ! -f "$DATA/PG_VERSION" ]; then
    rm -rf "$DATA"
    log "creating cluster in $DATA"
    as_owner "$PGBIN/initdb" -D "$DATA" -U postgres -A trust -E UTF8 --locale=C >&2
  fi
  rm -f "$DATA/postmaster.pid"
  log "starting server on 127.0.0.1:$PORT"
  as_owner "$PGBIN/pg_ctl" -D "$DATA" -l "$LOG" -w -t 60 \
    -o "-p $PORT -k $ROOT -c listen_addresses=127.0.0.1 -c fsync=off" start >&2 || {
      log "server did not start; its log follows"
      cat "$LOG" >&2 || true
      exit 1
    }
fi

for _ in $(seq 1 60); do
  if "$PGBIN/pg_isready" -q -h 127.0.0.1 -p "$PORT"; then break; fi
  sleep 0.5
done
if ! "$PGBIN/pg_isready" -q -h 127.0.0.1 -p "$PORT"; then
  log "server on port $PORT is not ready"
  exit 1
fi

PSQL=(psql -X -q -v ON_ERROR_STOP=1 -h 127.0.0.1 -p "$PORT" -U postgres -d postgres)
if [ -z "$("${PSQL[@]}" -tAc "SELECT 1 FROM pg_roles WHERE rolname = '$ROLE'")" ]; then
  "${PSQL[@]}" -c "CREATE ROLE $ROLE LOGIN" >&2
fi
if [ -z "$("${PSQL[@]}" -tAc "SELECT 1 FROM pg_database WHERE datname = '$DB'")" ]; then
  "${PSQL[@]}" -c "CREATE DATABASE $DB OWNER $ROLE ENCODING 'UTF8' TEMPLATE template0" >&2
fi

# The password tests: an ignored or wrong password must fail for this role.
if ! grep -q "^host all $SCRAM_ROLE 127.0.0.1/32 scram-sha-256" "$DATA/pg_hba.conf"; then
  as_owner sed -i "1i host all $SCRAM_ROLE 127.0.0.1/32 scram-sha-256" "$DATA/pg_hba.conf"
  "${PSQL[@]}" -tAc "SELECT pg_reload_conf()" >/dev/null
  sleep 1 # the reload is signalled, not awaited
fi
scram_login() {
  PGPASSWORD="$SCRAM_PASSWORD" psql -X -q -h 127.0.0.1 -p "$PORT" -U "$SCRAM_ROLE" -d "$DB" -tAc "SELECT 1" \
    >/dev/null 2>&1
}
if ! scram_login; then
  # Tests may run this script side by side: a role created or altered meanwhile is fine.
  "${PSQL[@]}" -c "DO \$\$ BEGIN CREATE ROLE $SCRAM_ROLE LOGIN IN ROLE $ROLE;
                   EXCEPTION WHEN duplicate_object OR unique_violation THEN NULL; END \$\$" >&2
  "${PSQL[@]}" -c "SET password_encryption = 'scram-sha-256';
                   ALTER ROLE $SCRAM_ROLE PASSWORD '$SCRAM_PASSWORD'" >&2 || true
  scram_login || { log "role $SCRAM_ROLE cannot log in with its password"; exit 1; }
fi

echo "export TSIS_PG_HOST=127.0.0.1"
echo "export TSIS_PG_PORT=$PORT"
echo "export TSIS_PG_USER=$ROLE"
echo "export TSIS_PG_DB=$DB"
echo "export TSIS_PG_SCRAM_USER=$SCRAM_ROLE"
echo "export TSIS_PG_SCRAM_PASSWORD='$SCRAM_PASSWORD'"
