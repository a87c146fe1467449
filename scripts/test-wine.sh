#!/usr/bin/env bash
# The Wine part of the test command: builds the Windows program and runs the
# cross-compiled suites under Wine on a virtual display, each in a fresh
# copy of a prefix where the stand-in monitor is installed.
#
# Each run works in a folder of its own with copies of the programs under
# test, so runs side by side, or a build meanwhile, do not disturb it. Every
# failing suite is named on a line starting with "FAILED: ", and every part
# left out on a line starting with "SKIPPED: ".
#
# On a host that cannot run 32-bit programs (or with CALORIX_HOST_32BIT=0)
# the stand-in monitor is a 64-bit program installed where the 32-bit one
# goes, the setup is made with NSIS's 64-bit stub, and the 32-bit
# calorix.exe and the setup on 32-bit Windows are skipped.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
jobs="${CALORIX_JOBS:-$(nproc)}"
source scripts/stages.sh
source scripts/wine/common.sh
wine_on_exit stages_finish
no32="this host does not run 32-bit programs"
[[ "${CALORIX_HOST_32BIT:-}" == 0 ]] && no32="32-bit programs are off (CALORIX_HOST_32BIT=0)"

stage "Windows build"
cmake --preset mingw >/dev/null
cmake --build --preset mingw -j "$jobs"
# The 32-bit program, and the stand-in monitor, which is a 32-bit program
# as the monitor is. Only these two targets: the tests drive the programs
# from outside, so the 64-bit test programs serve both builds. The 32-bit
# program is built on any host: the setup holds it.
stage "Windows build, 32-bit (calorix.exe and viahm.exe)"
cmake --preset mingw32 >/dev/null
cmake --build --preset mingw32 -j "$jobs" --target calorix viahm
standin=build/mingw32/standin
wine_runs_32bit || standin=build/mingw/standin
failed=0
# Both programs are stripped as they ship, with only a link to their debug
# information, which stays in the build.
for exe in build/mingw/calorix.exe build/mingw32/calorix.exe; do
  if x86_64-w64-mingw32-objdump -h "$exe" | grep -q ' \.debug_'; then
    echo "FAILED: $exe carries debug information"
    failed=1
  fi
done
# Each program imports only what its oldest Windows has: XP SP3 for the
# 32-bit program, Vista for the 64-bit one.
scripts/check-imports.sh build/mingw32/calorix.exe packaging/imports-xp-sp3.txt || failed=1
scripts/check-imports.sh build/mingw/calorix.exe packaging/imports-xp-sp3.txt \
  packaging/imports-vista.txt || failed=1

stage "Wine prefix with the stand-in monitor ($(pe_machine "$standin/viahm.exe" |
  sed 's/^014c$/32-bit/; s/^8664$/64-bit/'))"
xvfb_ensure --private
mkdir -p "$root/build/wine"
template="$(wine_template_dir "$root/build/wine/template")"
# One run at a time makes or updates the shared template prefix.
(
  flock -w 900 9
  scripts/wine/prepare-prefix.sh "$template" "$standin"
) 9>"$template.lock"

run="$root/build/wine/run-$$"
rm -rf "$run"
mkdir -p "$run/bin" "$run/bin32"
wine_on_exit "rm -rf '$run'"
for exe in calorix.exe tests/contract/win32/contract_tests_win32.exe \
           tests/wine/monitor_wine_tests.exe tests/wine/e2e_tests.exe \
           tests/wine/tray_icon_dpi_tests.exe tests/wine/version_info_tests.exe \
           tests/wine/form_view_tests.exe; do
  cp "build/mingw/$exe" "$run/bin/"
done
cp build/mingw32/calorix.exe "$run/bin32/"
# A copy of the template, taken under the lock so it is never half made.
clone() {  # <prefix>
  (flock -s -w 900 9; wine_clone_prefix "$template" "$1") 9>"$template.lock"
  wine_on_exit "wine_kill '$1'"
}

