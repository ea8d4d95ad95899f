#!/usr/bin/env bash
# Cross-builds the bridge and its unit tests for Windows with Debian's MinGW-w64.
#   scripts/build-windows.sh x86_64|i686 [--test] [--package]
# Builds into build-win64/ (x86_64) or build-win32/ (i686), Release, or into
# TSIS_WINDOWS_BUILD_DIR when set. --test runs the unit tests under Wine;
# --package makes the ZIP and the NSIS installer and tries them (unzip -l, a
# silent install and uninstall in the architecture's wine prefix).
# The last line, the only one on standard output, is the folder holding
# tsisbridge.exe and every DLL it needs.
set -euo pipefail

ARCH=""; TEST=0; PACKAGE=0
for arg in "$@"; do
  case "$arg" in
    x86_64|i686) ARCH="$arg" ;;
    --test) TEST=1 ;;
    --package) PACKAGE=1 ;;
    *) ARCH=""; break ;;
  esac
done
case "$ARCH" in
  x86_64) DEFAULT_BUILD=build-win64; BITS=64 ;;
  i686) DEFAULT_BUILD=build-win32; BITS=32 ;;
  *) echo "usage: $0 x86_64|i686 [--test] [--package]" >&2; exit 2 ;;
esac
TRIPLE="$ARCH-w64-mingw32"
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="${TSIS_WINDOWS_BUILD_DIR:-$DEFAULT_BUILD}"
[[ "$BUILD" = /* ]] || BUILD="$ROOT/$BUILD"
BIN="$BUILD/bin"
CACHE="${TSIS_WINDOWS_CACHE:-$HOME/.cache/tsisbridge-windows}"
export WINEPREFIX="$CACHE/wineprefix-$ARCH"
export WINEDEBUG=-all
JOBS="${TSIS_WINDOWS_JOBS:-2}"

log() { echo "build-windows: $*" >&2; }
die() { log "FAILED: $*"; exit 1; }
TIMES=()
took() { TIMES+=("$1: $((SECONDS - $2)) s"); log "$1 took $((SECONDS - $2)) s"; }
SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
# shellcheck source=apt-packages.sh
. "$ROOT/scripts/apt-packages.sh"
# shellcheck source=host-i386.sh
. "$ROOT/scripts/host-i386.sh"
if [ "$ARCH" = i686 ] && [ "$TEST" = 1 ] && ! host_runs_i386; then
  die "the i686 tests run under 32-bit Wine, and this machine does not run 32-bit x86 programs"
fi

# --- Packaging tools, before the prerequisites -------------------------------
# The NSIS installer is a 32-bit program: trying it needs 32-bit wine even for
# x86_64. Installed first, so windows-prereqs.sh remakes a prefix that lacks it.
TRY_INSTALLER=0
if [ "$PACKAGE" = 1 ]; then
  if host_runs_i386; then
    TRY_INSTALLER=1
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
      log "adding the i386 architecture (the NSIS installer is a 32-bit program)"
      $SUDO dpkg --add-architecture i386
    fi
    apt_install nsis unzip wine32:i386
  else
    log "this machine does not run 32-bit x86 programs: the installer is made and checked, not tried"
    apt_install nsis unzip
  fi
  command -v makensis >/dev/null || die "makensis not found after installing nsis"
  log "$(makensis -VERSION 2>&1 | head -n1 | sed 's/^/makensis /')"
fi

t=$SECONDS
PREFIX="$("$ROOT/scripts/windows-prereqs.sh" "$ARCH" | tail -n1)" || die "scripts/windows-prereqs.sh $ARCH"
[ -d "$PREFIX" ] || die "windows-prereqs.sh gave no prefix"
took "prerequisites" $t

# --- Configure and build -----------------------------------------------------------
t=$SECONDS
cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-mingw-$ARCH.cmake" \
  -DTSIS_WINDOWS_PREFIX="$PREFIX" -DCMAKE_BUILD_TYPE=Release >&2 || die "configure"
took "configure" $t
t=$SECONDS
cmake --build "$BUILD" -j"$JOBS" >&2 || die "build"
took "build" $t

# --- Every DLL the program loads is beside it or part of Windows ---------------------
# Windows' own DLLs (lower case); the api-ms-win-*/ext-ms-win-* API sets are too.
SYSTEM_DLLS=(advapi32.dll authz.dll bcrypt.dll cfgmgr32.dll comctl32.dll comdlg32.dll crypt32.dll
  dbghelp.dll dnsapi.dll dwmapi.dll gdi32.dll imm32.dll iphlpapi.dll kernel32.dll mpr.dll
  msvcrt.dll mswsock.dll ncrypt.dll netapi32.dll normaliz.dll ntdll.dll odbc32.dll odbccp32.dll
  ole32.dll oleaut32.dll powrprof.dll psapi.dll rpcrt4.dll secur32.dll setupapi.dll shcore.dll
  shell32.dll shlwapi.dll ucrtbase.dll user32.dll userenv.dll uxtheme.dll version.dll winhttp.dll
  wininet.dll winmm.dll winspool.drv ws2_32.dll wsock32.dll wtsapi32.dll)
system=" ${SYSTEM_DLLS[*]} "
t=$SECONDS
[ -f "$BIN/tsisbridge.exe" ] || die "$BIN/tsisbridge.exe was not built"
command -v "$TRIPLE-objdump" >/dev/null || die "$TRIPLE-objdump not found"
beside=" $(cd "$BIN" && ls | tr '[:upper:]' '[:lower:]' | tr '\n' ' ') "
bad=0
for file in "$BIN/tsisbridge.exe" "$BIN"/*.dll; do
  [ -f "$file" ] || continue
  imports="$("$TRIPLE-objdump" -p "$file" | sed -n 's/^[[:space:]]*DLL Name: //p' | sort -fu)"
  [ -n "$imports" ] || die "$(basename "$file"): objdump found no imports"
  log "$(basename "$file") imports: $(echo "$imports" | tr '\n' ' ')"
  while read -r dll; do
    lower="$(echo "$dll" | tr '[:upper:]' '[:lower:]')"
    case "$lower" in api-ms-win-*|ext-ms-win-*) continue ;; esac
    [[ "$system" == *" $lower "* || "$beside" == *" $lower "* ]] && continue
    log "ERROR: $(basename "$file") imports $dll, which is neither in $BIN nor part of Windows"
    bad=1
  done <<< "$imports"
done
[ "$bad" = 0 ] || die "DLLs missing from $BIN"
took "DLL check" $t

# A persistent wine server (ended two minutes after its last program) spares
# each start its set-up. The first program of a session starts Wine's services,
# which keep the streams they were given while the server lives: they get
# /dev/null here, or a pipeline reading a later program waits for them.
start_wineserver() {
  wineserver -p120 </dev/null >/dev/null 2>&1 || true
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}

# --- Unit tests under Wine ------------------------------------------------------------
if [ "$TEST" = 1 ]; then
  t=$SECONDS
  start_wineserver
  result="$BUILD/ctest-wine.log"
  status=0
  ctest --test-dir "$BUILD" -j"$JOBS" --output-on-failure 2>&1 | tee "$result" >&2 || status=$?
  summary="$(grep -E 'tests passed|tests failed' "$result" | tail -n1 || true)"
  took "tests under wine" $t
  [ "$status" = 0 ] || die "unit tests under wine: ${summary:-see $result}"
  log "unit tests under wine: $summary"
fi

# --- Packages ------------------------------------------------------------------------
if [ "$PACKAGE" = 1 ]; then
  t=$SECONDS
  name="$(sed -n 's/^set(CPACK_PACKAGE_FILE_NAME "\(.*\)")$/\1/p' "$BUILD/CPackConfig.cmake")"
  [ -n "$name" ] || die "no CPACK_PACKAGE_FILE_NAME in $BUILD/CPackConfig.cmake"
  ZIP="$BUILD/$name.zip"; EXE="$BUILD/$name.exe"
  rm -f "$ZIP" "$EXE"
  (cd "$BUILD" && cpack) >&2 || die "cpack"
  [ -f "$ZIP" ] && [ -f "$EXE" ] || die "cpack did not make $ZIP and $EXE"
  took "packaging (cpack)" $t

  t=$SECONDS
  listing="$(unzip -l "$ZIP")"
  echo "$listing" >&2
  for f in tsisbridge.exe Qt6Core.dll Qt6Xml.dll README.txt; do
    grep -qE "[[:space:]]$name/$f\$" <<< "$listing" || die "$ZIP lacks $name/$f"
  done
  entries="$(grep -cE "[[:space:]]$name/[^/]+\$" <<< "$listing" || true)"
  [ "$entries" = 4 ] || die "$ZIP holds $entries files, expected 4"
  lines="$(unzip -p "$ZIP" "$name/README.txt" | wc -l)"
  crs="$(unzip -p "$ZIP" "$name/README.txt" | tr -cd '\r' | wc -c)"
  [ "$lines" -gt 0 ] && [ "$lines" = "$crs" ] || die "README.txt in $ZIP lacks CR LF line ends"
  log "zip content: OK"
fi
if [ "$TRY_INSTALLER" = 1 ]; then
  # Silent install and uninstall in this architecture's wine prefix.
  start_wineserver
  if [ "$ARCH" = x86_64 ] || [ ! -d "$WINEPREFIX/drive_c/windows/syswow64" ]; then
    pf="Program Files"
  else
    pf="Program Files (x86)"
  fi
  solvane="$WINEPREFIX/drive_c/$pf/Solvane"
  instdir="$solvane/TSIS Bridge"
  regkey="HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TSIS Bridge ($BITS-bit)"
  vendorkey="HKLM\\Software\\Solvane\\TSIS Bridge ($BITS-bit)"
  startmenu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Solvane/TSIS Bridge ($BITS-bit)"
  [ ! -e "$instdir" ] || die "$instdir exists before the installer ran; uninstall it first"
  solvane_before=0; [ -d "$solvane" ] && solvane_before=1
  # A settings file in the roaming application data folder must survive the uninstaller.
  appdata="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming"
  marker="$appdata/Solvane/TSIS/SVConfig.xml"; made_marker=0
  if [ -d "$appdata" ] && [ ! -e "$marker" ]; then
    mkdir -p "$(dirname "$marker")"; echo '<SVConfig/>' > "$marker"; made_marker=1
  fi
  cleanup_marker() {
    if [ "$made_marker" = 1 ]; then
      rm -f "$marker"; rmdir "$appdata/Solvane/TSIS" "$appdata/Solvane" 2>/dev/null || true
    fi
  }
  trap cleanup_marker EXIT

  wine "$EXE" /S </dev/null >&2 || die "the installer failed (exit status $?)"
  for f in tsisbridge.exe Qt6Core.dll Qt6Xml.dll README.txt Uninstall.exe; do
    [ -f "$instdir/$f" ] || die "the installer did not put $f into $instdir"
  done
  log "installed into C:\\$pf\\Solvane\\TSIS Bridge: $(cd "$instdir" && ls | tr '\n' ' ')"
  wine reg query "$regkey" /reg:32 </dev/null 2>/dev/null | tr -d '\r' | grep -E 'DisplayName|DisplayVersion|UninstallString' >&2 ||
    die "no uninstall entry $regkey"
  wine reg query "$vendorkey" /reg:32 </dev/null >/dev/null 2>&1 || die "no entry $vendorkey"
  [ -f "$startmenu/Uninstall.lnk" ] || die "no Uninstall shortcut in $startmenu"
  # The installed program starts with the DLLs beside it (status files go to a scratch folder).
  scratch="$(mktemp -d)"
  version="$(wine "$instdir/tsisbridge.exe" version "--path=Z:$scratch" </dev/null 2>/dev/null | tr -d '\r' | grep '^version' || true)"
  rm -rf "$scratch"
  [ -n "$version" ] || die "the installed tsisbridge.exe printed no version line"
  log "installed program: $(echo "$version" | cut -f1-5 | tr '\t' ' ')"

  # The uninstaller copies itself to %TEMP% and returns at once: wait for its work.
  wine "$instdir/Uninstall.exe" /S </dev/null >&2 || die "the uninstaller failed to start"
  for _ in $(seq 120); do [ -e "$instdir" ] || break; sleep 1; done
  [ ! -e "$instdir" ] || die "the uninstaller left $instdir: $(ls -A "$instdir" | tr '\n' ' ')"
  if [ "$solvane_before" = 0 ] && [ -e "$solvane" ]; then
    die "the uninstaller left the empty folder $solvane"
  fi
  for key in "$regkey" "$vendorkey"; do
    if wine reg query "$key" /reg:32 </dev/null >/dev/null 2>&1; then
      die "the uninstaller left the entry $key"
    fi
  done
  [ ! -e "$startmenu" ] || die "the uninstaller left $startmenu"
  if [ "$made_marker" = 1 ]; then
    [ -f "$marker" ] || die "the uninstaller removed %APPDATA%\\Solvane\\TSIS\\SVConfig.xml"
    log "uninstall kept %APPDATA%\\Solvane\\TSIS\\SVConfig.xml"
  fi
  cleanup_marker; trap - EXIT
  log "silent install and uninstall under wine: OK (program folder, start menu folder and registry entries removed)"
fi
if [ "$PACKAGE" = 1 ]; then
  took "package checks" $t
  log "package: $ZIP ($(stat -c %s "$ZIP") bytes)"
  log "package: $EXE ($(stat -c %s "$EXE") bytes)"
fi

log "times: $(IFS=';'; echo "${TIMES[*]}")"
echo "$BIN"
