#!/usr/bin/env bash
# The password read from the file named by TSISBRIDGE_PASSWORD_FILE is the one
# the connection uses: a private PostgreSQL cluster that checks passwords
# (scram-sha-256) accepts it and refuses a wrong one. It never shows in the
# process's command line, the log, the status files or the output folder.
# Usage: password_file_test.sh TSISBRIDGE SOURCE_DIR BUILD_DIR
set -euo pipefail
exe=$1 src=$2 build=$3
fail() { echo "FAIL: $*" >&2; exit 1; }

pgbin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V -r | head -n 1)
[ -x "$pgbin/initdb" ] || fail "no PostgreSQL server binaries (package postgresql)"
scratch=$(mktemp -d)
pgdir=$(mktemp -d)
if [ "$(id -u)" -eq 0 ]; then
  chown postgres "$pgdir"
  as_owner() { runuser -u postgres -- "$@"; }
else
  as_owner() { "$@"; }
fi
cleanup() {
  as_owner "$pgbin/pg_ctl" -D "$pgdir/data" -m immediate stop >/dev/null 2>&1 || true
  rm -rf "$scratch" "$pgdir"
}
trap cleanup EXIT

as_owner "$pgbin/initdb" -D "$pgdir/data" -U postgres -A trust -E UTF8 --locale=C -N >/dev/null
# The administrator needs no password; every other role does.
printf '%s\n' 'local all all trust' 'host all postgres 127.0.0.1/32 trust' \
  'host all all 127.0.0.1/32 scram-sha-256' >"$pgdir/data/pg_hba.conf"
# A port that looks free may still be a client's source port of another test
# running meanwhile: the next one is tried when the server cannot bind.
port=
for p in $(seq 55500 55599); do
  (exec 3<>"/dev/tcp/127.0.0.1/$p") 2>/dev/null && continue
  rm -f "$pgdir/server.log"
  if as_owner "$pgbin/pg_ctl" -D "$pgdir/data" -l "$pgdir/server.log" -w -t 60 \
       -o "-p $p -k $pgdir -c listen_addresses=127.0.0.1 -c fsync=off" start >/dev/null; then
    port=$p
    break
  fi
  grep -q "Address already in use" "$pgdir/server.log" || { cat "$pgdir/server.log" >&2; fail "server did not start"; }
done
[ -n "$port" ] || fail "no free port"

pw='Tr41n;Sch3d{ule}'
psql -X -q -v ON_ERROR_STOP=1 -h 127.0.0.1 -p "$port" -U postgres -d postgres \
  -c "CREATE ROLE reader LOGIN PASSWORD '$pw'"
exports=$(TSIS_PG_HOST=127.0.0.1 TSIS_PG_PORT=$port TSIS_PG_USER=reader TSIS_PG_PASSWORD=$pw \
  TSIS_PG_DB=postgres "$src/scripts/make-demo-district.sh" --postgres --out "$scratch/demo" \
  --build-dir "$build" 2>"$scratch/demo.log") || { cat "$scratch/demo.log" >&2; fail "demo district"; }
eval "$exports"
# The data source must not carry the password itself.
sed -i '/^Password=/d' "$ODBCINI"
! grep -rqaF -- "$pw" "$ODBCINI" "$ODBCSYSINI" || fail "the password is in the ODBC configuration"

environment=(-i PATH=/usr/bin:/bin HOME="$scratch/home" LANG=C.UTF-8 ODBCINI="$ODBCINI"
             ODBCSYSINI="$ODBCSYSINI")
bridge() { env "${environment[@]}" TSISBRIDGE_PASSWORD_FILE="$secret" "$exe" "$@"; }
connection=(--dsn=TSISDemoPG --user=reader)

# A full run whose password file is a pipe: while the bridge waits on it, its
# command line and environment are read; then it gets the password.
secret=$scratch/secret.fifo
mkfifo "$secret"
env "${environment[@]}" TSISBRIDGE_PASSWORD_FILE="$secret" "$exe" run "${connection[@]}" --district=16 --school=101 --path="$scratch/out" \
  --logpath="$scratch/logs" >"$scratch/run.out" 2>"$scratch/run.err" &
pid=$!
exec 3>"$secret" # returns once the bridge has opened the pipe
cmdline=$(tr '\0' ' ' <"/proc/$pid/cmdline")
environ=$(tr '\0' '\n' <"/proc/$pid/environ")
printf '%s\n' "$pw" >&3
exec 3>&-
status=0
wait "$pid" || status=$?
[[ $cmdline == *" run --dsn=TSISDemoPG "* ]] || fail "unexpected command line: $cmdline"
grep -qx "TSISBRIDGE_PASSWORD_FILE=$secret" <<<"$environ" || fail "environment lacks the file name"
[ "$status" -eq 0 ] || { cat "$scratch/run.err" >&2; fail "run with the password from the file: status $status"; }
grep -q $'\tSucceeded\tSucceeded' "$scratch/out/Data ExtractorStatus.tmp" || fail "status file"
ls "$scratch/logs"/TSIS_SchoolMAX--101-*.log >/dev/null || fail "no log file"
ls "$scratch/out"/*.sef >/dev/null || fail "no data files"
for what in "$cmdline" "$environ"; do
  ! grep -qF -- "$pw" <<<"$what" || fail "the password is in /proc/$pid"
done
! grep -rlaF -- "$pw" "$scratch/out" "$scratch/logs" "$scratch/run.out" "$scratch/run.err" ||
  fail "the password was written to the files above"
echo "run with the password from a pipe: ok ($(ls "$scratch/out" | wc -l) files in the output folder)"

# test --group=connection: expected status and a line the answer must hold.
check() {
  local want=$1 line=$2 status=0
  shift 2
  bridge test --group=connection "${connection[@]}" "$@" >"$scratch/test.out" 2>"$scratch/test.err" ||
    status=$?
  [ "$status" -eq "$want" ] || { cat "$scratch/test.out" "$scratch/test.err" >&2; fail "status $status"; }
  grep -qF -- "$line" "$scratch/test.out" "$scratch/test.err" ||
    { cat "$scratch/test.out" "$scratch/test.err" >&2; fail "no line: $line"; }
}
secret=$scratch/secret
printf '%s\r\n' "$pw" >"$secret"
check 0 $'test\tconnection\tsuccess'
printf '%s\n' "x$pw" >"$secret"
check 1 'password authentication failed for user "reader"'
# A password on the command line comes first (hex of the password's bytes).
check 0 $'test\tconnection\tsuccess' --pwdencode="$(printf '%s' "$pw" | od -An -tx1 | tr -d ' \n' | tr a-f A-F)"
secret=$scratch/missing
check 1 $'error\tPassword File\tCould not read the password file named by TSISBRIDGE_PASSWORD_FILE: '"$secret: No such file or directory" \
  --path="$scratch/out-missing"
grep -q $'\tFailed\tCould not read the password file' "$scratch/out-missing/Data ExtractorStatus.tmp" ||
  fail "status file of the missing password file"
echo "password file: CR LF ending, wrong password, command line first, missing file: ok"
