#!/usr/bin/env bash
# The Wine part of the test command: builds the Windows program and runs the
# cross-compiled suites under Wine on a virtual display, each in a fresh
# copy of a prefix where the stand-in monitor is installed.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
jobs="${CALORIX_JOBS:-$(nproc)}"

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
# End to end: the real program driven from outside, its files in a folder
# of their own.
run_e2e() {  # <prefix name> <gtest filter>
  local prefix="$root/build/wine/$1" work="$root/build/wine/$1-work"
  rm -rf "$prefix" "$work"
  wine_clone_prefix "$template" "$prefix"
  mkdir -p "$work"
  (cd "$work" && CALORIX_EXE="$(wine_path "$root/build/mingw/calorix.exe")" \
     timeout 300 env WINEPREFIX="$prefix" wine "$root/build/mingw/tests/wine/e2e_tests.exe" \
     --gtest_brief=1 --gtest_filter="$2")
}
echo "-- e2e_tests"
if ! run_e2e e2e 'EndToEnd.*'; then
  echo "FAILED: end-to-end tests under Wine"
  failed=1
fi
wine_kill "$root/build/wine/e2e"

# The power-off and logging off end the prefix's whole session, the test
# included: the trigger runs in one session and the check in the next.
run_across_sessions() {  # <prefix name> <test suite>
  local prefix="$root/build/wine/$1"
  echo "-- $2"
  run_e2e "$1" "$2.Trigger" >/dev/null 2>&1 || true
  WINEPREFIX="$prefix" wineserver -w
  if ! (cd "$prefix-work" && CALORIX_EXE=unused \
        env WINEPREFIX="$prefix" wine "$root/build/mingw/tests/wine/e2e_tests.exe" \
        --gtest_brief=1 --gtest_filter="$2.Verify"); then
    echo "FAILED: $2 under Wine"
    failed=1
  fi
  wine_kill "$prefix"
}
run_across_sessions poweroff PowerOff
run_across_sessions logoff LogOff
rm -rf "$root/build/wine/e2e" "$root/build/wine/poweroff" "$root/build/wine/logoff"

if [[ $failed -ne 0 ]]; then
  exit 1
fi
echo "== Wine tests passed"
