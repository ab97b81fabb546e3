#!/usr/bin/env bash
# Builds Daymarker and runs every test: the portable core natively (plain,
# then under AddressSanitizer and UBSan), the fuzz target, the analysers,
# and the Windows build under Wine in a fresh prefix with its own Xvfb.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "${root}"
bash scripts/setup.sh

step() { printf '\n== %s\n' "$*"; }
jobs=$(nproc)

step "Formatting"
bash scripts/check-format.sh

step "Core, native"
cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=Debug -DDAYMARKER_WERROR=ON >/dev/null
cmake --build build/native -j "${jobs}"
ctest --test-dir build/native --output-on-failure

step "Analysers (clang-tidy, cppcheck)"
bash scripts/analyse.sh build/native

step "Core, AddressSanitizer and UBSan"
cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DDAYMARKER_SANITIZE=ON -DDAYMARKER_WERROR=ON >/dev/null
cmake --build build/asan -j "${jobs}" --target core_tests
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --test-dir build/asan --output-on-failure -R core_tests

step "Fuzzing the settings parser (libFuzzer)"
CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug -DDAYMARKER_FUZZ=ON >/dev/null
cmake --build build/fuzz -j "${jobs}"
ctest --test-dir build/fuzz --output-on-failure -R fuzz

step "Windows build (MinGW-w64, i686)"
cmake -S . -B build/win32 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
  -DCMAKE_BUILD_TYPE=Release -DDAYMARKER_WERROR=ON >/dev/null
cmake --build build/win32 -j "${jobs}"

step "Executable hardening (headers, imports, manifest)"
ctest --test-dir build/win32 --output-on-failure --no-tests=error -V -L '^pe$'

step "Win32 tests under Wine"
# shellcheck source=scripts/wine-session.sh
source scripts/wine-session.sh
tests=build/win32
if ! wine_runs_32bit; then
  echo "This kernel does not run 32-bit programs, so neither does Wine: the Win32"
  echo "tests run in a 64-bit build of the same sources, under 64-bit Wine."
  tests=build/win64
  cmake -S . -B "${tests}" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake \
    -DCMAKE_BUILD_TYPE=Release -DDAYMARKER_WERROR=ON >/dev/null
  cmake --build "${tests}" -j "${jobs}"
  wine_use_64bit "${root}/${tests}/winebin"
fi
rm -rf "${tests}/wineprefix"
wine_session_start "${root}/${tests}/wineprefix"
ctest --test-dir "${tests}" --output-on-failure -LE '^pe$'
