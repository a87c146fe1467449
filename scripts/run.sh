#!/usr/bin/env bash
# Runs Calorix as a user would: the real Windows program under Wine, next to
# the stand-in hardware monitor installed in the prefix, on a virtual display
# (or on the user's own display when DISPLAY is set).
#
# First it pictures every window at 100 % and at 150 % display scale (96 and
# 144 dpi): build/screenshots/<dpi>/ gets options.png, dashboard.png,
# viewer.png, chart.png, chart-day.png (a day of made-up records),
# countdown.png, desktop.png and tray.png (enlarged). Then it
# runs Calorix at 96 dpi for N seconds more and pictures the desktop again.
#
# Usage: scripts/run.sh [--seconds N] [--pictures-only] [--docs]
#        (N = 0 runs until Ctrl-C; default 60)
# --docs takes the pictures only and copies a few of them into docs/, where
# the README shows them.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

seconds=60
pictures_only=0
docs=0
while [[ $# -gt 0 ]]; do
  case "$1" in
    --seconds) seconds="${2:?--seconds needs a number}"; shift 2 ;;
    --pictures-only) pictures_only=1; shift ;;
    --docs) pictures_only=1; docs=1; shift ;;
    *) echo "usage: $0 [--seconds N] [--pictures-only] [--docs]" >&2; exit 2 ;;
  esac
done

cmake --preset mingw >/dev/null
cmake --build --preset mingw -j "$(nproc)"

source scripts/wine/common.sh
# Room for the Wine desktop at 150 %.
CALORIX_XVFB_SCREEN=1536x1152 xvfb_ensure
template="$(wine_template_dir "$root/build/wine/demo")"
scripts/wine/prepare-prefix.sh "$template" "$(build_standin)"
shots="$root/build/screenshots"
driver="$root/build/mingw/tests/wine/demo_driver.exe"

# A fresh copy of the demo prefix at a display scale: a first run, no
# settings from an earlier one.
# The shell's desktop grows with the scale.
fresh_prefix() {  # <prefix> <dpi>
  wine_kill "$1" >/dev/null 2>&1 || true
  rm -rf "$1"
  wine_clone_prefix "$template" "$1"
  wine_set_dpi "$1" "$2" --grow-desktop
  wine_on_exit "wine_kill '$1'"
}

# Every window of one run at a display scale, then the countdown, whose
# cancel ends Calorix.
pictures_at() {  # <dpi>
  local dpi="$1" prefix="$root/build/wine/demo-$1" work out
  fresh_prefix "$prefix" "$dpi"
  work="$root/build/run/$dpi"
  out="$shots/$dpi"
  rm -rf "$work" "$out"
  mkdir -p "$work" "$out"
  local control
  control="$(wine_path "$work/viahm-control.txt")"
  echo "== pictures at $dpi dpi"
  (cd "$work" && WINEPREFIX="$prefix" wine "$driver" --start-monitor "$control" \
     --start-calorix "$(wine_path "$root/build/mingw/calorix.exe")" \
     --pictures "$(wine_path "$out")") || true
  import -window root -crop "$(wine_desktop_size "$dpi")+0+0" +repage "$out/desktop.png"
  # The tray sits at the bottom right of the desktop, in a taskbar that
  # grows with the scale.
  convert "$out/desktop.png" -gravity SouthEast -crop "$((160 * dpi / 96))x$((24 * dpi / 96))+0+0" \
    +repage -filter point -resize 400% "$out/tray.png"
  (cd "$work" && WINEPREFIX="$prefix" wine "$driver" --alarm "$control" \
     --pictures "$(wine_path "$out")") || true
  # A day of records as a chart, in a folder of its own.
  mkdir -p "$work/day"
  (cd "$work/day" && WINEPREFIX="$prefix" wine "$driver" --chart-day "$(wine_path "$out")" \
     --start-calorix "$(wine_path "$root/build/mingw/calorix.exe")") || true
  for bmp in "$out"/*.bmp; do
    [[ -e "$bmp" ]] || continue
    convert "$bmp" "${bmp%.bmp}.png"
    rm -f "$bmp"
  done
  wine_kill "$prefix"
  echo "pictures at $dpi dpi: $out"
}

pictures_at 144
pictures_at 96
# The tray pictures as the program holds them, each size enlarged six times
# (16, 20, 24 and 32 pixels: the tray at 100, 125, 150 and 200 %).
icon_sheet() {  # <output>
  local rows=() icon index images
  for icon in num45 num68 snowflake flame app; do
    images=()
    for index in 3 2 1 0; do
      images+=("(" "build/mingw/resources/$icon.ico[$index]" -background '#d4d0c8' -flatten
               -filter point -resize 600% -bordercolor '#d4d0c8' -border 12 ")")
    done
    rows+=("(" "${images[@]}" -background '#d4d0c8' -gravity South +append ")")
  done
  convert "${rows[@]}" -background '#d4d0c8' -gravity West -append "$1"
}

if [[ $docs -eq 1 ]]; then
  mkdir -p docs
  icon_sheet docs/tray-icons.png
  for dpi in 96 144; do
    for name in options dashboard viewer countdown; do
      cp "$shots/$dpi/$name.png" "docs/$name-$dpi.png"
    done
  done
  # Wine's tray at 150 % keeps leftovers of earlier pictures; the sheet
  # shows the larger sizes instead.
  cp "$shots/96/tray.png" docs/tray-96.png
  cp "$shots/96/chart-day.png" docs/chart-day-96.png
  echo "pictures for the README: docs/"
fi
[[ $pictures_only -eq 1 ]] && exit 0

# The main run: Calorix at 96 dpi as a user starts it, its files in build/run.
prefix="$root/build/wine/demo-main"
fresh_prefix "$prefix" 96
workdir="$root/build/run/main"
rm -rf "$workdir"
mkdir -p "$workdir"
(cd "$workdir" && WINEPREFIX="$prefix" wine "$root/build/mingw/calorix.exe") &
calorix=$!
(cd "$workdir" && WINEPREFIX="$prefix" wine "$driver") || true
import -window root -crop "$(wine_desktop_size 96)+0+0" +repage "$shots/desktop.png"
echo "Screenshot of the desktop: $shots/desktop.png"
if [[ "$seconds" -eq 0 ]]; then
  echo "Calorix runs on display $DISPLAY; Ctrl-C ends it."
  wait "$calorix" || true
else
  sleep "$seconds" || true
  import -window root -crop "$(wine_desktop_size 96)+0+0" +repage "$shots/desktop-later.png"
  echo "Screenshot after $seconds s more: $shots/desktop-later.png"
fi
