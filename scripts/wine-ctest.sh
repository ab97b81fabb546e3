#!/usr/bin/env bash
# Builds the Windows build's tests and runs CTest on them under Wine, in a
# fresh prefix on an Xvfb of its own, as the test command does, passing its
# arguments on to ctest:
#   bash scripts/wine-ctest.sh -R main_window_tests
#   GTEST_FILTER='TrayTest.*' bash scripts/wine-ctest.sh -R main_window_tests
# Wine hands the environment, GTEST_FILTER included, to the test programs.
set -euo pipefail
# shellcheck source=scripts/wine-session.sh
source "$(dirname "$0")/wine-session.sh"
wine_script_open win32 run tests desktop
build "${WINE_PRESET}"
rm -rf "${WINE_BUILD_DIR}/wineprefix"
wine_session_start "${PWD}/${WINE_BUILD_DIR}/wineprefix"
ctest --preset "${WINE_PRESET}" "$@"
