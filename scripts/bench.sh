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

echo "== under Wine"
source scripts/wine/common.sh
xvfb_ensure --private
prefix="$root/build/wine/bench"
scripts/wine/prepare-prefix.sh "$prefix" build/mingw/standin
wine_on_exit "wine_kill '$prefix'"
wine_run "$prefix" build/mingw/bench/win32/bench_scrape_win32.exe
