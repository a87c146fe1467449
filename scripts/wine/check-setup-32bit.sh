#!/usr/bin/env bash
# The setup on 32-bit Windows: in a fresh 32-bit Wine prefix a silent
# install puts the 32-bit calorix.exe, its shortcuts and its uninstall entry
# in place, and a silent uninstall takes them away again. Checked from the
# Linux side, so no 32-bit test program is needed.
# Usage: check-setup-32bit.sh <setup.exe> <work folder>
set -euo pipefail
# shellcheck source=common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

if [[ $# -ne 2 ]]; then
  echo "usage: $0 <setup.exe> <work folder>" >&2
  exit 2
fi
setup="$1"
prefix="$2/prefix"
rm -rf "$prefix"
mkdir -p "$prefix"
prefix="$(cd "$prefix" && pwd)"
wine_on_exit "wine_kill '$prefix'"
failures=0

check() {  # <what> <command...>
  local what="$1"
  shift
  if "$@"; then
    echo "ok   $what"
  else
    echo "FAIL $what"
    failures=$((failures + 1))
  fi
}

# Waits up to 60 s for a command to succeed.
eventually() {
  local tries
  for ((tries = 0; tries < 240; tries++)); do
    "$@" && return 0
    sleep 0.25
  done
  return 1
}

if ! wine_runs_32bit; then
  wine_log "this run's Wine does not run 32-bit programs"
  exit 1
fi
wine_boot "$prefix" win32
wine_unlink_user_folders "$prefix"
user_dir="$(echo "$prefix"/drive_c/users/*/AppData/Local | sed 's|/AppData/Local$||')"
[[ -d "$user_dir" ]] || { wine_log "no user folder in $prefix"; exit 1; }
program="$user_dir/AppData/Local/Programs/Calorix/calorix.exe"
menu="$user_dir/AppData/Roaming/Microsoft/Windows/Start Menu/Programs"
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Calorix'

has_entry() { WINEPREFIX="$prefix" timeout -k 10 120 wine reg query "$key" /v DisplayName >/dev/null 2>&1; }
# Wine names the folder "StartUp".
startup_link() { compgen -G "$menu/[Ss]tart[Uu]p/Calorix.lnk" >/dev/null; }
gone() { ! has_entry && [[ ! -e "$program" ]]; }

check "the prefix is 32-bit Windows" [ ! -d "$prefix/drive_c/Program Files (x86)" ]
check "silent install ends with 0" wine_run "$prefix" "$setup" /S
check "calorix.exe is the 32-bit program" [ "$(pe_machine "$program" 2>/dev/null)" == 014c ]
check "Start-menu shortcut" [ -f "$menu/Calorix.lnk" ]
check "log-on shortcut" startup_link
check "data folder" [ -d "$user_dir/Documents/Calorix" ]
check "uninstall entry" has_entry
# The uninstaller goes on from a copy of itself: wait for what it leaves.
wine_run "$prefix" "$(dirname "$program")/uninstall.exe" /S || true
check "silent uninstall removes the program and the entry" eventually gone
check "and the shortcuts" eval '[[ ! -e "$menu/Calorix.lnk" ]] && ! startup_link'

[[ $failures -eq 0 ]]
