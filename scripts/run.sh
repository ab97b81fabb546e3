#!/usr/bin/env bash
# Builds Daymarker and starts it: under Wine on Linux, in a desktop window
# with a taskbar so the notification-area icon has somewhere to live.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "${root}"
bash scripts/setup.sh
# shellcheck source=scripts/wine-session.sh
source scripts/wine-session.sh

build=build/release
toolchain=cmake/mingw-i686.cmake
prefix=${DAYMARKER_WINEPREFIX:-${HOME}/.wine-daymarker}
if ! wine_runs_32bit; then
  echo "This kernel does not run 32-bit programs, so neither does Wine:" \
    "starting a 64-bit build of Daymarker instead."
  build=build/release-x86_64
  toolchain=cmake/mingw-x86_64.cmake
  prefix=${DAYMARKER_WINEPREFIX:-${HOME}/.wine-daymarker-64}
  wine_use_64bit "${root}/${build}/winebin"
fi
cmake -S . -B "${build}" -G Ninja -DCMAKE_TOOLCHAIN_FILE="${toolchain}" \
  -DCMAKE_BUILD_TYPE=Release -DDAYMARKER_TESTS=OFF >/dev/null
cmake --build "${build}" --target daymarker

export WINEPREFIX=${prefix} WINEARCH=${WINE_SESSION_ARCH:-win32}
export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="
if [ -z "${DISPLAY:-}" ]; then
  display=99
  while [ -e "/tmp/.X11-unix/X${display}" ]; do display=$((display + 1)); done
  Xvfb ":${display}" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  trap 'wineserver -k >/dev/null 2>&1 || true; kill ${xvfb} 2>/dev/null || true' EXIT
  export DISPLAY=":${display}"
  sleep 1
  echo "No display: Daymarker runs on Xvfb ${DISPLAY}" \
    "(see it with: DISPLAY=${DISPLAY} import -window root shot.png). Ctrl+C ends it."
fi
if [ ! -f "${WINEPREFIX}/system.reg" ]; then
  wineboot -i >/dev/null 2>&1
  wine_install_fonts
fi
wine explorer /desktop=shell,800x600 "${root}/${build}/app/daymarker.exe"
