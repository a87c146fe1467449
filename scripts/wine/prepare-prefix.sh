#!/usr/bin/env bash
# Makes a Wine prefix with the shared desktop and the stand-in monitor
# installed. Reuses the prefix when it already holds the same viahm.exe.
# Usage: prepare-prefix.sh <prefix-dir> <dir-containing-viahm.exe>
set -euo pipefail
# shellcheck source=common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

if [[ $# -ne 2 ]]; then
  echo "usage: $0 <prefix-dir> <dir-containing-viahm.exe>" >&2
  exit 2
fi
prefix="$1"
exe_dir="$2"
[[ -f "$exe_dir/viahm.exe" ]] || { wine_log "no viahm.exe in $exe_dir"; exit 1; }
if [[ "$(pe_machine "$exe_dir/viahm.exe")" == 014c ]] && ! wine_runs_32bit; then
  wine_log "$exe_dir/viahm.exe is a 32-bit program, which this run's Wine does not run"
  exit 1
fi

template_marker="$prefix/.calorix-template"
standin_marker="$prefix/.calorix-standin.sha256"
checksum="$(sha256sum <"$exe_dir/viahm.exe" | cut -d' ' -f1)"
# A prefix made by an older set-up is made again, and so is one made by
# another Wine: a prefix made before wine32 was installed cannot run 32-bit
# programs, and one made by the 64-bit loader alone lacks the 32-bit half.
template_checksum="$({ cat "$WINE_SCRIPTS_DIR/common.sh" "$WINE_SCRIPTS_DIR/install-standin.sh"
  echo "32-bit programs: $CALORIX_HOST_32BIT"
  if [[ -e "$WINE_LOADER32" ]]; then echo "wine32 installed"; fi; } | sha256sum | cut -d' ' -f1)"

if [[ -f "$template_marker" && "$(cat "$template_marker")" != "$template_checksum" ]]; then
  wine_kill "$prefix"
  rm -rf "$prefix"
fi

if [[ -f "$standin_marker" && "$(cat "$standin_marker")" == "$checksum" ]]; then
  wine_log "prefix $prefix is up to date"
  exit 0
fi

if [[ ! -f "$template_marker" ]]; then
  wine_prefix_template "$prefix"
  echo "$template_checksum" >"$template_marker"
fi
rm -f "$standin_marker"
"$WINE_SCRIPTS_DIR/install-standin.sh" "$prefix" "$exe_dir"
echo "$checksum" >"$standin_marker"
