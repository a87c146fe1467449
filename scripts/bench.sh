#!/usr/bin/env bash
# Prints the benchmark figures: on the simulated desktop, and under Wine
# against the stand-in monitor. Figures to read, not pass/fail tests.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

cmake --preset linux >/dev/null && cmake --build --preset linux -j "$(nproc)" >/dev/null
cmake --preset mingw >/dev/null && cmake --build --preset mingw -j "$(nproc)" >/dev/null

echo "== simulated desktop"
build/linux/bench/bench_scrape
build/linux/bench/bench_app
build/linux/bench/bench_month
build/linux/bench/bench_chart

echo "== under Wine"
source scripts/wine/common.sh
xvfb_ensure --private
prefix="$(wine_template_dir "$root/build/wine/bench")"
scripts/wine/prepare-prefix.sh "$prefix" "$(build_standin)"
wine_on_exit "wine_kill '$prefix'"
wine_run "$prefix" build/mingw/bench/win32/bench_scrape_win32.exe

# The chart of 1,000,000 records (and of 100,000 with bad lines mixed in)
# in the real program: menu click to drawn, answers meanwhile, memory.
chart_work="$root/build/wine/bench-chart"
mkdir -p "$chart_work"
(cd "$chart_work" && CALORIX_EXE="$(wine_path "$root/build/mingw/calorix.exe")" \
   WINEPREFIX="$prefix" wine "$root/build/mingw/bench/win32/chart_open_win32.exe") || true
rm -rf "$chart_work"

# Processor time and peak memory over a minute of polling, against a floor
# program that only owns a tray icon and a timer, measured the same way.
seconds="${CALORIX_BENCH_SECONDS:-60}"
work="$root/build/wine/bench-work"
mkdir -p "$work"

measure() {  # <exe>: prints "<cpu ticks> <peak KiB>" after $seconds of running
  local exe="$1" pid=""
  (cd "$work" && WINEPREFIX="$prefix" wine "$exe" >/dev/null 2>&1 &) 2>/dev/null
  for _ in $(seq 100); do
    pid="$(pgrep -f -x "$exe" | head -n 1 || true)"
    [[ -n "$pid" ]] && break
    sleep 0.1
  done
  [[ -n "$pid" ]] || { echo "0 0"; return; }
  sleep "$seconds"
  local ticks peak
  ticks="$(awk '{print $14 + $15}' "/proc/$pid/stat")"
  peak="$(awk '/VmHWM/ {print $2}' "/proc/$pid/status")"
  kill "$pid" >/dev/null 2>&1 || true
  echo "$ticks $peak"
}

WINEPREFIX="$prefix" wine reg add 'HKCU\Software\Calorix\Startup' /v Version /d 44 /f >/dev/null
WINEPREFIX="$prefix" wine reg add 'HKCU\Software\Calorix\Startup' /v ChkDatRec /d 0 /f >/dev/null
read -r floor_ticks floor_peak < <(measure "$root/build/mingw/bench/win32/tray_floor.exe")
read -r calorix_ticks calorix_peak < <(measure "$root/build/mingw/calorix.exe")
hz="$(getconf CLK_TCK)"
echo "over $seconds s: calorix.exe $calorix_ticks ticks of processor time, peak $calorix_peak KiB;" \
     "the floor $floor_ticks ticks, peak $floor_peak KiB (ticks of 1/$hz s)"
awk -v ct="$calorix_ticks" -v ft="$floor_ticks" -v cp="$calorix_peak" -v fp="$floor_peak" 'BEGIN {
  printf "processor time: %.2f x the floor; peak memory: %.2f x the floor\n",
         (ct + 0.5) / (ft + 0.5), cp / (fp > 0 ? fp : 1) }'
echo "size of calorix.exe: $(stat -c %s "$root/build/mingw/calorix.exe") bytes"
