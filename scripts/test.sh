#!/usr/bin/env bash
# Builds Daymarker and runs every test: the portable core natively under
# AddressSanitizer and UBSan, the analysers, the fuzz target,
# the checks of the executable, and the Windows build's tests under Wine in a
# fresh prefix on an Xvfb of its own (scripts/wine-session.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "${root}"
bash scripts/setup.sh test

step() { printf '\n== %s\n' "$*"; }
jobs=$(nproc)

step "Formatting"
bash scripts/check-format.sh

step "Core, native, under AddressSanitizer and UBSan"
cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=Debug -DDAYMARKER_SANITIZE=ON \
  -DDAYMARKER_WERROR=ON >/dev/null
cmake --build build/native -j "${jobs}"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build/native --output-on-failure

step "Analysers (clang for MinGW-w64, clang-tidy, cppcheck)"
bash scripts/analyse.sh build/native

step "Fuzzing the settings parser (libFuzzer)"
CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug -DDAYMARKER_FUZZ=ON >/dev/null
cmake --build build/fuzz -j "${jobs}" --target number_text_fuzz
ctest --test-dir build/fuzz --output-on-failure -R fuzz

step "Windows build (MinGW-w64, i686)"
windows_build() {  # build_dir toolchain_file
  cmake -S . -B "$1" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$2" -DCMAKE_BUILD_TYPE=Release \
    -DDAYMARKER_WERROR=ON >/dev/null
  cmake --build "$1" -j "${jobs}"
}
windows_build build/win32 cmake/mingw-i686.cmake

step "Executable hardening (headers, imports, manifest)"
ctest --test-dir build/win32 --output-on-failure --no-tests=error -V -L '^pe$'

step "Win32 tests and the end-to-end test under Wine"
# shellcheck source=scripts/wine-session.sh
source scripts/wine-session.sh
wine_pick_build build/win32
if [ "${WINE_BUILD_DIR}" != build/win32 ]; then
  windows_build "${WINE_BUILD_DIR}" "${WINE_TOOLCHAIN}"
fi
rm -rf "${WINE_BUILD_DIR}/wineprefix"
wine_session_start "${root}/${WINE_BUILD_DIR}/wineprefix"
ctest --test-dir "${WINE_BUILD_DIR}" --output-on-failure -LE '^pe$'
