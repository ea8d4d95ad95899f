#!/usr/bin/env bash
# Builds what the Windows cross build links against: Qt 6 Core/Xml (shared) and
# SQLite (static), from Debian's own source packages, with Debian's MinGW-w64.
#   scripts/windows-prereqs.sh x86_64|i686
# Everything lands in ${TSIS_WINDOWS_CACHE:-$HOME/.cache/tsisbridge-windows}/ARCH,
# outside the work tree, with the wine prefix wineprefix-ARCH beside it; a
# finished part is not built again. The last line printed (the only one on
# standard output) is the install prefix, for -DTSIS_WINDOWS_PREFIX=...
set -euo pipefail

ARCH="${1:-}"
case "$ARCH" in
  x86_64) DEB_MINGW=x86-64 ;;
  i686) DEB_MINGW=i686 ;;
  *) echo "usage: $0 x86_64|i686" >&2; exit 2 ;;
esac
TRIPLE="$ARCH-w64-mingw32"
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
TOOLCHAIN="$ROOT/cmake/toolchain-mingw-$ARCH.cmake"
CACHE="${TSIS_WINDOWS_CACHE:-$HOME/.cache/tsisbridge-windows}"
SRC="$CACHE/src"                  # sources, shared by both architectures
WORK="$CACHE/$ARCH"
PREFIX="$WORK/prefix"
STAMPS="$WORK/stamps"
JOBS="${TSIS_WINDOWS_JOBS:-2}"
QT_VERSION=6.4.2

log() { echo "windows-prereqs: $*" >&2; }
took() { log "$1 took $((SECONDS - $2)) s"; }
die() { log "$*"; exit 1; }
SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo

# shellcheck source=apt-packages.sh
. "$ROOT/scripts/apt-packages.sh"
# shellcheck source=host-i386.sh
. "$ROOT/scripts/host-i386.sh"
# Where 32-bit x86 programs cannot run, the i686 build is made but not run:
# no 32-bit Wine, driver or demo extension, and no wine prefix for it.
RUN_HERE=1
if [ "$ARCH" = i686 ] && ! host_runs_i386; then
  RUN_HERE=0
  log "this machine does not run 32-bit x86 programs: the i686 build is made, not run"
fi

# --- Debian packages -----------------------------------------------------
PKGS=("g++-mingw-w64-$DEB_MINGW-posix" mingw-w64-tools cmake ninja-build
      qt6-base-dev qt6-base-dev-tools tcl dpkg-dev make googletest)
if [ "$ARCH" = x86_64 ]; then
  PKGS+=(wine64 wine)
elif [ "$RUN_HERE" = 1 ]; then
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    log "adding the i386 architecture (for 32-bit wine)"
    $SUDO dpkg --add-architecture i386
    $SUDO apt-get update >&2
  fi
  # g++-multilib: the demo district's SQLite extension for the 32-bit driver.
  PKGS+=(wine wine32:i386 g++-multilib)
fi
apt_install "${PKGS[@]}"

# Wine's odbc32.dll hands ODBC calls to the host's unixODBC of the same word
# size, so the 32-bit program needs the i386 driver manager and SQLite driver.
# CAUTION: this puts /usr/lib/i386-linux-gnu/odbc/libsqlite3odbc.so beside the
# amd64 one; a search through /usr/lib/*/odbc/ may now find the 32-bit driver
# first, which the native (64-bit) build cannot load.
install_wine_odbc_i386() {
  apt_install libodbc2:i386 libodbcinst2:i386 libsqliteodbc:i386
}
[ "$ARCH" = i686 ] && [ "$RUN_HERE" = 1 ] && install_wine_odbc_i386

mkdir -p "$SRC" "$PREFIX" "$STAMPS"

# --- Debian source packages, through a private apt configuration ---------
# The system's package lists stay as they are. The sources come from the
# system's own apt sources: each is copied with its "deb" turned into "deb-src".
APT_DIR="$CACHE/apt"
APT_OPTS=()
private_apt_setup() {
  [ ${#APT_OPTS[@]} -gt 0 ] && return 0
  mkdir -p "$APT_DIR/lists/partial" "$APT_DIR/cache/archives/partial"
  rm -rf "$APT_DIR/parts"; mkdir -p "$APT_DIR/parts"
  local f
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] && sed -E 's/^Types:.*/Types: deb-src/' "$f" > "$APT_DIR/parts/$(basename "$f")"
  done
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] && sed -nE 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$f"
  done > "$APT_DIR/sources.list"
  APT_OPTS=(-o "Dir::Etc::SourceList=$APT_DIR/sources.list" -o "Dir::Etc::SourceParts=$APT_DIR/parts"
            -o "Dir::State::Lists=$APT_DIR/lists" -o "Dir::Cache=$APT_DIR/cache")
  # As root apt downloads as _apt, which cannot write into the cache.
  [ "$(id -u)" -eq 0 ] && APT_OPTS+=(-o APT::Sandbox::User=root)
  log "updating the private source lists (the system's sources, as deb-src)"
  apt-get "${APT_OPTS[@]}" update >&2
}

