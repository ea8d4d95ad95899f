#!/usr/bin/env bash
# Builds the Debian package, unpacks it into a scratch root (dpkg -x) and checks
# from there: the program runs, the manual page renders without warnings and
# describes every parameter as "params" lists it, the systemd units verify.
# Usage: package_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1 src=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/pkg" >"$scratch/cpack.log" 2>&1 ||
  { cat "$scratch/cpack.log" >&2; fail "cpack"; }
deb=$(ls "$scratch"/pkg/*.deb)
echo "built $(basename "$deb") ($(stat -c %s "$deb") bytes)"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for p in libqt6core6 libqt6xml6 libodbc2 libsqlite3-0; do
  grep -q "\b$p\b" <<<"$depends" || fail "Depends lacks $p"
done
[ "$(dpkg-deb -f "$deb" Suggests)" = "libsqliteodbc, odbc-postgresql, tdsodbc" ] || fail "Suggests"
[ "$(dpkg-deb -f "$deb" Recommends)" = "unixodbc" ] || fail "Recommends"
# Debian's own checks: no error, no warning (policy, hardening, copyright, changelog, description).
if command -v lintian >/dev/null; then
  status=0
  hints=$(lintian --tag-display-limit 0 --fail-on error,warning "$deb" 2>&1) || status=$?
  hints=$(grep -v 'root privileges' <<<"$hints" || true)
  [ "$status" = 0 ] || fail "lintian: $hints"
  echo "lintian: no error or warning${hints:+ ($hints)}"
else
  [ -z "${CI:-}" ] || fail "lintian is not installed"
  echo "SKIP lintian: not installed"
fi

root=$scratch/root
dpkg -x "$deb" "$root"
exe=$root/usr/bin/tsisbridge
run() { env -i PATH=/usr/bin:/bin HOME="$scratch/home" LANG=C.UTF-8 "$exe" "$@"; }
expected=$(printf 'version\ttsis\t4.2.9.0\t2.01.0057\tTSIS SchoolMAX (Data Extractor)\t%s/usr/bin/help/TSISGuide.pdf' "$root")
run version | grep -qFx "$expected" || fail "tsisbridge version from the unpacked package"
[ "$(dpkg-deb -f "$deb" Version)" = 4.2.9.0 ] || fail "package version differs from the program's"
echo "unpacked tsisbridge version: ok"

page=$root/usr/share/man/man1/tsisbridge.1.gz
[ -f "$page" ] || fail "no manual page at $page"
warnings=$(man --warnings -l "$page" 2>&1 >/dev/null) || fail "man -l failed: $warnings"
[ -z "$warnings" ] || fail "man -l warns: $warnings"
lexgrog "$page" >/dev/null || fail "lexgrog finds no NAME section"
echo "man -l renders without warnings: ok"

# Each entry of the page is a tag line (the option or key) and a line
# "Name (type): help", byte for byte as "params" lists them.
entries=$(zcat "$page" | awk '
  prev ~ /^\.BI? / { tag = prev; sub(/^\.BI? /, "", tag); gsub(/\\-/, "-", tag); sub(/^--/, "", tag)
                     sub(/[= ].*/, "", tag); print tag "|" $0 }
  { prev = (last == ".TP") ? $0 : ""; last = $0 }')
listed=0
for group in global connection school; do
  while IFS= read -r line; do
    grep -qFx -- "$line" <<<"$entries" || fail "the manual page lacks: $line"
    listed=$((listed + 1))
  done < <(run params --group="$group" | awk -F'\t' '$1 == "params" {
             printf "%s|%s (%s)%s\n", $2, $4, $3, ($5 == "" ? "" : ": " $5) }')
done
[ "$listed" -eq 25 ] || fail "params listed $listed parameters, expected 25"
echo "manual page describes the $listed parameters of params: ok"

examples=$root/usr/share/doc/tsisbridge/examples
for f in odbc.ini school.conf tsisbridge.cron tsisbridge-cron-run systemd/tsisbridge-full@.service \
         systemd/tsisbridge-full@.timer systemd/tsisbridge-attendance@.service \
         systemd/tsisbridge-attendance@.timer systemd/tsisbridge-notify@.service; do
  [ -f "$examples/$f" ] || fail "example $f not installed"
