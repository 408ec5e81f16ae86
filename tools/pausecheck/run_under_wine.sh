#!/bin/sh
# run_under_wine.sh [--width 32|64] TEMPLATE EXE [ARGS...]: runs a Windows test
# program in a fresh clone of the end-to-end tests' Wine prefix template of
# that width (32 by default), then stops that prefix's wineserver. The
# program's exit code is the script's.
set -eu
width=32
if [ "${1:-}" = "--width" ]; then
  width=$2
  shift 2
fi
template=${1:?usage: run_under_wine.sh [--width 32|64] TEMPLATE EXE [ARGS...]}
exe=${2:?usage: run_under_wine.sh [--width 32|64] TEMPLATE EXE [ARGS...]}
shift 2
if [ "$width" = 64 ]; then
  wine=${PIXLOR_WINE64:-/usr/lib/wine/wine64}
  echo "wine64: a 64-bit program in a 64-bit prefix under $wine, natively"
  export WINEARCH=win64
else
  # One line on how Wine's 32-bit processes run here (under an emulator a pause
  # can only be longer, never shorter).
  python3 "$(dirname "$0")/../../scripts/wine32.py" check
  wine=wine
  export WINEARCH=win32
fi
run=$(mktemp -d "${TMPDIR:-/tmp}/pixlor-wine-run.XXXXXX")
mkdir "$run/pfx" "$run/tmp"
cp -a "$template"/*.reg "$template/.update-timestamp" "$template/dosdevices" "$run/pfx/"
cp -al "$template/drive_c" "$run/pfx/drive_c"
export WINEPREFIX="$run/pfx" WINEDEBUG=-all TMPDIR="$run/tmp"
export WINEDLLOVERRIDES="mscoree,mshtml=,winemenubuilder.exe=d,winedbg.exe=d"
unset DISPLAY WAYLAND_DISPLAY
rc=0
"$wine" "$exe" "$@" || rc=$?
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
rm -rf "$run"
exit $rc
