#!/bin/sh
# run_under_wine.sh TEMPLATE EXE [ARGS...]: runs a Windows test program in a
# fresh clone of the end-to-end tests' Wine prefix template, then stops that
# prefix's wineserver. The program's exit code is the script's.
set -eu
template=${1:?usage: run_under_wine.sh TEMPLATE EXE [ARGS...]}
exe=${2:?usage: run_under_wine.sh TEMPLATE EXE [ARGS...]}
shift 2
# One line on how Wine's 32-bit processes run here (under an emulator a pause
# can only be longer, never shorter).
python3 "$(dirname "$0")/../../scripts/wine32.py" check
run=$(mktemp -d "${TMPDIR:-/tmp}/pixlor-wine-run.XXXXXX")
mkdir "$run/pfx" "$run/tmp"
cp -a "$template"/*.reg "$template/.update-timestamp" "$template/dosdevices" "$run/pfx/"
cp -al "$template/drive_c" "$run/pfx/drive_c"
export WINEPREFIX="$run/pfx" WINEARCH=win32 WINEDEBUG=-all TMPDIR="$run/tmp"
export WINEDLLOVERRIDES="mscoree,mshtml=,winemenubuilder.exe=d,winedbg.exe=d"
unset DISPLAY WAYLAND_DISPLAY
rc=0
wine "$exe" "$@" || rc=$?
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
rm -rf "$run"
exit $rc
