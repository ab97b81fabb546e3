#!/usr/bin/env bash
# Measures Daymarker under Wine, in a fresh prefix on an Xvfb of its own, next
# to a bare program built with the same options and manifest (one window, one
# edit control, a one-second timer), and prints the figures as the Markdown
# table of the README: start-up, private bytes, the quiet tick and its
# allocations, and the size of the 32-bit executables.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "${root}"
bash scripts/setup.sh test
# shellcheck source=scripts/wine-session.sh
source scripts/wine-session.sh

# Timings are of the 32-bit build, the one that ships, wherever 32-bit Wine
# runs; elsewhere of the 64-bit build of the same sources. Sizes are always
# the 32-bit build's.
wine_pick_build win32
for preset in win32 "${WINE_PRESET}"; do
  cmake --preset "${preset}" >/dev/null
  cmake --build --preset "${preset}" -j "${DAYMARKER_JOBS:-$(nproc)}" \
    --target daymarker bare_window startup_bench tick_bench >/dev/null
done

rm -rf "${WINE_BUILD_DIR}/bench-prefix"
wine_session_start "${root}/${WINE_BUILD_DIR}/bench-prefix"
# Console output from Wine ends its lines with CR LF.
bench() { wine "${WINE_BUILD_DIR}/bench/$1.exe" "${@:2}" | tr -d '\r'; }
echo "| Measure | Daymarker | Bare program | Target | Met |"
echo "| --- | ---: | ---: | --- | --- |"
bench startup_bench 20 "$(winepath -w "${WINE_BUILD_DIR}/app/daymarker.exe")" \
  "$(winepath -w "${WINE_BUILD_DIR}/bench/bare_window.exe")"
bench tick_bench
size=$(stat -c %s build/win32/app/daymarker.exe)
echo "| File size of the 32-bit .exe (bytes) | ${size} | $(stat -c %s build/win32/bench/bare_window.exe)" \
  "| at most 131072 | $([ "${size}" -le 131072 ] && echo yes || echo '**no**') |"
echo
echo "$(date -u +%Y-%m-%d), $(nproc) cores ($(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo |
  head -n 1)), $(wine --version) under Xvfb, the ${WINE_BUILD_DIR#build/} build;" \
  "load average $(cut -d ' ' -f 1-3 /proc/loadavg)"
