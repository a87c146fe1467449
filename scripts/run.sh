#!/usr/bin/env bash
# Runs Calorix as a user would: the real Windows program under Wine, next to
# the stand-in hardware monitor installed in the prefix, on a virtual display
# (or on the user's own display when DISPLAY is set). Saves screenshots of
# the desktop and prints where they are.
#
# Usage: scripts/run.sh [--seconds N]   (N = 0 runs until Ctrl-C; default 60)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

seconds=60
if [[ "${1:-}" == "--seconds" ]]; then
  seconds="${2:?--seconds needs a number}"
fi

cmake --preset mingw >/dev/null
cmake --build --preset mingw -j "$(nproc)"

source scripts/wine/common.sh
xvfb_ensure
prefix="$root/build/wine/demo"
scripts/wine/prepare-prefix.sh "$prefix" build/mingw/standin
wine_on_exit "wine_kill '$prefix'"

# Calorix's files (record file, shutdown log) go to its current directory.
workdir="$root/build/run"
shots="$root/build/screenshots"
mkdir -p "$workdir" "$shots"
(cd "$workdir" && WINEPREFIX="$prefix" wine "$root/build/mingw/calorix.exe") &
calorix=$!

sleep 8
import -window root "$shots/desktop.png"
echo "Screenshot of the desktop: $shots/desktop.png"

if [[ "$seconds" -eq 0 ]]; then
  echo "Calorix runs on display $DISPLAY; Ctrl-C ends it."
  wait "$calorix" || true
else
  sleep "$seconds" || true
  import -window root "$shots/desktop-later.png"
  echo "Screenshot after $seconds s: $shots/desktop-later.png"
fi
