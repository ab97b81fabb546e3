# shellcheck shell=bash
# Sourced by the scripts that run Win32 programs under Wine. Starts an Xvfb of
# its own on a free display, makes (once) a Wine prefix whose desktop has a
# taskbar and notification area, keeps one wineserver running, and stops all
# of it when the calling script exits.
#   wine_session_start PREFIX_DIR [WIDTHxHEIGHT]
# The prefix is 32-bit, or 64-bit after wine_use_64bit.

# 32-bit Wine is a 32-bit Linux program: it runs only where the kernel runs
# those (some kernels have their 32-bit support switched off).
wine_runs_32bit() {
  /usr/lib/wine/wine --version >/dev/null 2>&1
}

# From here on wine, wineboot and winepath are 64-bit Wine, through small
# wrappers in BIN_DIR (Debian's own commands pick 32-bit Wine whenever it is
# installed), and new prefixes are 64-bit.
#   wine_use_64bit BIN_DIR
wine_use_64bit() {
  local bin=$1 tool
  mkdir -p "${bin}"
  printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' >"${bin}/wine"
  for tool in wineboot winepath; do
    printf '#!/bin/sh\nexec /usr/lib/wine/wine64 %s "$@"\n' "${tool}" >"${bin}/${tool}"
  done
  chmod +x "${bin}/wine" "${bin}/wineboot" "${bin}/winepath"
  export PATH="${bin}:${PATH}" WINELOADER=/usr/lib/wine/wine64 WINE_SESSION_ARCH=win64
}

wine_session_stop() {
  if [ -n "${WINEPREFIX:-}" ]; then
    wineserver -k >/dev/null 2>&1 || true
  fi
  if [ -n "${WINE_SESSION_XVFB_PID:-}" ]; then
    kill "${WINE_SESSION_XVFB_PID}" >/dev/null 2>&1 || true
    WINE_SESSION_XVFB_PID=""
  fi
}

# Debian's Wine does not look in its own font folder: without Tahoma and
# Marlett in the prefix, captions and title-bar buttons draw wrongly.
wine_install_fonts() {
  if [ -d /usr/share/wine/fonts ]; then
    mkdir -p "${WINEPREFIX}/drive_c/windows/Fonts"
    cp -n /usr/share/wine/fonts/*.ttf "${WINEPREFIX}/drive_c/windows/Fonts/" 2>/dev/null || true
  fi
}

wine_session_start() {
  local prefix=$1
  local size=${2:-1024x768}
  export WINEPREFIX=$prefix WINEARCH=${WINE_SESSION_ARCH:-win32} WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="
  trap wine_session_stop EXIT

  # The X server picks a free display itself and tells which (-displayfd), so
  # sessions started side by side never share one.
  local displayfile
  displayfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"${displayfile}" >/dev/null 2>&1 &
  WINE_SESSION_XVFB_PID=$!
  local waited=0
  until [ -s "${displayfile}" ]; do
    sleep 0.1
    waited=$((waited + 1))
    if [ "${waited}" -gt 100 ]; then
      echo "Xvfb did not start" >&2
      rm -f "${displayfile}"
      return 1
    fi
  done
  DISPLAY=":$(head -n 1 "${displayfile}")"
  export DISPLAY
  rm -f "${displayfile}"

  if [ ! -f "${WINEPREFIX}/system.reg" ]; then
    mkdir -p "${WINEPREFIX}"
    wineboot -i >/dev/null 2>&1
    wine_install_fonts
    # Every program runs in a desktop named "shell", which has a taskbar.
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d shell /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v shell /d "${size}" /f >/dev/null 2>&1
    wineserver -k
  fi
  wineserver -p
  # Start the desktop and Wine's services now, with no output to hold open:
  # started from a test they would inherit its pipe and keep the runner waiting.
  wine explorer "/desktop=shell,${size}" >/dev/null 2>&1 &
  wine cmd /c exit >/dev/null 2>&1
}