done
# No home or documents folder under systemd and cron: folders are always given,
# and every data source named is one examples/odbc.ini defines.
while IFS= read -r line; do
  [[ $line == *--path=/* && $line == *--logpath=/* ]] || fail "no --path/--logpath in: $line"
done < <(grep -h 'tsisbridge-cron-run run' "$examples"/tsisbridge.cron)
grep -q '^TSIS_PATH=/' "$examples/school.conf" && grep -q '^TSIS_LOGPATH=/' "$examples/school.conf" ||
  fail "school.conf gives no absolute TSIS_PATH and TSIS_LOGPATH"
grep -q -- '--path=${TSIS_PATH} --logpath=${TSIS_LOGPATH}' "$examples"/systemd/tsisbridge-full@.service ||
  fail "the full export unit does not pass the school's folders"
for dsn in $(grep -oh -- '--dsn=[A-Z_]*' "$examples/tsisbridge.cron" | sort -u | cut -d= -f2) \
           $(sed -n 's/^TSIS_DSN=//p' "$examples/school.conf"); do
  grep -q "^\[$dsn\]" "$examples/odbc.ini" || fail "the examples use $dsn, which odbc.ini does not define"
done
# The cron wrapper: silent on success, the run's errors and its status on failure.
wrapper=$scratch/tsisbridge-cron-run
install -m 0755 "$examples/tsisbridge-cron-run" "$wrapper"
cron() { env -i PATH="$root/usr/bin:/usr/bin:/bin" HOME="$scratch/home" ODBCSYSINI="$scratch" ODBCINI="$scratch/odbc.ini" "$wrapper" "$@"; }
out=$(cron version) || fail "the cron wrapper fails a successful run"
[ -z "$out" ] || fail "the cron wrapper prints on success: $out"
status=0
out=$(cron run --dsn=NO_SUCH_SOURCE --district=16 --school=101 --path="$scratch/import" --logpath="$scratch/logs") || status=$?
[ "$status" != 0 ] || fail "the cron wrapper hides a failed run's status"
grep -q "failed with exit status $status" <<<"$out" && grep -q 'IM002' <<<"$out" ||
  fail "the cron wrapper does not print the run's errors: $out"
echo "cron wrapper: silent on success, errors and status $status on failure: ok"

if ! command -v systemd-analyze >/dev/null; then
  echo "SKIP systemd-analyze verify: systemd-analyze is not installed"
  exit 0
fi
mkdir "$scratch/probe" "$scratch/units"
printf '[Service]\nType=oneshot\nExecStart=/bin/true\n' >"$scratch/probe/probe.service"
if ! probe=$(systemd-analyze verify --man=no "$scratch/probe/probe.service" 2>&1); then
  echo "SKIP systemd-analyze verify: it cannot run here: $probe"
  exit 0
fi
for f in "$examples"/systemd/*; do
  sed "s#/usr/bin/tsisbridge#$exe#" "$f" >"$scratch/units/$(basename "$f")"
done
grep -q "ExecStart=$exe run" "$scratch/units/tsisbridge-full@.service" || fail "ExecStart not rewritten"
# The templates are verified as instances of one school, as they are started.
instances=()
for f in "$scratch"/units/*@.*; do
  name=$(basename "$f")
  instance=${name/@./@school101.}
  [[ $name == tsisbridge-notify@* ]] && instance=${name/@./@tsisbridge-full@school101.service.}
  ln -s "$name" "$scratch/units/$instance"
  instances+=("./$instance")
done
out=$(cd "$scratch/units" && systemd-analyze verify --man=no "${instances[@]}" 2>&1) ||
  fail "systemd-analyze verify: $out"
[ -z "$out" ] || fail "systemd-analyze verify warns: $out"
echo "systemd-analyze verify of ${#instances[@]} unit instances against the unpacked binary: ok"
