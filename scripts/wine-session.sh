# shellcheck shell=bash
# The opening every script that runs Windows programs under Wine shares (tests,
# run, screenshots, benchmarks, mutation), so that all of them set up, pick the
# build and bring up the session the same way:
#   wine_script_open PRESET SETUP_PART...
#       into the source tree, installs those parts of scripts/setup.sh, and
#       picks the build of PRESET that Wine can run here (wine_pick_build)
#   build PRESET [cmake --build options...]
#       configures and builds a preset (DAYMARKER_JOBS jobs, default one a core)
#   wine_pick_build PRESET
#       sets WINE_PRESET and WINE_BUILD_DIR: the CMake preset of the build that
#       Wine can run here (PRESET, or PRESET-x86_64), and its build folder
#   wine_session_start [--on-display] PREFIX_DIR [WIDTHxHEIGHT [DPI]]
#       a display (a new Xvfb; with --on-display the one in DISPLAY, if any),
#       the prefix (made once, with a taskbar desktop; DPI applies when it is
#       made), one wineserver and the desktop; exports DISPLAY and WINEPREFIX,
#       and stops it all when the calling script exits
#   wine_session_stop
# The prefix is 32-bit, or 64-bit after wine_use_64bit (which wine_pick_build
# calls where 32-bit Wine cannot run).

wine_session_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

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

# The 32-bit build of PRESET is the one that ships. Where 32-bit Wine cannot
# run (the kernel runs no 32-bit programs, or it could not be installed), a
# 64-bit build of the same sources (PRESET-x86_64) takes its place under
# 64-bit Wine.
# shellcheck disable=SC2034  # the variables are for the scripts that source this file
wine_pick_build() {
  WINE_PRESET=$1
  if ! wine_runs_32bit; then
    echo "32-bit Wine does not run here (not installed, or a kernel without 32-bit programs):" \
      "using a 64-bit build of the same sources (preset ${1}-x86_64) under 64-bit Wine." >&2
    WINE_PRESET=$1-x86_64
    wine_use_64bit "${wine_session_root}/build/${WINE_PRESET}/winebin"
  fi
  WINE_BUILD_DIR=build/${WINE_PRESET}
}

wine_script_open() {
  cd "${wine_session_root}" || return
  bash scripts/setup.sh "${@:2}"
  wine_pick_build "$1"
}

build() {
  cmake --preset "$1" >/dev/null
  cmake --build --preset "$@" -j "${DAYMARKER_JOBS:-$(nproc)}"
}

wine_session_stop() {
  if [ -n "${WINEPREFIX:-}" ]; then
    wineserver -k >/dev/null 2>&1 || true
  fi
  if [ -n "${WINE_SESSION_XVFB_PID:-}" ]; then
    kill "${WINE_SESSION_XVFB_PID}" >/dev/null 2>&1 || true
    wait "${WINE_SESSION_XVFB_PID}" 2>/dev/null || true
    WINE_SESSION_XVFB_PID=""
  fi
}

# Starts an Xvfb on a display it picks as free itself (-displayfd), so that
# sessions started side by side never share one, and exports DISPLAY. The
# session's programs run in sessions of their own (setsid): Ctrl+C in a
# terminal reaches only the script, which then ends them in order.
wine_start_xvfb() {
  local displayfile
  displayfile=$(mktemp)
  setsid Xvfb -displayfd 3 -screen 0 "$1x24" -nolisten tcp 3>"${displayfile}" >/dev/null 2>&1 &
  WINE_SESSION_XVFB_PID=$!
  for _ in $(seq 100); do
    [ ! -s "${displayfile}" ] || break
    sleep 0.1
  done
  DISPLAY=":$(head -n 1 "${displayfile}")"
  rm -f "${displayfile}"
  [ "${DISPLAY}" != : ] || { echo "Xvfb did not start" >&2; return 1; }
  export DISPLAY
}

wine_session_start() {
  local on_display=""
  if [ "${1:-}" = --on-display ]; then
    on_display=yes
    shift
  fi
  local prefix=$1 size=${2:-1024x768} dpi=${3:-}
  export WINEPREFIX=$prefix WINEARCH=${WINE_SESSION_ARCH:-win32} WINEDEBUG=${WINEDEBUG:--all}
  export WINEDLLOVERRIDES="mscoree,mshtml="  # no offer to install .NET or Gecko
  trap wine_session_stop EXIT
  if [ -z "${on_display}" ] || [ -z "${DISPLAY:-}" ]; then
    wine_start_xvfb "${size}"
  fi

  local made=""
  if [ ! -f "${WINEPREFIX}/system.reg" ]; then
    mkdir -p "${WINEPREFIX}"
    wineboot -i >/dev/null 2>&1
    # Debian's Wine does not look in its own font folder: without Tahoma and
    # Marlett in the prefix, captions and title-bar buttons draw wrongly.
    cp -n /usr/share/wine/fonts/*.ttf "${WINEPREFIX}/drive_c/windows/Fonts/" 2>/dev/null || true
    if [ -n "${dpi}" ]; then
      # Read by each Wine process as it starts, the desktop's included.
      wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "${dpi}" /f \
        >/dev/null 2>&1
    fi
    made=yes
  fi
  # Every program runs in a desktop named "shell", which has a taskbar, at the
  # session's size: the first program to start makes the desktop, with the
  # size it finds here.
  if ! grep -qsxF "\"shell\"=\"${size}\"" "${WINEPREFIX}/user.reg"; then
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d shell /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v shell /d "${size}" /f >/dev/null 2>&1
    made=yes
  fi
  if [ -n "${made}" ]; then
    wineserver -k  # the server that made it goes; the session's own follows
  fi
  wineserver -p
  # Start the desktop and Wine's services now, with no output to hold open:
  # started from a test they would inherit its pipe and keep the runner waiting.
  setsid wine explorer "/desktop=shell,${size}" >/dev/null 2>&1 &
  wine cmd /c exit >/dev/null 2>&1
}
