#!/usr/bin/env bash
# make demo: the camera emulator with its sample pictures on a pseudo-terminal
# as COM2, the plugin in the test host, the panel listed, everything selected
# and copied with F5 into ./demo-photos. WINDOWS=1: the real 32-bit DLL under
# Wine; WINDOWS=64: the real 64-bit DLL under 64-bit Wine (no 32-bit support
# needed).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
windows=${WINDOWS:-}
case $windows in
  ""|0) windows= ;;
  64) preset=windows64; width=64 ;;
  *) preset=windows; width=32 ;;
esac
demo=$root/build/demo
camsim_pid=
wine_env=()

cleanup() {
  if [ -n "$windows" ] && [ ${#wine_env[@]} -gt 0 ]; then
    env "${wine_env[@]}" wineserver -k 2>/dev/null || true
  fi
  if [ -n "$camsim_pid" ]; then
    kill "$camsim_pid" 2>/dev/null || true
    wait "$camsim_pid" 2>/dev/null || true
  fi
}
trap cleanup EXIT INT TERM

say() { printf '\n\033[1m== %s\033[0m\n' "$*"; }

say "Building what the demo needs"
"$root/scripts/install-deps.sh"
cd "$root"
cmake --preset native >/dev/null
cmake --build --preset native -j2 --target pixlor-camsim pixlor-host pixlor_plugin >/dev/null
if [ -n "$windows" ]; then
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j2 --target pixlor-host pixlor_plugin >/dev/null
fi

rm -rf "$demo"
mkdir -p "$demo/tmp" "$demo/dev"
cat >"$demo/demo.txt" <<'SCRIPT'
echo "== The plugin's menus"
load
echo "== The disk menu entry: open the panel on the camera"
open
list title
echo "== Inside the first folder"
cd 02-05-17
list
cd ..
echo "== Everything selected, F5, the proposal changed to ./demo-photos"
select all
edit 2 ./demo-photos
reply ok
key F5
close
SCRIPT

camsim=$root/build/native/tools/camsim/pixlor-camsim
if [ -n "$windows" ]; then
  if [ "$width" = 64 ]; then
    wine=/usr/lib/wine/wine64
    arch=win64
    template=$root/build/wine64-demo-template
    echo "wine64: the 64-bit Pixlor.dll in a 64-bit prefix under $wine, natively"
  else
    # One line on how Wine's 32-bit processes run on this machine.
    python3 "$root/scripts/wine32.py" check
    wine=wine
    arch=win32
    template=$root/build/wine-demo-template
  fi
  if [ ! -f "$template/system.reg" ]; then
    say "Making a $width-bit Wine prefix (once)"
    "$root/tools/e2e/mkprefix.sh" "$template" "$width"
  fi
  pfx=$demo/pfx
  mkdir -p "$pfx"
  cp -a "$template"/*.reg "$template/.update-timestamp" "$template/dosdevices" "$pfx/"
  cp -al "$template/drive_c" "$pfx/drive_c"
  mkdir -p "$pfx/drive_c/Pixlor"
  cp "$root"/build/$preset/Pixlor/{Pixlor.dll,pixlor-host.exe,*.lng,*.hlf} "$pfx/drive_c/Pixlor/"
  link=$pfx/ttyCOM2
  wine_env=(WINEPREFIX="$pfx" WINEARCH=$arch WINEDEBUG=-all TMPDIR="$demo/tmp" TZ=UTC
            WINEDLLOVERRIDES="mscoree,mshtml=,winemenubuilder.exe=d,winedbg.exe=d")
  host=(env -u DISPLAY "${wine_env[@]}" "$wine" "$pfx/drive_c/Pixlor/pixlor-host.exe"
        --serialcomm COM2 demo.txt)
else
  link=$demo/dev/com2
  host=(env TZ=UTC PIXLOR_DEVICES="$demo/dev" PIXLOR_REGISTRY="$demo/registry.reg"
        "$root/build/native/Pixlor/pixlor-host" --plugin "$root/build/native/Pixlor/Pixlor.so"
        demo.txt)
fi

say "The camera: the emulator's sample pictures on a pseudo-terminal as COM2"
"$camsim" --link "$link" >"$demo/camsim.out" 2>&1 &
camsim_pid=$!
for _ in $(seq 100); do
  [ -s "$demo/camsim.out" ] && break
  sleep 0.1
done
echo "camera ready on $(head -n1 "$demo/camsim.out")"

say "The test host plays the file manager${windows:+ (the $width-bit Pixlor.dll under Wine)}"
cd "$demo"
# The destination must exist (the plugin makes only the dated folders below it);
# each demo starts from an empty one so that the numbering starts at 001.
rm -rf "$demo/demo-photos"
mkdir -p "$demo/demo-photos"
set +e
timeout 120 "${host[@]}" </dev/null | tee "$demo/host.out"
status=${PIPESTATUS[0]}
set -e
cleanup
camsim_pid=
wine_env=()

if grep -q "OpenPlugin -> INVALID_HANDLE_VALUE" "$demo/host.out"; then
  say "Not there yet"
  echo "The plugin loads and shows its menus, but its panel is not built yet:"
  echo "the listing, F5 and the copied pictures come with it."
  exit 0
fi
if [ "$status" -ne 0 ]; then
  echo "The demo failed (host exit $status)." >&2
  exit 1
fi

say "The copied pictures in $demo/demo-photos"
python3 - "$demo/demo-photos" <<'PY'
import os, sys, time
top = sys.argv[1]
count = 0
for root, dirs, files in sorted(os.walk(top)):
    dirs.sort()
    depth = os.path.relpath(root, top).count(os.sep) + (root != top)
    if root != top:
        print("  " * (depth - 1) + os.path.basename(root) + "/")
    for name in sorted(files):
        path = os.path.join(root, name)
        data = open(path, "rb").read()
        kind = "JPEG" if data[:2] == b"\xff\xd8" and data.rstrip(b"\0")[-2:] == b"\xff\xd9" else "not a JPEG"
        stamp = time.strftime("%Y-%m-%d %H:%M:%S", time.gmtime(os.stat(path).st_mtime))
        print(f"{'  ' * depth}{name:28} {len(data):8} bytes  {stamp}  {kind}")
        count += 1
print(f"{count} files")
sys.exit(0 if count else 1)
PY
