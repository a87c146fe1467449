#!/usr/bin/env bash
# The soak benchmark: the real calorix.exe against the stand-in monitor under
# Wine for ten minutes, recording at ".1" with the dashboard open, printing
# its working set and object counts once a minute. Figures to read, not a
# test. Usage: scripts/soak.sh [SECONDS] (or CALORIX_SOAK_SECONDS).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
export CALORIX_SOAK_SECONDS="${1:-${CALORIX_SOAK_SECONDS:-600}}"

cmake --preset mingw >/dev/null && cmake --build --preset mingw -j "${CALORIX_JOBS:-2}" >/dev/null

source scripts/wine/common.sh
xvfb_ensure --private
# A prefix and copies of the programs of its own, so a build or a test run
# started meanwhile changes nothing under it.
run="$root/build/wine/soak-$$"
wine_on_exit "wine_kill '$run/prefix'; rm -rf '$run'"
mkdir -p "$run/bin" "$run/work"
cp build/mingw/calorix.exe build/mingw/bench/win32/soak_win32.exe "$run/bin/"
scripts/wine/prepare-prefix.sh "$run/prefix" "$(build_standin)" >/dev/null
(cd "$run/work" && CALORIX_EXE="$(wine_path "$run/bin/calorix.exe")" \
   WINEPREFIX="$run/prefix" wine "$run/bin/soak_win32.exe")