# fetch_source PACKAGE [VERSION]: unpacks the source (Debian patches applied) into $SRC.
fetch_source() {
  local pkg="$1" ver="${2:-}"
  private_apt_setup
  log "fetching the source of $pkg${ver:+ $ver}"
  (cd "$SRC" && if [ -n "$ver" ] && apt-get "${APT_OPTS[@]}" source --only-source "$pkg=$ver" >&2; then :;
                else apt-get "${APT_OPTS[@]}" source --only-source "$pkg" >&2; fi)
  # Only the unpacked tree is used.
  rm -f "$SRC"/*.dsc "$SRC"/*.tar.*
}

# Qt's source must be the release of the host Qt, whose tools (moc, rcc...) the cross build uses.
if [ ! -f "$SRC/.qtbase.stamp" ]; then
  t=$SECONDS
  host_ver="$(dpkg-query -W -f='${source:Version}' qt6-base-dev)"
  [ "${host_ver%%+*}" = "$QT_VERSION" ] || die "host qt6-base-dev is $host_ver, expected $QT_VERSION"
  rm -rf "$SRC"/qt6-base-*
  fetch_source qt6-base "$host_ver"
  dirs=("$SRC"/qt6-base-"$QT_VERSION"*/); d="${dirs[0]}"
  [ -d "$d" ] || die "qt6-base $QT_VERSION source not found after apt-get source"
  echo "${d%/}" > "$SRC/.qtbase.stamp"
  took "the Qt source" $t
fi
QT_SRC="$(cat "$SRC/.qtbase.stamp")"

if [ ! -f "$SRC/.sqlite.stamp" ]; then
  t=$SECONDS
  rm -rf "$SRC"/sqlite3-*
  fetch_source sqlite3 "$(dpkg-query -W -f='${source:Version}' libsqlite3-dev 2>/dev/null || true)"
  dirs=("$SRC"/sqlite3-*/); d="${dirs[0]}"
  [ -d "$d" ] || die "sqlite3 source not found after apt-get source"
  # The amalgamation is generated by a host build (tclsh runs its generators).
  log "generating sqlite3.c"
  (cd "$d" && mkdir -p amalgamation && cd amalgamation && ../configure >/dev/null && make -j"$JOBS" sqlite3.c >/dev/null)
  [ -f "$d/amalgamation/sqlite3.c" ] || die "sqlite3.c was not generated"
  echo "${d%/}/amalgamation" > "$SRC/.sqlite.stamp"
  took "the SQLite source and sqlite3.c" $t
fi
SQLITE_AMALG="$(cat "$SRC/.sqlite.stamp")"

# --- SQLite: a static library for MinGW ----------------------------------
if [ ! -f "$STAMPS/sqlite" ]; then
  log "building libsqlite3.a for $ARCH"; t=$SECONDS
  b="$WORK/build-sqlite"; rm -rf "$b"; mkdir -p "$b" "$PREFIX/lib" "$PREFIX/include"
  "$TRIPLE-gcc-posix" -O2 -DSQLITE_THREADSAFE=1 -DSQLITE_ENABLE_COLUMN_METADATA \
    -c "$SQLITE_AMALG/sqlite3.c" -o "$b/sqlite3.o"
  rm -f "$PREFIX/lib/libsqlite3.a"
  "$TRIPLE-ar" rcs "$PREFIX/lib/libsqlite3.a" "$b/sqlite3.o"
  cp "$SQLITE_AMALG/sqlite3.h" "$SQLITE_AMALG/sqlite3ext.h" "$PREFIX/include/"
  rm -rf "$b"
  touch "$STAMPS/sqlite"
  took "libsqlite3.a" $t
fi

