#!/bin/sh
# make-dist.sh x86|x64 BUILT_PLUGIN_DIR DIST_DIR: the plugin folder as a user
# installs it (DLL, language and help files, an install note) zipped as
# DIST_DIR/Pixlor-<machine>.zip, its folder kept as DIST_DIR/<machine>/Pixlor.
set -eu
machine=${1:?usage: make-dist.sh x86|x64 BUILT_PLUGIN_DIR DIST_DIR}
built=${2:?usage: make-dist.sh x86|x64 BUILT_PLUGIN_DIR DIST_DIR}
dist=${3:?usage: make-dist.sh x86|x64 BUILT_PLUGIN_DIR DIST_DIR}
case $machine in
  x86) bits=32; other=x64 ;;
  x64) bits=64; other=x86 ;;
  *) echo "make-dist.sh: the machine type is x86 or x64, not $machine" >&2; exit 2 ;;
esac
here=$(cd "$(dirname "$0")" && pwd)
"$here/../entry/check_dll.sh" "$built/Pixlor.dll" "$machine" >/dev/null
folder=$dist/$machine/Pixlor
mkdir -p "$folder"
cp "$built/Pixlor.dll" "$built"/*.lng "$built"/*.hlf "$folder/"
# CRLF: the note is read on Windows.
printf '%s\r\n' \
  "Pixlor 1.2 - digital camera panel for FAR Manager (1.70 plugins), $machine" "" \
  "This Pixlor.dll is for a $bits-bit FAR Manager. FAR names its own machine type," \
  "x86 or x64, at the end of the version line it shows on start: a FAR whose line" \
  "ends in $machine takes this folder (Pixlor-$machine.zip), one whose line ends in" \
  "$other takes Pixlor-$other.zip. A FAR skips a plugin of the other machine type" \
  "without a word. FAR 1.70 is x86 only; FAR 3 runs this plugin through its" \
  "support for 1.x (OEM) plugins, which is on by default." "" \
  "Installation: copy this Pixlor folder into the Plugins folder of FAR Manager" \
  "and restart FAR. Open the camera from the disk menu (Alt-F1 or Alt-F2);" \
  "set the serial port and speed in Options, Plugins configuration." \
  > "$folder/Install.txt"
(cd "$dist/$machine" && zip -qr "../Pixlor-$machine.zip" Pixlor)
echo "$dist/Pixlor-$machine.zip: the $bits-bit Pixlor.dll for an $machine FAR"
