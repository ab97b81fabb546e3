#!/usr/bin/env bash
# Builds Daymarker and runs every test: the portable core natively under
# AddressSanitizer and UBSan, the analysers, the fuzz target, the checks of
# the executable, and the Windows build's tests under Wine in a fresh prefix
# on an Xvfb of its own (scripts/wine-session.sh). Each build is a preset of
# CMakePresets.json; DAYMARKER_JOBS limits the parallel compiles.
set -euo pipefail
# shellcheck source=scripts/wine-session.sh
source "$(dirname "$0")/wine-session.sh"
wine_script_open win32 run tests desktop analysers
step() { printf '\n== %s\n' "$*"; }

step "Formatting"
bash scripts/check-format.sh

step "Core, native, under AddressSanitizer and UBSan"
build native
ctest --preset native

step "Analysers (clang for MinGW-w64, clang-tidy, cppcheck)"
bash scripts/analyse.sh

step "Fuzzing the settings parser (libFuzzer)"
build fuzz
ctest --preset fuzz

step "Windows build (MinGW-w64, i686)"
build win32

step "Executable hardening (headers, imports, manifest)"
ctest --preset win32-pe

step "Win32 tests and the end-to-end test under Wine"
[ "${WINE_PRESET}" = win32 ] || build "${WINE_PRESET}"
rm -rf "${WINE_BUILD_DIR}/wineprefix"
wine_session_start "${PWD}/${WINE_BUILD_DIR}/wineprefix"
ctest --preset "${WINE_PRESET}"
