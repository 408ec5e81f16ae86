#!/usr/bin/env bash
# Installs the Debian packages that the build, the tests and the demo need.
# Idempotent and non-interactive; does nothing when everything is present.
set -euo pipefail

packages=(
  cmake ninja-build g++ make pkg-config python3
  libgtest-dev libgmock-dev libbenchmark-dev
  libturbojpeg0-dev
  g++-mingw-w64-i686 binutils-mingw-w64-i686
  # The 64-bit plugin (the windows64 preset).
  g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
  clang libclang-rt-14-dev clang-format valgrind
  zip
  # The Windows plugins' end-to-end tests and `make demo WINDOWS=1|64`: 32-bit
  # Wine, and 64-bit Wine (wine64: the 64-bit DLL's loader and the wineserver,
  # native even where 32-bit code runs emulated).
  wine wine32:i386 wine64
)

missing=()
for p in "${packages[@]}"; do
  # An :i386 package is only reported as installed when asked with its suffix.
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

here=$(cd "$(dirname "$0")" && pwd)
if [ ${#missing[@]} -eq 0 ]; then
  # Where this machine runs no 32-bit code, Wine's 32-bit processes need qemu-i386.
  exec python3 "$here/wine32.py" setup
fi

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${sudo_cmd[@]}" dpkg --add-architecture i386
fi
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
python3 "$here/wine32.py" setup
