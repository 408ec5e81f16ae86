#!/bin/sh
# mkprefix.sh DIR [32|64]: a headless Wine prefix for the end-to-end tests,
# 32-bit (the default) or 64-bit; the two are separate templates. COM1..COM8
# map to DIR/ttyCOMn (relative links, so clones can move), no graphics driver
# window, and neither winedbg (a crash would hang headless) nor
# winemenubuilder.
set -e
T=$1
width=${2:-32}
[ -n "$T" ] || { echo "usage: mkprefix.sh DIR [32|64]" >&2; exit 2; }
here=$(dirname "$0")
case $width in
  32)
    # One line on how Wine's 32-bit processes run here; none at all fails here, once.
    python3 "$here/../../scripts/wine32.py" check
    export WINEARCH=win32
    wine=wine
    ;;
  64)
    # 64-bit Wine's own loader: never goes through the 32-bit one.
    wine=${PIXLOR_WINE64:-/usr/lib/wine/wine64}
    if [ ! -x "$wine" ]; then
      echo "wine64: $wine is missing (the Debian package wine64, scripts/install-deps.sh)"
      exit 1
    fi
    echo "wine64: 64-bit Wine runs natively ($wine; no 32-bit support needed)"
    export WINEARCH=win64
    ;;
  *) echo "mkprefix.sh: the width is 32 or 64, not $width" >&2; exit 2 ;;
esac
export WINEPREFIX="$T" WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=,winemenubuilder.exe=d,winedbg.exe=d"
unset DISPLAY WAYLAND_DISPLAY
# The wineserver socket lives under TMPDIR; keep it private to this prefix.
mkdir -p "$T.tmp"
export TMPDIR="$T.tmp"
rm -rf "$T"
"$wine" wineboot -i
for n in 1 2 3 4 5 6 7 8; do
  "$wine" reg add 'HKLM\Software\Wine\Ports' /v COM$n /t REG_SZ /d ../ttyCOM$n /f >/dev/null
done
"$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /t REG_SZ /d null /f >/dev/null
for d in winemenubuilder.exe winedbg.exe; do
  "$wine" reg add 'HKCU\Software\Wine\DllOverrides' /v $d /t REG_SZ /d '' /f >/dev/null
done
wineserver -w
rm -rf "$T.tmp"
