#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks to build, test and run
# Calorix (needs root, or sudo when it is there). Installed packages are
# left alone, so this is quick the second time.
set -euo pipefail

# Whether the kernel runs 32-bit x86 programs, tried with the smallest one:
# an ELF program for i386 whose only instructions are exit(0) (mov eax, 1;
# xor ebx, ebx; int 0x80). Some virtual machines and containers, kernels
# without IA-32 emulation and WSL 1 refuse it ("Exec format error").
host_runs_32bit() {
  local probe status=0
  probe="$(mktemp "${TMPDIR:-/tmp}/calorix-i386.XXXXXX")"
  {
    # ELF header: 32-bit, little-endian, executable for i386, entry
    # 0x08048054, one program header at offset 52.
    printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00'
    printf '\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00'
    printf '\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00'
    # One loadable segment: the whole file (93 bytes) at 0x08048000, r-x.
    printf '\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08'
    printf '\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00'
    printf '\xb8\x01\x00\x00\x00\x31\xdb\xcd\x80'
  } >"$probe"
  chmod +x "$probe"
  "$probe" 2>/dev/null || status=$?
  rm -f "$probe"
  return "$status"
}

# wine32 is Wine's 32-bit half: the 32-bit Calorix, the monitor (a 32-bit
# program) and the NSIS installer run on it, in the same 64-bit prefix. On a
# host that cannot run 32-bit programs it is left out (the packages' own
# set-up would run 32-bit programs), and the tests run 64-bit only.
packages=(cmake ninja-build g++ googletest g++-mingw-w64-x86-64 g++-mingw-w64-i686 mingw-w64
          g++-mingw-w64-i686-posix zip nsis
          clang libclang-rt-14-dev
          wine wine64 xvfb x11-utils xdotool imagemagick fonts-liberation fonts-wine)
with_32bit=1
if host_runs_32bit; then
  packages+=(wine32:i386)
else
  with_32bit=0
  echo "This host does not run 32-bit programs: Wine's 32-bit half (wine32:i386) is left out."
fi
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
    missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=()
[[ $(id -u) -ne 0 ]] && sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
if [[ $with_32bit -eq 1 ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${sudo[@]}" dpkg --add-architecture i386
fi
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq "${missing[@]}"
