#!/usr/bin/env bash
# Takes the pictures in docs/: the main window counting down, the tooltip of
# the notification-area icon and the About window, at 96 and 144 DPI, each DPI
# in a fresh Wine prefix on an Xvfb of its own.
#   bash scripts/screenshots.sh [DPI...]
set -euo pipefail
# shellcheck source=scripts/wine-session.sh
source "$(dirname "$0")/wine-session.sh"
# The tests' build; the 64-bit one, where it has to stand in, looks the same.
wine_script_open win32 run tests desktop
build "${WINE_PRESET}" --target daymarker peek

dpis=("$@")
if [ "${#dpis[@]}" -eq 0 ]; then
  dpis=(96 144)
fi
for dpi in "${dpis[@]}"; do
  prefix=${PWD}/${WINE_BUILD_DIR}/screenshots-${dpi}
  rm -rf "${prefix}"
  wine_session_start "${prefix}" 1280x960 "${dpi}"
  python3 scripts/screenshots.py --daymarker "${WINE_BUILD_DIR}/app/daymarker.exe" \
    --peek "${WINE_BUILD_DIR}/tests/e2e/peek.exe" --out docs --dpi "${dpi}"
  wine_session_stop
done
ls -l docs/*.png
