#!/usr/bin/env bash
# Builds both builds and runs every test: the native suites on the simulated
# desktop, then the cross-compiled suites under Wine on a virtual display,
# each in a fresh copy of a prefix where the stand-in monitor is installed.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

jobs="${CALORIX_JOBS:-$(nproc)}"

echo "== native build and tests"
cmake --preset linux >/dev/null
cmake --build --preset linux -j "$jobs"
ctest --preset linux -j "$jobs"

echo "== Windows build"
cmake --preset mingw >/dev/null
cmake --build --preset mingw -j "$jobs"

echo "== tests under Wine"
source scripts/wine/common.sh
xvfb_ensure --private
template="$root/build/wine/template"
scripts/wine/prepare-prefix.sh "$template" build/mingw/standin

wine_tests=(
  build/mingw/tests/contract/win32/contract_tests_win32.exe
  build/mingw/tests/wine/monitor_wine_tests.exe
)
failed=0
for exe in "${wine_tests[@]}"; do
  name="$(basename "$exe" .exe)"
  prefix="$root/build/wine/run-$name"
  rm -rf "$prefix"
  wine_clone_prefix "$template" "$prefix"
  echo "-- $name"
  if ! wine_run "$prefix" "$exe" --gtest_brief=1; then
    echo "FAILED: $name under Wine"
    failed=1
  fi
  wine_kill "$prefix"
  rm -rf "$prefix"
done
if [[ $failed -ne 0 ]]; then
  exit 1
fi
echo "== all tests passed"
