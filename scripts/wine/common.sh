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

# Wine's 32-bit loader (Debian's wine32 package), or nothing when it is
# missing: then 32-bit programs, the stand-in monitor among them, cannot run.
wine_32bit_loader() {
  local loader
  for loader in /usr/lib/wine/wine /usr/lib/i386-linux-gnu/wine/wine; do
    if [[ -x "$loader" ]]; then
      echo "$loader"
      return 0
    fi
  done
}

# Builds the stand-in monitor as the monitor is: a 32-bit program. Prints the
# folder that holds its viahm.exe. Run from the checkout's root.
build_standin32() {
  cmake --preset mingw32 >/dev/null
  cmake --build --preset mingw32 -j "${CALORIX_JOBS:-$(nproc)}" --target viahm >&2
  echo build/mingw32/standin
}

# Runs `wine reg ...` in a prefix.
wine_reg() {
  local prefix="$1"
  shift
  WINEPREFIX="$prefix" wine reg "$@" >/dev/null
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
  WINEARCH=win64 WINEPREFIX="$dir" wineboot -i >/dev/null 2>&1
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
  WINEPREFIX="$dir" wineserver -w
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
  WINEPREFIX="$1" wineserver -w
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
  WINEPREFIX="$1" wineserver -k 2>/dev/null || true
}
