#!/usr/bin/env bash
# Builds Daymarker and starts it under Wine, in a desktop window with a
# taskbar so the notification-area icon has somewhere to live: on the display
# in DISPLAY, or on an Xvfb of its own where there is none. The Wine prefix is
# kept between runs in DAYMARKER_WINEPREFIX (default ~/.wine-daymarker);
# DAYMARKER_JOBS limits the parallel compiles (default: one per core).
set -euo pipefail
# shellcheck source=scripts/wine-session.sh
source "$(dirname "$0")/wine-session.sh"
parts=(run)
if [ -z "${DISPLAY:-}" ]; then
  parts+=(desktop)  # ImageMagick's import, to look at the Xvfb it then runs on
fi
wine_script_open release "${parts[@]}"
prefix=${DAYMARKER_WINEPREFIX:-${HOME}/.wine-daymarker}
if [ "${WINE_PRESET}" != release ]; then
  prefix=${DAYMARKER_WINEPREFIX:-${HOME}/.wine-daymarker-64}  # a 32-bit prefix cannot serve
fi
build "${WINE_PRESET}"

# The desktop is 800x600 at 96 DPI and grows with the DPI the prefix is set
# to, so that the windows, which grow with it, still fit above the taskbar.
dpi=$(sed -n '/^\[Control Panel\\\\Desktop\]/,/^\[/s/^"LogPixels"=dword:\([0-9a-f]*\)$/\1/p' \
  "${prefix}/user.reg" 2>/dev/null || true)
dpi=$((16#${dpi:-60}))
[ "${dpi}" -ge 96 ] || dpi=96
if [ ! -f "${prefix}/system.reg" ]; then
  echo "Making the Wine prefix ${prefix}: once, and it takes a while."
fi
wine_session_start --on-display "${prefix}" "$((800 * dpi / 96))x$((600 * dpi / 96))"
if [ -n "${WINE_SESSION_XVFB_PID:-}" ]; then
  echo "No display: Daymarker runs on Xvfb ${DISPLAY} (see it with:" \
    "DISPLAY=${DISPLAY} import -window root shot.png). Ctrl+C ends it."
fi

# However the script ends, Daymarker is closed as a user closes it, so that it
# saves its settings (WM_CLOSE to its windows: taskkill without /f), and Wine
# and the Xvfb stop only once it is gone.
close_daymarker() {
  if kill -0 "${daymarker}" 2>/dev/null; then
    echo "Closing Daymarker."
    wine taskkill /im daymarker.exe >/dev/null 2>&1 || true
    for _ in $(seq 100); do
      kill -0 "${daymarker}" 2>/dev/null || break
      sleep 0.1
    done
  fi
  wine_session_stop
}
# A session of its own, so that Ctrl+C reaches only this script.
setsid wine "${PWD}/${WINE_BUILD_DIR}/app/daymarker.exe" &
daymarker=$!
trap close_daymarker EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP
wait "${daymarker}"