# The version resource, as Explorer's file properties would show it.
prefix="$run/version-info"
clone "$prefix"
stage --suite "version_info_tests"
if ! CALORIX_EXE="$(wine_path "$run/bin/calorix.exe")" timeout -k 10 120 env WINEPREFIX="$prefix" \
     wine "$run/bin/version_info_tests.exe" --gtest_brief=1; then
  echo "FAILED: version_info_tests under Wine"
  failed=1
fi
wine_kill "$prefix"
rm -rf "$prefix"

# The setup program, made from the two builds above, in a fresh prefix:
# install, run from the shortcut, install over, uninstall. The setup is a
# 32-bit program, as NSIS makes them; where that cannot run, the same script
# is made with NSIS's 64-bit stub.
stub=()
if wine_runs_32bit; then
  stage --suite "installer_tests"
else
  stage --suite "installer_tests, on a 64-bit setup"
  echo "The setup is made with NSIS's 64-bit stub (amd64-unicode) for this test: $no32."
  stub=(--stub amd64-unicode)
fi
setup="$(scripts/make-installer.sh "${stub[@]}" build/mingw/calorix.exe build/mingw32/calorix.exe \
  "$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/mingw/CMakeCache.txt)" "$run/setup")"
cp build/mingw/tests/wine/installer_tests.exe "$run/bin/"
prefix="$run/installer"
clone "$prefix"
if ! CALORIX_SETUP="$(wine_path "$setup")" timeout -k 10 300 env WINEPREFIX="$prefix" \
     wine "$run/bin/installer_tests.exe" --gtest_brief=1; then
  echo "FAILED: installer_tests under Wine"
  failed=1
fi
wine_kill "$prefix"
rm -rf "$prefix"
# The same setup on 32-bit Windows installs the 32-bit program.
if wine_runs_32bit; then
  stage --suite "the setup on 32-bit Windows"
  if ! scripts/wine/check-setup-32bit.sh "$setup" "$run/setup-32bit"; then
    echo "FAILED: the setup on 32-bit Windows under Wine"
    failed=1
  fi
  rm -rf "$run/setup-32bit"
else
  stage_skipped "the setup on 32-bit Windows, in a 32-bit prefix" "$no32"
fi

for name in contract_tests_win32 form_view_tests monitor_wine_tests; do
  prefix="$run/$name"
  clone "$prefix"
  stage --suite "$name"
  if ! timeout -k 10 300 env WINEPREFIX="$prefix" wine "$run/bin/$name.exe" --gtest_brief=1; then
    echo "FAILED: $name under Wine"
    failed=1
  fi
  wine_kill "$prefix"
  rm -rf "$prefix"
done

# The tray's pictures at each display scale, each in a prefix of its own:
# Wine applies LogPixels to the programs started after it is set.
for dpi in 96 120 144 192; do
  prefix="$run/tray-dpi-$dpi"
  clone "$prefix"
  wine_set_dpi "$prefix" "$dpi"
  stage --suite "tray_icon_dpi_tests at $dpi DPI"
  if ! CALORIX_EXPECTED_DPI="$dpi" timeout -k 10 120 env WINEPREFIX="$prefix" \
       wine "$run/bin/tray_icon_dpi_tests.exe" --gtest_brief=1; then
    echo "FAILED: tray_icon_dpi_tests at $dpi DPI under Wine"
    failed=1
  fi
  wine_kill "$prefix"
  rm -rf "$prefix"
done

