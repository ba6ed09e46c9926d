#!/usr/bin/env bash
# Installs what building and testing Duvarin needs on Debian 12. Does nothing
# when everything is present, so both make targets can call it every time.
set -euo pipefail

packages=(cmake g++ make libgtest-dev googletest libbenchmark-dev
          g++-mingw-w64-i686 binutils-mingw-w64-i686
          wine wine32:i386 xvfb x11-apps fonts-wqy-zenhei fonts-wqy-microhei python3 zip unzip
          clang libclang-rt-14-dev imagemagick)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "setup: installing ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${sudo_cmd[@]}" dpkg --add-architecture i386
fi
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
