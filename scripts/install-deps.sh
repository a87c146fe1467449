#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks to build, test and run
# Calorix (needs root, or sudo when it is there). Installed packages are
# left alone, so this is quick the second time.
set -euo pipefail

packages=(cmake ninja-build g++ googletest g++-mingw-w64-x86-64 g++-mingw-w64-i686 mingw-w64
          g++-mingw-w64-i686-posix zip nsis
          clang libclang-rt-14-dev
          wine wine64 xvfb x11-utils xdotool imagemagick fonts-liberation fonts-wine)
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
    missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=()
[[ $(id -u) -ne 0 ]] && sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq "${missing[@]}"