# End to end: the real program driven from outside, its files in a folder
# of their own.
# With a display scale in dpi, the prefix runs at that scale (Wine applies
# LogPixels to the programs started afterwards). The program is the 64-bit
# build unless a folder holding another calorix.exe is given. The program
# works in "<prefix name>-work" unless another folder name is given.
run_e2e() {  # <prefix name> <gtest filter> [dpi] [program folder] [work folder name]
  local prefix="$run/$1" work="$run/${5:-$1-work}" dpi="${3:-}" bin="${4:-$run/bin}"
  [[ -d "$prefix" ]] || clone "$prefix"
  mkdir -p "$work"
  [[ -z "$dpi" ]] || wine_set_dpi "$prefix" "$dpi"
  (cd "$work" && CALORIX_EXE="$(wine_path "$bin/calorix.exe")" CALORIX_E2E_DPI="$dpi" \
     timeout -k 10 300 env WINEPREFIX="$prefix" wine "$run/bin/e2e_tests.exe" \
     --gtest_brief=1 --gtest_filter="$2")
}
for dpi in 96 144; do
  stage --suite "e2e_tests at $dpi dpi"
  if ! run_e2e "e2e-$dpi" 'EndToEnd.*' "$dpi"; then
    echo "FAILED: e2e_tests (EndToEnd) at $dpi dpi under Wine"
    failed=1
  fi
  wine_kill "$run/e2e-$dpi"
done

# A working folder named with letters outside the ANSI code page (1252 in
# the prefix): recording, the viewer, "Edit", the alarm log, "View" and
# both "Clear"s there.
stage --suite "e2e_tests in a folder named outside the ANSI code page"
if ! run_e2e e2e-unicode 'FolderOutsideTheCodePage.*' "" "" "acc-uni Жé ł-work"; then
  echo "FAILED: e2e_tests (FolderOutsideTheCodePage) under Wine"
  failed=1
fi
wine_kill "$run/e2e-unicode"

# The 32-bit build against the same 32-bit monitor: every scenario, at one
# display scale (under a minute).
if wine_runs_32bit; then
  stage --suite "e2e_tests against the 32-bit build"
  if ! run_e2e e2e-32bit 'EndToEnd.*' 96 "$run/bin32"; then
    echo "FAILED: e2e_tests (EndToEnd) against the 32-bit build under Wine"
    failed=1
  fi
  wine_kill "$run/e2e-32bit"
else
  stage_skipped "e2e_tests against the 32-bit calorix.exe" "$no32"
fi

# Every scenario once more with Wine reporting Windows XP (5.1), the 32-bit
# program's oldest Windows. "winecfg -v winxp" refuses XP in a 64-bit
# prefix, so the value it writes is written directly; "ver" proves it took.
xp_bin="$run/bin32" xp_build="the 32-bit build"
if ! wine_runs_32bit; then
  xp_bin="$run/bin" xp_build="the 64-bit build ($no32)"
fi
stage --suite "e2e_tests with Wine reporting Windows XP, against $xp_build"
clone "$run/e2e-xp"
wine_reg "$run/e2e-xp" add 'HKCU\Software\Wine' /v Version /d winxp /f
if ! WINEPREFIX="$run/e2e-xp" timeout -k 10 60 wine cmd /c ver 2>/dev/null | grep -q ' 5\.1\.'; then
  echo "FAILED: Wine does not report Windows XP in $run/e2e-xp"
  failed=1
elif ! run_e2e e2e-xp 'EndToEnd.*' 96 "$xp_bin"; then
  echo "FAILED: e2e_tests (EndToEnd) with Wine reporting Windows XP"
  failed=1
fi
wine_kill "$run/e2e-xp"

# The power-off and logging off end the prefix's whole session, the test
# included: the trigger runs in one session and the check in the next.
# What the trigger leaves running (when it failed) is ended after a minute.
run_across_sessions() {  # <prefix name> <test suite> [program folder]
  local prefix="$run/$1"
  stage --suite "$2 ($1)"
  run_e2e "$1" "$2.Trigger" "" "${3:-}" >/dev/null 2>&1 || true
  wine_wait_idle "$prefix"
  if ! (cd "$prefix-work" && CALORIX_EXE=unused \
        timeout -k 10 120 env WINEPREFIX="$prefix" wine "$run/bin/e2e_tests.exe" \
        --gtest_brief=1 --gtest_filter="$2.Verify"); then
    echo "FAILED: e2e_tests ($2, $1) under Wine"
    failed=1
  fi
  wine_kill "$prefix"
}
run_across_sessions poweroff PowerOff
if wine_runs_32bit; then
  run_across_sessions poweroff-32bit PowerOff "$run/bin32"
