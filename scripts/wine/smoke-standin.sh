#!/usr/bin/env bash
# Smoke check of the stand-in monitor under Wine on a private Xvfb display:
# window tree, readings, alarms, control file, scenario, WM_CLOSE.
# Usage: smoke-standin.sh <dir-containing-viahm.exe> [work-dir]
# The work dir (default: a temporary one, removed afterwards) keeps the
# prepared prefix for reuse, the screenshot standin.png and logs.
set -euo pipefail
# shellcheck source=common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

if [[ $# -lt 1 || $# -gt 2 ]]; then
  echo "usage: $0 <dir-containing-viahm.exe> [work-dir]" >&2
  exit 2
fi
exe_dir="$(cd "$1" && pwd)"
if [[ $# -eq 2 ]]; then
  mkdir -p "$2"
  work="$(cd "$2" && pwd)"
else
  work="$(mktemp -d)"
  wine_on_exit "rm -rf '$work'"
fi

failures=0
check() {
  local name="$1"
  shift
  if "$@"; then
    echo "PASS $name"
  else
    echo "FAIL $name"
    failures=$((failures + 1))
  fi
}

xvfb_ensure --private
x86_64-w64-mingw32-g++ -std=c++20 -O2 -static -static-libgcc -static-libstdc++ \
  -o "$work/winprobe.exe" "$WINE_REPO_ROOT/standin/winprobe.cpp"
"$WINE_SCRIPTS_DIR/prepare-prefix.sh" "$work/prefix" "$exe_dir"
prefix="$work/run"
rm -rf "$prefix"
wine_clone_prefix "$work/prefix" "$prefix"
wine_on_exit "wine_kill '$prefix'"
install_dir="$prefix/drive_c/Program Files (x86)/VIA/HWM"

probe() { wine_run "$prefix" "$work/winprobe.exe" "$@"; }

# Starts viahm.exe from its install folder in the background; sets viahm_pid.
start_viahm() {
  (cd "$install_dir" && exec env WINEPREFIX="$prefix" wine ./viahm.exe "$@") \
    >>"$work/viahm.log" 2>&1 &
  viahm_pid=$!
}

exits_within() {
  local pid="$1" seconds="$2" i
  for ((i = 0; i < seconds * 10; i++)); do
    if ! kill -0 "$pid" 2>/dev/null; then
      wait "$pid"
      return
    fi
    sleep 0.1
  done
  return 1
}

tree_has() {  # index class text
  grep -qxF "$1 $2 [$3]" "$work/tree.txt"
}

readings_look_right() {
  tree_has 12 Static 45 && tree_has 18 Static 36 && tree_has 23 Static ' 1.52 ' &&
    tree_has 27 Static ' 3.31 ' && tree_has 29 Static ' 5.02 ' && tree_has 31 Static ' 12.16 ' &&
    tree_has 39 Static 4500 && tree_has 41 Static 3200 &&
    tree_has 0 Static 'VIA Hardware Monitor System Ver 1.0' &&
    tree_has 46 Button '&Minimize' && tree_has 47 Button '&Close'
}

state_is() {  # expected "visible iconic" prefix of winprobe state
  [[ "$(probe state 'VIA HWM' | tr -d '\r')" == "$1"* ]]
}

send() { echo "$1" >>"$work/control.txt"; }

# --- delayed show, tree, control file, window handling, WM_CLOSE ---------
: >"$work/control.txt"
start_viahm --show-after 3 --no-drift --control "$(wine_path "$work/control.txt")"
sleep 1.5
check "no main window before --show-after" probe gone 'VIA HWM' 0
check "main window appears" probe wait 'VIA HWM' 10
probe tree 'VIA HWM' | tr -d '\r' >"$work/tree.txt"
check "49 controls enumerated" test "$(wc -l <"$work/tree.txt")" -eq 49
check "readings at their enumeration slots" readings_look_right
sleep 1
import -window root "$work/standin.png"

send "set cpu 80"
check "CPU temperature alarm opens" probe wait 'CPU Tempture Alarm !' 5
send "set cpu 45"
check "CPU temperature alarm closes" probe gone 'CPU Tempture Alarm !' 5
send "set v12  13.90 "
check "voltage alarm opens" probe wait 'Voltage Abnormal !' 5
probe tree 'VIA HWM' | tr -d '\r' >"$work/tree.txt"
check "set keeps the text verbatim" tree_has 31 Static ' 13.90 '
send "set fan2 800"
check "system fan alarm opens" probe wait 'System Fan Alarm!' 5
send "alarm open CPU       Tempture Alarm !"
check "named alarm opens" probe wait 'CPU       Tempture Alarm !' 5
send "alarm close CPU       Tempture Alarm !"
check "named alarm closes" probe gone 'CPU       Tempture Alarm !' 5

probe show 'VIA HWM' hide
check "hidden by another program" state_is "0 0"
probe show 'VIA HWM' show
check "shown again" state_is "1 0"
probe show 'VIA HWM' minimize
check "minimised" state_is "1 1"
probe show 'VIA HWM' restore
probe move 'VIA HWM' 40 50 600 360
check "moved and resized" state_is "1 0 40 50 600 360"

probe close 'VIA HWM'
check "WM_CLOSE ends the program" exits_within "$viahm_pid" 10
check "alarm windows went with it" probe gone 'Voltage Abnormal !' 2

# --- scenario file ----------------------------------------------------------
cat >"$work/scenario.txt" <<'SCENARIO'
# raise and clear a system temperature alarm, then leave
at 0.5 set sys 60
at 2.5 set sys 40
at 4 exit
SCENARIO
start_viahm --scenario "$(wine_path "$work/scenario.txt")"
check "scenario raises the alarm" probe wait 'System Temperture Alarm !' 5
check "scenario clears the alarm" probe gone 'System Temperture Alarm !' 5
check "scenario exit ends the program" exits_within "$viahm_pid" 10

# --- never shown ------------------------------------------------------------
: >"$work/control.txt"
start_viahm --never-show --control "$(wine_path "$work/control.txt")"
sleep 2
check "--never-show keeps the process running" kill -0 "$viahm_pid"
check "--never-show has no main window" probe gone 'VIA HWM' 0
send "exit"
check "exit from the control file" exits_within "$viahm_pid" 10

echo "screenshot: $work/standin.png"
if ((failures > 0)); then
  echo "$failures check(s) failed"
  exit 1
fi
echo "all checks passed"
