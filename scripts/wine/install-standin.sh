#!/usr/bin/env bash
# Installs the stand-in monitor into a Wine prefix the way its installer
# would: program files under C:\Program Files (x86)\VIA\HWM plus an uninstall
# entry. The monitor and its installer are 32-bit programs, so on 64-bit
# Windows the program goes into the 32-bit Program Files folder and the
# uninstall entry into the registry's 32-bit view only, where a 64-bit
# program does not see it by default. A 64-bit stand-in, for a host that
# cannot run 32-bit programs, goes to the same places: the registry keeps
# its 32-bit view without running 32-bit code.
# Usage: install-standin.sh <prefix> <dir-containing-viahm.exe>
set -euo pipefail
# shellcheck source=common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

if [[ $# -ne 2 ]]; then
  echo "usage: $0 <prefix> <dir-containing-viahm.exe>" >&2
  exit 2
fi
prefix="$(cd "$1" && pwd)"
exe="$2/viahm.exe"
[[ -f "$exe" ]] || { wine_log "no viahm.exe in $2"; exit 1; }
[[ -f "$prefix/system.reg" ]] || { wine_log "$prefix is not a Wine prefix"; exit 1; }

install_dir="$prefix/drive_c/Program Files (x86)/VIA/HWM"
mkdir -p "$install_dir"
cp -f "$exe" "$install_dir/viahm.exe"
printf '%s\r\n' '[Uninstall]' 'Product=VIA Hardware Monitor' 'File=C:\Program Files (x86)\VIA\HWM\viahm.exe' \
  >"$install_dir/Uninst.isu"

key='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\VIAhm'
uninstall='C:\WINDOWS\IsUninst.exe -f"C:\Program Files (x86)\VIA\HWM\Uninst.isu"'
wine_reg "$prefix" add "$key" /v DisplayName /t REG_SZ /d 'VIA Hardware Monitor' /f /reg:32
wine_reg "$prefix" add "$key" /v UninstallString /t REG_SZ /d "$uninstall" /f /reg:32

# The quotes inside the value must survive Wine's command-line conversion.
readback="$(WINEPREFIX="$prefix" timeout -k 10 120 wine reg query "$key" /v UninstallString /reg:32 | tr -d '\r' |
  sed -n 's/^ *UninstallString *REG_SZ *//p')"
if [[ "$readback" != "$uninstall" ]]; then
  wine_log "UninstallString reads back as [$readback], expected [$uninstall]"
  exit 1
fi
if WINEPREFIX="$prefix" timeout -k 10 120 wine reg query "$key" /reg:64 >/dev/null 2>&1; then
  wine_log "the uninstall entry is in the 64-bit view too"
  exit 1
fi
wine_wait_idle "$prefix"
wine_log "stand-in installed in $install_dir"
