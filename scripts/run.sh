#!/usr/bin/env bash
# Builds Daymarker and starts it: under Wine on Linux, in a desktop window
# with a taskbar so the notification-area icon has somewhere to live.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "${root}"
bash scripts/setup.sh

cmake -S . -B build/release -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
  -DCMAKE_BUILD_TYPE=Release -DDAYMARKER_TESTS=OFF >/dev/null
cmake --build build/release --target daymarker

export WINEPREFIX=${DAYMARKER_WINEPREFIX:-${HOME}/.wine-daymarker} WINEARCH=win32
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
# shellcheck source=scripts/wine-session.sh
source scripts/wine-session.sh
if [ ! -f "${WINEPREFIX}/system.reg" ]; then
  wineboot -i >/dev/null 2>&1
  wine_install_fonts
fi
wine explorer /desktop=shell,800x600 "${root}/build/release/app/daymarker.exe"
