#!/usr/bin/env bash
# Takes the pictures in docs/: the main window counting down, the tooltip of
# the notification-area icon and the About window, at 96 and 144 DPI. Each
# DPI gets a fresh Wine prefix and an Xvfb on a display X picks as free.
#   bash scripts/screenshots.sh [--dpi N]...
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "${root}"
bash scripts/setup.sh

build=build/screenshots
cmake -S . -B "${build}" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "${build}" --target daymarker peek

python3 tests/e2e/screenshots.py --daymarker "${build}/app/daymarker.exe" \
  --peek "${build}/tests/e2e/peek.exe" --out docs --work "${build}/pictures" "$@"
ls -l docs/*.png
