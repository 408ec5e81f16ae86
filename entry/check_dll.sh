#!/bin/sh
# Checks a built Pixlor.dll: exactly the twelve undecorated exports, and
# imports from system DLLs only. Usage: check_dll.sh path/to/Pixlor.dll
set -eu
dll=${1:?usage: check_dll.sh Pixlor.dll}
objdump=${OBJDUMP:-i686-w64-mingw32-objdump}
dump=$("$objdump" -p "$dll")

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
echo "Pixlor.dll: twelve exports, system imports only"
