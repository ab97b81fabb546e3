#!/usr/bin/env bash
# Builds Daymarker and runs every test: the portable core natively under
# AddressSanitizer and UBSan, the analysers, the fuzz target, the checks of
# the executable, and the Windows build's tests under Wine in a fresh prefix
# on an Xvfb of its own (scripts/wine-session.sh); last, that each of the
# README's examples of running one test selects one. Each build is a preset of
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

# The release again, from a copy of the sources in another folder and compiled
# afresh (a cached object could carry the first build's folder): it must be the
# same bytes wherever it is built, and the tested build's, so that the
# executable checks below read the release. Its hash must check out as well.
step "Release build from a copy of the sources elsewhere: the tested build to the byte"
elsewhere=$(mktemp -d)
trap 'rm -rf "${elsewhere}"' EXIT
copy=${elsewhere}/another/folder
mkdir -p "${copy}"
tar -c --exclude=./build --exclude=./.git . | tar -x -C "${copy}"
(cd "${copy}" && CCACHE_DISABLE=1 build release >/dev/null)
for file in daymarker.exe daymarker.exe.sha256; do
  cmp "${copy}/build/release/app/${file}" "build/win32/app/${file}" ||
    { echo "${file}: the release differs from the tested build" >&2; exit 1; }
done
(cd "${copy}/build/release/app" && sha256sum --quiet -c daymarker.exe.sha256)
rm -rf "${elsewhere}"

step "Executable hardening (headers, imports, manifest, size)"
ctest --preset win32-pe

step "Win32 tests and the end-to-end test under Wine"
[ "${WINE_PRESET}" = win32 ] || build "${WINE_PRESET}"
rm -rf "${WINE_BUILD_DIR}/wineprefix"
wine_session_start "${PWD}/${WINE_BUILD_DIR}/wineprefix"
ctest --preset "${WINE_PRESET}"

# A test filter that matches nothing passes, so a stale example would not show.
step "The README's examples of running one test each select a test"
python3 scripts/check-readme-examples.py "${WINE_PRESET}"
