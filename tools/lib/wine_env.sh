# Shared by tools/test, tools/run and tools/bench: installs what the build and Wine need, starts a
# display and a Wine prefix of their own, and stops everything it started on exit.
# Source it, then call: celldrop_install; celldrop_start_display; celldrop_start_wine PREFIX_DIR
set -euo pipefail

CELLDROP_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
CELLDROP_PACKAGES=(g++-mingw-w64-x86-64-posix wine wine64 fonts-wine xvfb xdotool fonts-noto-cjk fonts-ipafont-gothic locales
  cmake ninja-build googletest)
CELLDROP_PIDS=()
WINE64=/usr/lib/wine/wine64
# Called by its own path: the "wineserver" command on PATH is an alternative that only some installs set up.
export WINESERVER=/usr/lib/wine/wineserver

celldrop_log() { printf '[celldrop] %s\n' "$*" >&2; }

celldrop_as_root() {
  if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi
}

# Installs only what is missing; apt-get update runs at most once.
celldrop_install() {
  local missing=() p
  for p in "${CELLDROP_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    celldrop_log "installing: ${missing[*]}"
    celldrop_as_root env DEBIAN_FRONTEND=noninteractive apt-get update -q
    celldrop_as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
  fi
  if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
    celldrop_log "generating the ja_JP.UTF-8 locale"
    celldrop_as_root sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
    grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | celldrop_as_root tee -a /etc/locale.gen >/dev/null
    celldrop_as_root locale-gen >/dev/null
  fi
}

celldrop_stop_all() {
  local status=$?
  if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then
    "$WINESERVER" -k 2>/dev/null || true
  fi
  local pid
  for pid in "${CELLDROP_PIDS[@]}"; do
    kill "$pid" 2>/dev/null || true
  done
  for pid in "${CELLDROP_PIDS[@]}"; do
    wait "$pid" 2>/dev/null || true
  done
  return $status
}
trap celldrop_stop_all EXIT

# Waits until the command succeeds, polling, for at most the given seconds.
celldrop_wait_for() {
  local seconds=$1; shift
  local deadline=$((SECONDS + seconds))
  until "$@"; do
    [ $SECONDS -lt $deadline ] || return 1
    sleep 0.1
  done
}

# An Xvfb display on a free display number (Xvfb picks it and reports it through -displayfd), of
# 1600x1200 pixels or of the size given (WIDTHxHEIGHT).
celldrop_start_display() {
  local fd_file size=${1:-1600x1200}
  fd_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$fd_file" >/dev/null 2>&1 &
  CELLDROP_PIDS+=($!)
  celldrop_wait_for 15 test -s "$fd_file" || { celldrop_log "Xvfb did not start"; return 1; }
  export DISPLAY=":$(head -n1 "$fd_file")"
  rm -f "$fd_file"
  celldrop_log "display $DISPLAY"
}

# A Japanese-locale Wine prefix of our own (made once), with one wineserver kept for the whole run,
# at 96 dpi or at the DPI given.
celldrop_start_wine() {
  export WINEPREFIX=$1
  local dpi=${2:-96}
  export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
  export WINEDEBUG=${WINEDEBUG:--all}
  export WINEARCH=win64
  # No Mono or Gecko installer dialogs: the program needs neither.
  export WINEDLLOVERRIDES="mscoree,mshtml="
  if [ ! -f "$WINEPREFIX/.celldrop-ready" ]; then
    rm -rf "$WINEPREFIX"
  fi
  mkdir -p "$WINEPREFIX"
  celldrop_start_wineserver
  if [ ! -f "$WINEPREFIX/.celldrop-ready" ]; then
    celldrop_log "making the Wine prefix $WINEPREFIX"
    celldrop_wine wineboot -i || { celldrop_log "making the Wine prefix failed"; return 1; }
    # Unmanaged windows: with a window manager-less display, hiding or destroying a managed window
    # stalls for about two seconds.
    celldrop_wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
    # The session that made the prefix ends up with two services.exe and no rpcss, so COM cannot
    # start local servers in it: start the prefix's processes afresh.
    celldrop_restart_wineserver
    touch "$WINEPREFIX/.celldrop-ready"
  fi
  # The prefix's first program starts the desktop, which keeps the DPI it started with, and the
  # windows of every program then take their DPI from it: a changed DPI needs a fresh start.
  if ! celldrop_dpi_is "$dpi"; then
    celldrop_set_dpi "$dpi"
    celldrop_restart_wineserver
  fi
  # Start Wine's own services (services.exe, rpcss, winedevice) now, with their output going nowhere:
  # started by a test instead, they would inherit CTest's output pipe and CTest would wait on them.
  celldrop_wine wineboot
  # A program that crashes gets its backtrace written to the log instead of a dialog that nobody
  # answers on this display.
  celldrop_wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f
  celldrop_windows_fonts
}

# Ends every process of the prefix and starts its wineserver again.
celldrop_restart_wineserver() {
  "$WINESERVER" -k
  wait "${CELLDROP_PIDS[-1]}" 2>/dev/null || true
  celldrop_start_wineserver
}

# The prefix's wineserver, kept in the foreground of a background job for the whole run, and waited
# for: a Wine command started before the server listens starts a second server of its own, which
# then fails or exits under it.
celldrop_start_wineserver() {
  "$WINESERVER" -f -p &
  CELLDROP_PIDS+=($!)
  celldrop_wait_for 20 celldrop_wineserver_listens || celldrop_log "the wineserver did not start listening; going on"
}

