#!/bin/sh
# mkprefix.sh DIR: a headless 32-bit Wine prefix for the end-to-end tests.
# COM1..COM8 map to DIR/ttyCOMn (relative links, so clones can move), no
# graphics driver window, and neither winedbg (a crash would hang headless)
# nor winemenubuilder.
set -e
T=$1
[ -n "$T" ] || { echo "usage: mkprefix.sh DIR" >&2; exit 2; }
# One line on how Wine's 32-bit processes run here; none at all fails here, once.
python3 "$(dirname "$0")/../../scripts/wine32.py" check
export WINEPREFIX="$T" WINEARCH=win32 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=,winemenubuilder.exe=d,winedbg.exe=d"
unset DISPLAY WAYLAND_DISPLAY
# The wineserver socket lives under TMPDIR; keep it private to this prefix.
mkdir -p "$T.tmp"
export TMPDIR="$T.tmp"
rm -rf "$T"
wineboot -i
for n in 1 2 3 4 5 6 7 8; do
  wine reg add 'HKLM\Software\Wine\Ports' /v COM$n /t REG_SZ /d ../ttyCOM$n /f >/dev/null
done
wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /t REG_SZ /d null /f >/dev/null
for d in winemenubuilder.exe winedbg.exe; do
  wine reg add 'HKCU\Software\Wine\DllOverrides' /v $d /t REG_SZ /d '' /f >/dev/null
done
wineserver -w
rm -rf "$T.tmp"
