#!/usr/bin/env bash
# Makes the Calorix setup program with NSIS (makensis) from the two builds
# of calorix.exe and prints its path (in the out folder as given):
#   scripts/make-installer.sh <64-bit calorix.exe> <32-bit calorix.exe> <version> <out folder>
# writes <out folder>/Calorix-<version>-setup.exe. The same inputs give the
# same bytes (see packaging/calorix.nsi).
set -euo pipefail
if [[ $# -ne 4 ]]; then
  echo "usage: $0 <64-bit calorix.exe> <32-bit calorix.exe> <version> <out folder>" >&2
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

makensis -V2 -INPUTCHARSET UTF8 \
  "-DVERSION=$version" \
  "-DCALORIX64=$exe64" "-DCALORIX32=$exe32" \
  "-DLICENSE=$work/LICENSE" "-DICON=$icon" "-DOUTFILE=$out" \
  "$root/packaging/calorix.nsi" >&2
echo "${4%/}/$name"