# Whether the prefix's wineserver has made its socket: server-DEV-INODE/socket (the prefix folder's
# device and inode numbers in hexadecimal) in /tmp/.wine-UID, or in a /tmp/wine-XXXXXX folder where
# that one cannot be used.
celldrop_wineserver_listens() {
  local dev inode socket
  dev=$(stat -c %d "$WINEPREFIX") inode=$(stat -c %i "$WINEPREFIX")
  for socket in "/tmp/.wine-$(id -u)" /tmp/wine-*; do
    [ -S "$socket/server-$(printf '%x-%x' "$dev" "$inode")/socket" ] && return 0
  done
  return 1
}

# Runs a Wine command quietly, trying up to three times: a first call can still lose a race with the
# server's start or with wineboot's services. Fails with the last attempt's status.
celldrop_wine() {
  local attempt status=0
  for attempt in 1 2 3; do
    "$WINE64" "$@" >/dev/null 2>&1 </dev/null && return 0
    status=$?
    celldrop_log "wine $1 failed (attempt $attempt, status $status)"
    celldrop_wait_for 10 celldrop_wineserver_listens || true
    sleep 1
  done
  return $status
}

# The fonts a Japanese Windows has, so that the window looks as it does there. Done on every start,
# so that prefixes made earlier get them too.
celldrop_windows_fonts() {
  # Marlett draws the title bar's buttons; without it they show as "0 1 r". fonts-wine ships it, but
  # this Wine does not load the fonts of its own data folder (/usr/share/wine/fonts), only those of
  # the prefix's Fonts folder and of fontconfig: put it in the Fonts folder.
  local fonts="$WINEPREFIX/drive_c/windows/Fonts"
  mkdir -p "$fonts"
  [ -f "$fonts/marlett.ttf" ] || cp /usr/share/wine/fonts/marlett.ttf "$fonts/marlett.ttf"
  # The dialog font ＭＳ Ｐゴシック and its fixed-pitch sibling do not exist here; IPA's Gothic fonts are
  # drawn to the same widths, so captions wrap where they do on Windows.
  local name replacement
  for name in 'ＭＳ Ｐゴシック=IPAPGothic' 'MS PGothic=IPAPGothic' 'ＭＳ ゴシック=IPAGothic' 'MS Gothic=IPAGothic'; do
    replacement=${name#*=}
    celldrop_wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "${name%%=*}" /d "$replacement" /f \
      || { celldrop_log "writing the font replacement ${name%%=*} failed"; return 1; }
  done
}

# The prefix's DPI (the setting winecfg changes), and whether it is the one given.
celldrop_set_dpi() {
  celldrop_wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f \
    || { celldrop_log "setting the DPI to $1 failed"; return 1; }
}
celldrop_dpi_is() {
  "$WINE64" reg query 'HKCU\Control Panel\Desktop' /v LogPixels 2>/dev/null </dev/null \
    | grep -qi "REG_DWORD[[:space:]]*0x$(printf '%x' "$1")[[:space:]]*\$"
}

# A host path as Wine sees it through its Z: drive, which is the whole file system:
# build/x.exe -> Z:\work\repo\build\x.exe.
celldrop_windows_path() {
  local path
  path="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
  printf 'Z:%s' "${path//\//\\}"
}

# Sets the default value of a registry key in the current Wine prefix, making the key when missing.
celldrop_set_default_value() {
  if ! celldrop_wine reg add "$1" /ve /d "$2" /f; then
    celldrop_log "writing the registry key $1 failed"
    return 1
  fi
}

# Registers the tests' stand-ins in the current Wine prefix, from their build in BUILD_DIR:
# - the Excel automation server, so that creating "Excel.Application" starts ExcelStandIn.exe;
# - ChromeStandIn.exe as "chrome.exe" under App Paths, where ShellExecuteExW looks for a program
#   it did not find on the search path;
# - OpenRecorder.exe as the program that opens files of the test type.
# The names are those of tests/standins/chrome/recorder_protocol.h. Every step overwrites what an
# earlier run wrote, so calling it on every run is harmless.
celldrop_register_standins() {
  local exe="$1/tests/standins/excel/ExcelStandIn.exe"
  if ! celldrop_wine "$exe" /RegServer; then
    celldrop_log "registering the Excel stand-in failed: $exe"
    return 1
  fi
  local chrome="$1/tests/standins/chrome/ChromeStandIn.exe"
  local opener="$1/tests/standins/chrome/OpenRecorder.exe"
  for exe in "$chrome" "$opener"; do
    [ -f "$exe" ] || { celldrop_log "stand-in not built: $exe"; return 1; }
  done
  celldrop_set_default_value 'HKLM\Software\Microsoft\Windows\CurrentVersion\App Paths\chrome.exe' \
    "$(celldrop_windows_path "$chrome")"
  # Wine's HKEY_CLASSES_ROOT is HKLM\Software\Classes alone: it does not merge in HKCU\Software\Classes.
  celldrop_set_default_value 'HKLM\Software\Classes\.celldroptest' 'CellDrop.TestFile'
  celldrop_set_default_value 'HKLM\Software\Classes\CellDrop.TestFile\shell\open\command' \
    "\"$(celldrop_windows_path "$opener")\" \"%1\""
}
