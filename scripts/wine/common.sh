# shellcheck shell=bash
# Shared helpers for running the stand-in monitor (and Calorix) under Wine.
# Source this file from a bash script that uses `set -euo pipefail`.

WINE_SCRIPTS_DIR="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# For callers that build or find files in the checkout.
export WINE_REPO_ROOT
WINE_REPO_ROOT="$(cd "$WINE_SCRIPTS_DIR/../.." && pwd)"
export WINEDEBUG=-all
# No Mono/Gecko: their install prompts would block a headless run. No menu
# entries on the Linux desktop for shortcuts made in a prefix either.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}"

_wine_cleanups=()

_wine_run_cleanups() {
  local i
  for ((i = ${#_wine_cleanups[@]} - 1; i >= 0; i--)); do
    eval "${_wine_cleanups[i]}" || true
  done
}
# Sourcing scripts register cleanups with wine_on_exit rather than their own
# EXIT trap. INT/TERM go through exit so the cleanups run then too.
trap _wine_run_cleanups EXIT
trap 'exit 130' INT TERM

# Registers a command to run when the script exits (last in, first out).
wine_on_exit() {
  _wine_cleanups+=("$1")
}

wine_log() {
  echo "[wine] $*" >&2
}

_xvfb_free_display() {
  local n=91
  while [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]]; do
    n=$((n + 1))
  done
  echo "$n"
}

# Starts a private Xvfb when DISPLAY is unset or when called with --private.
# Exports DISPLAY; the server is stopped when the script exits. Its screen is
# 1024x768 unless CALORIX_XVFB_SCREEN says otherwise (for example 1536x1152).
xvfb_ensure() {
  if [[ "${1:-}" != "--private" && -n "${DISPLAY:-}" ]]; then
    return 0
  fi
  local n pid tries
  n="$(_xvfb_free_display)"
  Xvfb ":$n" -screen 0 "${CALORIX_XVFB_SCREEN:-1024x768}x24" -nolisten tcp >/dev/null 2>&1 &
  pid=$!
  wine_on_exit "kill $pid 2>/dev/null; wait $pid 2>/dev/null"
  for ((tries = 0; tries < 100; tries++)); do
    if xdpyinfo -display ":$n" >/dev/null 2>&1; then
      export DISPLAY=":$n"
      wine_log "Xvfb ready on :$n"
      return 0
    fi
    if ! kill -0 "$pid" 2>/dev/null; then
      break
    fi
    sleep 0.1
  done
  wine_log "Xvfb on :$n did not come up"
  return 1
}

# Wine's loaders and server, called by their paths: Debian's launchers
# (/usr/bin/wine, wineboot, ...) take the 32-bit loader whenever that file is
# executable, without asking whether the kernel runs 32-bit programs. Where
# it does not (some virtual machines and containers, WSL 1), every call
# through them fails, 64-bit ones too.
WINE_LOADER32=/usr/lib/wine/wine
WINE_LOADER64=/usr/lib/wine/wine64
WINE_SERVER64=/usr/lib/wine/wineserver64

# Whether this host runs 32-bit programs, found out by running Wine's 32-bit
# loader; CALORIX_HOST_32BIT=0 says no without asking. Then puts launchers
# for wine, wineboot and wineserver that call the chosen loader first on the
# PATH, so every Wine command of a script, and of any program it starts,
# goes through them. Decided once per run: scripts started by this one
# inherit CALORIX_HOST_32BIT (1 or 0) and the launchers' folder.
#
# With 32-bit programs the 32-bit loader starts everything (it hands 64-bit
# programs to the 64-bit one); without them the 64-bit loader does. Where
# the switch forced that mode on a host that does run 32-bit programs, each
# Wine process also gets a private view of the file system in which the
# 32-bit loader cannot be run (where it may: root, unshare), so that a
# 32-bit program fails to start there as it would on such a host.
wine_choose_loader() {
  if [[ -n "${CALORIX_WINE_BIN:-}" && -x "${CALORIX_WINE_BIN}/wine" ]]; then
    return 0
  fi
  if [[ ! -x "$WINE_LOADER64" ]]; then
    wine_log "no $WINE_LOADER64: Wine is not installed (scripts/install-deps.sh installs it)"
    return 1
  fi
  local answer
  if [[ "${CALORIX_HOST_32BIT:-}" == 0 ]]; then
    CALORIX_HOST_32BIT=0 answer="no (CALORIX_HOST_32BIT=0)"
  elif [[ ! -e "$WINE_LOADER32" ]]; then
    CALORIX_HOST_32BIT=0 answer="no (Wine's 32-bit half, Debian's wine32:i386, is not installed)"
  elif timeout 60 "$WINE_LOADER32" --version >/dev/null 2>&1; then
    CALORIX_HOST_32BIT=1 answer=yes
  else
    CALORIX_HOST_32BIT=0 answer="no (Wine's 32-bit loader does not run: the kernel refuses 32-bit programs)"
  fi
  local bin mask=""
  bin="$(mktemp -d "${TMPDIR:-/tmp}/calorix-wine.XXXXXX")"
  wine_on_exit "rm -rf '$bin'"
  if [[ $CALORIX_HOST_32BIT == 1 ]]; then
    printf '#!/bin/sh\nexport WINELOADER="%s"\nexec "%s" "$@"\n' \
      "$WINE_LOADER32" "$WINE_LOADER32" >"$bin/wine"
  else
    if [[ -e "$WINE_LOADER32" ]] &&
       unshare --mount sh -c "mount --bind /dev/null '$WINE_LOADER32'" 2>/dev/null; then
      mask="unshare --mount sh -c 'mount --bind /dev/null $WINE_LOADER32 && exec \"\$0\" \"\$@\"'"
      answer="$answer; Wine's 32-bit loader is hidden from the programs"
    fi
    printf '#!/bin/sh\nexport WINELOADER="%s"\nexec %s "%s" "$@"\n' \
      "$WINE_LOADER64" "$mask" "$WINE_LOADER64" >"$bin/wine"
  fi
  printf '#!/bin/sh\nexec "%s/wine" wineboot.exe "$@"\n' "$bin" >"$bin/wineboot"
  printf '#!/bin/sh\nexec "%s" -p0 "$@"\n' "$WINE_SERVER64" >"$bin/wineserver"
  chmod +x "$bin/wine" "$bin/wineboot" "$bin/wineserver"
  export PATH="$bin:$PATH" CALORIX_WINE_BIN="$bin" CALORIX_HOST_32BIT
  echo "== 32-bit programs on this host: $answer"
}

# True when this run's Wine runs 32-bit programs.
wine_runs_32bit() {
  [[ "${CALORIX_HOST_32BIT:-}" == 1 ]]
}

# The machine field of a PE program's header, as four hex digits: 014c for
# 32-bit x86, 8664 for x64.
pe_machine() {
  local header
  header=$((0x$(od -An -tx4 -j 60 -N 4 "$1" | tr -d ' ')))
  od -An -tx2 -j $((header + 4)) -N 2 "$1" | tr -d ' '
}

# Builds the stand-in monitor as the monitor is, a 32-bit program, or as a
# 64-bit one where this run's Wine cannot run 32-bit programs; it is
# installed at the same place either way. Prints the folder that holds its
# viahm.exe. Run from the checkout's root.
build_standin() {
  local preset=mingw32
  if ! wine_runs_32bit; then
    preset=mingw
    wine_log "the stand-in monitor is built 64-bit: this run's Wine does not run 32-bit programs"
  fi
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "${CALORIX_JOBS:-$(nproc)}" --target viahm >&2
  echo "build/$preset/standin"
}

# The template prefix's folder for this run's Wine: a prefix made by the
# 64-bit loader alone lacks the 32-bit half, so each mode keeps its own.
wine_template_dir() {  # <folder for a host with 32-bit programs>
  if wine_runs_32bit; then echo "$1"; else echo "$1-64only"; fi
}

# Runs `wine reg ...` in a prefix.
wine_reg() {
  local prefix="$1"
  shift
  WINEPREFIX="$prefix" timeout -k 10 120 wine reg "$@" >/dev/null
}

# Wine links the user's Documents, Desktop and the like to the Linux home
# folder: files a program writes there would land outside the prefix and be
# shared by every prefix. This gives a new prefix folders of its own.
wine_unlink_user_folders() {  # <prefix>
  local folder
  for folder in "$1"/drive_c/users/*/*; do
    if [[ -L "$folder" ]]; then
      rm "$folder"
      mkdir "$folder"
    fi
  done
}

# Makes a new prefix of a Windows architecture (win64 or win32), within
# five minutes, and says why when it cannot.
wine_boot() {  # <prefix> <win64|win32>
  local rc=0
  WINEARCH="$2" WINEPREFIX="$1" timeout -k 10 300 wineboot -i >/dev/null 2>&1 || rc=$?
  if [[ $rc -eq 124 ]]; then
    wine_log "wineboot did not make the $2 prefix $1 within 300 s"
  elif [[ $rc -ne 0 ]]; then
    wine_log "wineboot could not make the $2 prefix $1 (exit $rc)"
  fi
  return "$rc"
}

# Creates a fresh 64-bit prefix with one shared virtual desktop ("shell"),
# so every Wine process sees the others' windows, plus a taskbar and tray.
wine_prefix_template() {
  local dir="$1"
  if [[ -e "$dir" && -n "$(ls -A "$dir" 2>/dev/null)" ]]; then
    wine_log "refusing to overwrite non-empty $dir"
    return 1
  fi
  mkdir -p "$dir"
  dir="$(cd "$dir" && pwd)"
  wine_boot "$dir" win64
  wine_unlink_user_folders "$dir"
  # Debian's Wine does not load its own fonts (package fonts-wine) from where
  # that package puts them: without Marlett, caption buttons show the letters
  # "0 1 r" instead of their glyphs, and the dialog font Tahoma falls back to
  # another face. Fonts in the prefix's Fonts folder are always loaded.
  local wine_fonts=/usr/share/wine/fonts
  if [[ -d "$wine_fonts" ]]; then
    cp "$wine_fonts"/*.ttf "$dir/drive_c/windows/Fonts/"
  else
    wine_log "no $wine_fonts: caption buttons will show letters (install fonts-wine)"
  fi
  wine_reg "$dir" add 'HKCU\Software\Wine\Explorer' /v Desktop /d shell /f
  wine_reg "$dir" add 'HKCU\Software\Wine\Explorer\Desktops' /v shell /d 1024x768 /f
  wine_reg "$dir" add 'HKCU\Software\Wine\Drivers' /v Audio /d "" /f
  # Without a window manager Wine waits ~2 s per hidden window unless unmanaged.
  wine_reg "$dir" add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
  # Courier New is not in Wine: its metric twin keeps fixed-width columns.
  wine_reg "$dir" add 'HKCU\Software\Wine\Fonts\Replacements' /v "Courier New" /d "Liberation Mono" /f
  # As on Windows, a text file opens in Notepad: a fresh prefix has no
  # association for .txt, and the shell would open nothing.
  wine_reg "$dir" add 'HKLM\Software\Classes\.txt' /ve /d txtfile /f
  wine_wait_idle "$dir"
}

# The shell's desktop at a display scale: 1024x768 at 96 dpi, growing with
# the scale as a screen of the same size in inches would.
wine_desktop_size() {  # <dpi>
  echo "$((1024 * $1 / 96))x$((768 * $1 / 96))"
}

# Sets a prefix's display scale; Wine applies it to the programs started
# afterwards. --grow-desktop makes the shell's desktop grow with it.
wine_set_dpi() {  # <prefix> <dpi> [--grow-desktop]
  wine_reg "$1" add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$2" /f
  if [[ "${3:-}" == "--grow-desktop" ]]; then
    wine_reg "$1" add 'HKCU\Software\Wine\Explorer\Desktops' /v shell /d "$(wine_desktop_size "$2")" /f
  fi
  wine_wait_idle "$1"
}

# Copies a template prefix; cp -a keeps it a working prefix (~1 s).
wine_clone_prefix() {
  local template="$1" dir="$2"
  if [[ -e "$dir" ]]; then
    wine_log "clone target $dir already exists"
    return 1
  fi
  cp -a "$template" "$dir"
}

# Runs an exe (Unix or Windows path) in the prefix's shared desktop and
# returns its exit code.
wine_run() {
  local prefix="$1" exe="$2"
  shift 2
  local rc=0
  WINEPREFIX="$prefix" wine "$exe" "$@" || rc=$?
  return "$rc"
}

# Windows form of a Unix path, through the prefix's Z: drive (maps to /).
wine_path() {
  local abs
  abs="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
  abs="${abs//\//\\}"
  echo "Z:$abs"
}

# Ends every Wine process of the prefix.
wine_kill() {
  WINEPREFIX="$1" timeout -k 5 30 wineserver -k 2>/dev/null || true
}

# Waits for every process of the prefix to end, up to the seconds given
# (60 by default); what still runs then is ended, so that a failed step
# cannot hold up the run.
wine_wait_idle() {  # <prefix> [seconds]
  local seconds="${2:-60}"
  if ! WINEPREFIX="$1" timeout -k 5 "$seconds" wineserver -w; then
    wine_log "processes still running in $1 after $seconds s: ending them"
    wine_kill "$1"
  fi
}

wine_choose_loader