else
  stage_skipped "PowerOff against the 32-bit calorix.exe" "$no32"
fi
run_across_sessions logoff LogOff

# Faults inflicted from outside: a locked record file, a read-only working
# folder, the monitor killed, garbage settings, odd monitor texts, a desktop
# of 10,000 windows. The read-only folder is immutable on the Linux side, as
# Wine ignores the mode bits for root; it is made mutable again on any exit.
cp build/mingw/tests/wine/fault_matrix_tests.exe build/mingw/standin/crowd.exe "$run/bin/"
run_faults() {  # <prefix name> <gtest filter> <time-out in seconds>
  local prefix="$run/$1" work="$run/$1-work"
  if [[ ! -d "$prefix" ]]; then
    clone "$prefix"
    mkdir -p "$work/readonly"
    wine_on_exit "chattr -i '$work/readonly' 2>/dev/null"
    chattr +i "$work/readonly" || wine_log "cannot make $work/readonly read-only (root needed)"
  fi
  (cd "$work" && CALORIX_EXE="$(wine_path "$run/bin/calorix.exe")" \
     CALORIX_READONLY_DIR="$(wine_path "$work/readonly")" \
     CALORIX_CROWD_EXE="$(wine_path "$run/bin/crowd.exe")" \
     timeout -k 10 "$3" env WINEPREFIX="$prefix" wine "$run/bin/fault_matrix_tests.exe" \
     --gtest_brief=1 --gtest_filter="$2")
}
stage --suite "fault_matrix_tests"
if ! run_faults faults 'FaultMatrix*.*' 900; then
  echo "FAILED: fault_matrix_tests (FaultMatrix) under Wine"
  failed=1
fi
wine_kill "$run/faults"
# Power-off in a read-only folder and with the monitor killed in the
# countdown: the trigger in one session, the check in the next.
for suite in FaultPowerOffReadOnly FaultPowerOffMonitorKilled; do
  stage --suite "$suite"
  run_faults "$suite" "$suite.Trigger" 180 >/dev/null 2>&1 || true
  wine_wait_idle "$run/$suite"
  if ! run_faults "$suite" "$suite.Verify" 120; then
    echo "FAILED: fault_matrix_tests ($suite) under Wine"
    failed=1
  fi
  wine_kill "$run/$suite"
done

# Calorix's own windows at each display scale: one run of the program per
# scale opens the options window, the dashboard, the viewer and the
# countdown and measures them. The shell desktop grows with the scale, as
# a screen at that scale would be larger: the viewer alone is 1068 pixels
# wide at 192 dpi.
cp build/mingw/tests/wine/display_scale_tests.exe "$run/bin/"
for dpi in 96 120 144 192; do
  prefix="$run/scale-$dpi" work="$run/scale-$dpi-work"
  stage --suite "display_scale_tests at $dpi dpi"
  clone "$prefix"
  mkdir -p "$work"
  wine_set_dpi "$prefix" "$dpi" --grow-desktop
  if ! (cd "$work" && CALORIX_EXE="$(wine_path "$run/bin/calorix.exe")" CALORIX_DPI="$dpi" \
        timeout -k 10 120 env WINEPREFIX="$prefix" wine "$run/bin/display_scale_tests.exe" \
        --gtest_brief=1); then
    echo "FAILED: display_scale_tests at $dpi dpi under Wine"
    failed=1
  fi
  wine_kill "$prefix"
  rm -rf "$prefix"
done

if [[ $failed -ne 0 ]]; then
  exit 1
fi
echo "== Wine tests passed"
