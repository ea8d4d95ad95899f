#!/usr/bin/env bash
# Installs the Debian packages the build, the demo and the tests need, and
# any packages named as arguments.
set -euo pipefail
PKGS=(build-essential cmake ninja-build pkg-config
      qt6-base-dev libsqlite3-dev sqlite3
      unixodbc unixodbc-dev libsqliteodbc odbc-postgresql postgresql postgresql-client
      libgtest-dev googletest)
# The Debian package and its checks: dpkg-shlibdeps, file, man, systemd-analyze, lintian.
PKGS+=(dpkg-dev file groff-base man-db systemd lintian)
# The T-SQL grammar check of the dialect tests runs under Node (the machine's own, where it has one).
command -v node >/dev/null && command -v npm >/dev/null || PKGS+=(nodejs npm)
# Packages a caller needs besides (the fuzzers: clang-14, libclang-rt-14-dev).
PKGS+=("$@")
# shellcheck source=apt-packages.sh
. "$(dirname "$0")/apt-packages.sh"
apt_install "${PKGS[@]}"
# node-sql-parser, at the version its lock file names, beside the check that uses it.
tsql="$(dirname "$0")/../tests/support/tsql"
if [ ! -f "$tsql/node_modules/node-sql-parser/package.json" ]; then
  (cd "$tsql" && npm ci --no-audit --no-fund --loglevel=error)
fi
