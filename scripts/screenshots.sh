#!/usr/bin/env bash
# Takes the pictures in docs/: the main window counting down, the tooltip of
# the notification-area icon and the About window, at 96 and 144 DPI. Each
# DPI gets a fresh Wine prefix and an Xvfb on a display X picks as free.
#   bash scripts/screenshots.sh [--dpi N]...
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "${root}"
bash scripts/setup.sh
# shellcheck source=scripts/wine-session.sh
source scripts/wine-session.sh

build=build/screenshots
toolchain=cmake/mingw-i686.cmake
if ! wine_runs_32bit; then
  # The 64-bit build looks the same; it is the one Wine can run on this kernel.
  build=build/screenshots-x86_64
  toolchain=cmake/mingw-x86_64.cmake
  wine_use_64bit "${root}/${build}/winebin"
fi
cmake -S . -B "${build}" -G Ninja -DCMAKE_TOOLCHAIN_FILE="${toolchain}" \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "${build}" --target daymarker peek

python3 tests/e2e/screenshots.py --daymarker "${build}/app/daymarker.exe" \
  --peek "${build}/tests/e2e/peek.exe" --out docs --work "${build}/pictures" "$@"
ls -l docs/*.png
