#!/usr/bin/env bash
# Makes the Calorix setup program with NSIS (makensis) from the two builds
# of calorix.exe and prints its path (in the out folder as given):
#   scripts/make-installer.sh [--stub TARGET] <64-bit calorix.exe> <32-bit calorix.exe> <version> <out folder>
# writes <out folder>/Calorix-<version>-setup.exe. The same inputs give the
# same bytes (see packaging/calorix.nsi). The setup is a 32-bit program
# (NSIS's x86-unicode stub) unless --stub names another NSIS target:
# amd64-unicode makes a 64-bit one, for testing where 32-bit programs
# cannot run.
set -euo pipefail
usage="usage: $0 [--stub TARGET] <64-bit calorix.exe> <32-bit calorix.exe> <version> <out folder>"
stub=x86-unicode
if [[ "${1:-}" == --stub ]]; then
  stub="${2:?$usage}"
  shift 2
fi
if [[ $# -ne 4 ]]; then
  echo "$usage" >&2
  exit 2
fi
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
absolute() { echo "$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"; }
exe64="$(absolute "$1")"
exe32="$(absolute "$2")"
version="$3"
mkdir -p "$4"
name="Calorix-$version-setup.exe"
out="$(absolute "$4")/$name"
# The program's own icon, as the build that made the 64-bit program drew it.
icon="$(dirname "$exe64")/resources/app.ico"
for file in "$exe64" "$exe32" "$icon"; do
  [[ -f "$file" ]] || { echo "make-installer.sh: no $file" >&2; exit 1; }
done

# The license with Windows line ends, for the license page and the install.
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
sed 's/\r$//; s/$/\r/' "$root/LICENSE" >"$work/LICENSE"

makensis -V2 -INPUTCHARSET UTF8 "-XTarget $stub" \
  "-DVERSION=$version" \
  "-DCALORIX64=$exe64" "-DCALORIX32=$exe32" \
  "-DLICENSE=$work/LICENSE" "-DICON=$icon" "-DOUTFILE=$out" \
  "$root/packaging/calorix.nsi" >&2
echo "${4%/}/$name"
