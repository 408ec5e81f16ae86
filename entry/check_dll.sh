#!/bin/sh
# Checks a built Pixlor.dll: its machine type (x86: PE32 for i386, x64: PE32+
# for x86-64), exactly the twelve undecorated exports, imports from system
# DLLs only, and the version resource of entry/Pixlor.rc.
# Usage: check_dll.sh path/to/Pixlor.dll [x86|x64]   (OBJDUMP, WINDRES: the
# toolchain's tools; by default those of the machine type)
set -eu
dll=${1:?usage: check_dll.sh Pixlor.dll [x86|x64]}
machine=${2:-x86}
case $machine in
  x86) format=pei-i386; magic='(PE32)'; triple=i686-w64-mingw32 ;;
  x64) format=pei-x86-64; magic='(PE32+)'; triple=x86_64-w64-mingw32 ;;
  *) echo "check_dll.sh: the machine type is x86 or x64, not $machine" >&2; exit 2 ;;
esac
objdump=${OBJDUMP:-$triple-objdump}
windres=${WINDRES:-$triple-windres}
[ -f "$dll" ] || { echo "$dll is missing (the $machine Windows build)"; exit 1; }
dump=$("$objdump" -p "$dll" 2>&1) || {
  echo "$dll is not an $machine DLL: $(printf '%s\n' "$dump" | head -n 1)"; exit 1; }

# A host loads only a plugin of its own machine type.
found=$(printf '%s\n' "$dump" | sed -n 's/^.*file format \([^ ]*\)$/\1/p' | head -n 1)
if [ "$found" != "$format" ] || ! printf '%s\n' "$dump" | grep -q "^Magic.*$magic"; then
  echo "$dll is not an $machine DLL: file format $found, $(printf '%s\n' "$dump" | grep '^Magic')"
  exit 1
fi

expected="ClosePlugin Configure FreeFindData GetFiles GetFindData GetMinFarVersion
GetOpenPluginInfo GetPluginInfo OpenPlugin ProcessKey SetDirectory SetStartupInfo"
expected=$(printf '%s\n' $expected | sort)

# Export name table lines look like "\t[   0] +base[   1] 0000 ClosePlugin".
exported=$(printf '%s\n' "$dump" |
  sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
  sed -n 's/^.*\] *\([^ ]*\)$/\1/p' | grep -v 'Table' | sort)
if [ "$exported" != "$expected" ]; then
  echo "unexpected export table:"; printf '%s\n' "$exported"; exit 1
fi

bad=0
for name in $(printf '%s\n' "$dump" | sed -n 's/^\tDLL Name: //p'); do
  case $(printf '%s' "$name" | tr '[:lower:]' '[:upper:]') in
    KERNEL32.DLL|USER32.DLL|ADVAPI32.DLL|MSVCRT.DLL|NTDLL.DLL|SHELL32.DLL|GDI32.DLL) ;;
    API-MS-WIN-*) ;;
    *) echo "imports a non-system DLL: $name"; bad=1 ;;
  esac
done
[ $bad -eq 0 ] || exit 1

# The version the host and Explorer show: the one the resource script declares.
rc=$(dirname "$0")/Pixlor.rc
declared=$(sed -n 's/^FILEVERSION *//p' "$rc")
resources=$("$windres" -i "$dll" -O rc 2>/dev/null || true)
if ! printf '%s\n' "$resources" | grep -q "^ *FILEVERSION $declared\$" ||
   ! printf '%s\n' "$resources" | grep -q '"OriginalFilename", "Pixlor.dll"'; then
  echo "no version resource $declared (entry/Pixlor.rc) in $dll"; exit 1
fi
echo "Pixlor.dll ($machine, $format): twelve exports, system imports only, version $declared"