# --- Qt 6 Core and Xml, shared ---------------------------------------------
if [ ! -f "$STAMPS/qt" ]; then
  log "building Qt $QT_VERSION Core/Xml for $ARCH (several minutes)"; t=$SECONDS
  b="$WORK/build-qt"; rm -rf "$b"; mkdir -p "$b"
  host_cmake="$(dirname "$(dirname "$(dpkg -L qt6-base-dev | grep -m1 '/cmake/Qt6/Qt6Config.cmake$')")")"
  cmake -S "$QT_SRC" -B "$b" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DTSIS_WINDOWS_PREFIX="$PREFIX" \
    -DCMAKE_INSTALL_PREFIX="$PREFIX" -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON \
    -DQT_QMAKE_TARGET_MKSPEC=win32-g++ \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR="$host_cmake" \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
    -DFEATURE_gui=OFF -DFEATURE_widgets=OFF -DFEATURE_dbus=OFF -DFEATURE_opengl=OFF \
    -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_testlib=OFF -DFEATURE_concurrent=OFF \
    -DFEATURE_printsupport=OFF -DFEATURE_icu=OFF \
    -DFEATURE_pcre2=ON -DFEATURE_system_pcre2=OFF -DFEATURE_system_zlib=OFF \
    >"$WORK/qt-configure.log" 2>&1 || { tail -n 40 "$WORK/qt-configure.log" >&2; die "Qt configure failed (see $WORK/qt-configure.log)"; }
  cmake --build "$b" --parallel "$JOBS" >"$WORK/qt-build.log" 2>&1 ||
    { tail -n 40 "$WORK/qt-build.log" >&2; die "Qt build failed (see $WORK/qt-build.log)"; }
  cmake --install "$b" >"$WORK/qt-install.log" 2>&1 || die "Qt install failed (see $WORK/qt-install.log)"
  for f in bin/Qt6Core.dll bin/Qt6Xml.dll lib/cmake/Qt6/Qt6Config.cmake lib/cmake/Qt6Core/Qt6CoreConfig.cmake lib/cmake/Qt6Xml/Qt6XmlConfig.cmake; do
    [ -f "$PREFIX/$f" ] || die "Qt install lacks $f"
  done
  rm -rf "$b"
  touch "$STAMPS/qt"
  took "Qt" $t
fi

# --- GoogleTest, static, from Debian's /usr/src/googletest -------------------
if [ ! -f "$STAMPS/gtest" ]; then
  log "building GoogleTest for $ARCH"; t=$SECONDS
  b="$WORK/build-gtest"; rm -rf "$b"
  cmake -S /usr/src/googletest -B "$b" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
    -DTSIS_WINDOWS_PREFIX="$PREFIX" -DCMAKE_INSTALL_PREFIX="$PREFIX" -DCMAKE_BUILD_TYPE=Release \
    -DBUILD_GMOCK=OFF >"$WORK/gtest.log" 2>&1 &&
    cmake --build "$b" --parallel "$JOBS" >>"$WORK/gtest.log" 2>&1 &&
    cmake --install "$b" >>"$WORK/gtest.log" 2>&1 || die "GoogleTest failed (see $WORK/gtest.log)"
  rm -rf "$b"
  touch "$STAMPS/gtest"
  took "GoogleTest" $t
fi

# --- The demo district's SQLite extension for 32-bit Linux ---------------------
# The 32-bit program under Wine reaches the demo through the i386 SQLite ODBC
# driver, which loads only a 32-bit extension.
ext_src="$ROOT/tools/sqliteext/TsisDemoSqliteExtension.cpp"
ext="$WORK/linux/libtsisdemo_sqlite.so"
if [ "$ARCH" = i686 ] && [ "$RUN_HERE" = 1 ] && [ "$ext_src" -nt "$ext" ]; then
  mkdir -p "$WORK/linux"
  g++ -m32 -O2 -shared -fPIC -o "$ext" "$ext_src" || die "the 32-bit demo extension did not build"
fi

# --- The wine prefix the Windows build's tests run in -------------------------
# Its first start takes several seconds, paid here once. A prefix made while
# wine32 was missing has no syswow64; once wine32 is in, the launcher goes
# through the 32-bit loader and every program fails there: it is made anew.
WINE_PREFIX="$CACHE/wineprefix-$ARCH"
if [ "$RUN_HERE" = 0 ]; then
  : # no prefix: nothing of this build runs here
elif [ -d "$WINE_PREFIX" ] && [ -x /usr/lib/wine/wine ] && host_runs_i386 &&
   [ ! -f "$WINE_PREFIX/drive_c/windows/syswow64/kernel32.dll" ]; then
  log "recreating $WINE_PREFIX (made before 32-bit wine was installed)"
  WINEPREFIX="$WINE_PREFIX" wineserver -k 2>/dev/null || true
  rm -rf "$WINE_PREFIX"
fi
if [ "$RUN_HERE" = 1 ] && [ ! -f "$WINE_PREFIX/system.reg" ]; then
  log "creating the wine prefix $WINE_PREFIX"; t=$SECONDS
  # No Mono or Gecko: nothing here needs them, and their installers would ask.
  WINEPREFIX="$WINE_PREFIX" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
    wine wineboot -i </dev/null >/dev/null 2>&1 || die "wine could not set up $WINE_PREFIX"
  WINEPREFIX="$WINE_PREFIX" wineserver -w
  took "the wine prefix" $t
fi

echo "$PREFIX"
