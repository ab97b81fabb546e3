#!/usr/bin/env bash
# Builds Daymarker and starts it under Wine, in a desktop window with a
# taskbar so the notification-area icon has somewhere to live: on the display
# in DISPLAY, or on an Xvfb of its own where there is none. The Wine prefix is
# kept between runs in DAYMARKER_WINEPREFIX (default ~/.wine-daymarker);
# DAYMARKER_JOBS limits the parallel compiles (default: one per core).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "${root}"
bash scripts/setup.sh run
# shellcheck source=scripts/wine-session.sh
source scripts/wine-session.sh

wine_pick_build release
prefix=${DAYMARKER_WINEPREFIX:-${HOME}/.wine-daymarker}
if [ "${WINE_PRESET}" != release ]; then
  prefix=${DAYMARKER_WINEPREFIX:-${HOME}/.wine-daymarker-64}  # a 32-bit prefix cannot serve
fi
cmake --preset "${WINE_PRESET}" >/dev/null
cmake --build --preset "${WINE_PRESET}" -j "${DAYMARKER_JOBS:-$(nproc)}"

if [ ! -f "${prefix}/system.reg" ]; then
  echo "Making the Wine prefix ${prefix}: once, and it takes a while."
fi
wine_session_start --on-display "${prefix}" 800x600
if [ -n "${WINE_SESSION_XVFB_PID:-}" ]; then
  echo "No display: Daymarker runs on Xvfb ${DISPLAY} (see it with:" \
    "DISPLAY=${DISPLAY} import -window root shot.png). Ctrl+C ends it."
fi
# In the background, so that Ctrl+C or a TERM ends the wait at once and the
# session is stopped on the way out.
wine "${root}/${WINE_BUILD_DIR}/app/daymarker.exe" &
wait $!
