#!/usr/bin/env bash
# Builds calorix.exe for 64-bit and 32-bit Windows from scratch, in build
# folders of its own, and writes what a Windows user downloads into dist/:
#   Calorix-<version>-win64.zip, Calorix-<version>-win32.zip,
#   Calorix-<version>-setup.exe, SHA256SUMS
# Each zip holds calorix.exe, README.txt and LICENSE; the setup installs the
# 64-bit or the 32-bit calorix.exe, as Windows is, with LICENSE. The same
# commit gives the same bytes: the programs are built reproducibly, the zips
# list their files in a fixed order with the commit's time and no extra
# fields, and the setup stores no file times.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
jobs="${CALORIX_JOBS:-$(nproc)}"
# Every file in the zips gets this time: SOURCE_DATE_EPOCH when given, else
# the time of the commit checked out. Zip times are local, so UTC it is.
stamp="${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}"
export TZ=UTC

# <preset> <build folder>: a clean build of the program alone.
build_program() {
  rm -rf "$2"
  cmake --preset "$1" -B "$2" >/dev/null
  cmake --build "$2" -j "$jobs" --target calorix
}

# The version, as CMake read it from the top CMakeLists.txt.
project_version() {  # <build folder>
  sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$1/CMakeCache.txt"
}

# Windows text: CRLF line ends.
crlf() {  # <from> <to>
  sed 's/\r$//; s/$/\r/' "$1" >"$2"
}

# <arch name> <bits> <build folder> <version>
make_zip() {
  local arch="$1" bits="$2" build="$3" version="$4"
  local stage="build/package/stage-$arch" title
  rm -rf "$stage"
  mkdir -p "$stage"
  cp "$build/calorix.exe" "$stage/calorix.exe"
  title="Calorix $version for $bits-bit Windows"
  { echo "$title"; echo "${title//?/=}"; echo; cat packaging/README.txt; } >"$stage/README.unix"
  crlf "$stage/README.unix" "$stage/README.txt"
  rm "$stage/README.unix"
  crlf LICENSE "$stage/LICENSE"
  chmod 644 "$stage"/*
  touch -d "@$stamp" "$stage"/*
  local zip="dist/Calorix-$version-$arch.zip"
  rm -f "$zip"
  # -X: no extra fields (Unix owners and times), -D: no folder entries.
  (cd "$stage" && zip -X -D -q "$root/$zip" calorix.exe README.txt LICENSE)
  echo "$zip"
}

echo "== 64-bit build"
build_program mingw build/package/win64
echo "== 32-bit build"
build_program mingw32 build/package/win32
version="$(project_version build/package/win64)"
[[ -n "$version" ]] || { echo "package.sh: no project version in the CMake cache" >&2; exit 1; }

rm -rf dist
mkdir -p dist
make_zip win64 64 build/package/win64 "$version"
make_zip win32 32 build/package/win32 "$version"
scripts/make-installer.sh build/package/win64/calorix.exe build/package/win32/calorix.exe \
  "$version" dist
(cd dist && sha256sum "Calorix-$version-win64.zip" "Calorix-$version-win32.zip" \
   "Calorix-$version-setup.exe" >SHA256SUMS)
echo "== dist/ (version $version)"
cat dist/SHA256SUMS
