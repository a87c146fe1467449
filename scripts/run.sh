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

# Every demo is a first run: no settings from an earlier one.
WINEPREFIX="$prefix" wine reg delete 'HKCU\Software\Calorix' /f >/dev/null 2>&1 || true

# Calorix's files (record file, shutdown log) go to its current directory.
workdir="$root/build/run"
shots="$root/build/screenshots"
mkdir -p "$workdir" "$shots"
rm -f "$workdir/Calorix_Rec.txt" "$workdir/Calorix_ShutDown.txt"
(cd "$workdir" && WINEPREFIX="$prefix" wine "$root/build/mingw/calorix.exe") &
calorix=$!

# Open the options window, the dashboard and the data viewer, with
# recording on, so the screenshot shows every window.
(cd "$workdir" && WINEPREFIX="$prefix" wine "$root/build/mingw/tests/wine/demo_driver.exe") || true
import -window root "$shots/desktop.png"
# The tray sits at the bottom right of the 1024x768 desktop.
convert "$shots/desktop.png" -crop 160x24+864+744 -scale 400% "$shots/tray.png"
echo "Screenshot of the desktop: $shots/desktop.png"
echo "The tray, enlarged:        $shots/tray.png"

if [[ "$seconds" -eq 0 ]]; then
  echo "Calorix runs on display $DISPLAY; Ctrl-C ends it."
  wait "$calorix" || true
else
  sleep "$seconds" || true
  import -window root "$shots/desktop-later.png"
  echo "Screenshot after $seconds s more: $shots/desktop-later.png"
fi
