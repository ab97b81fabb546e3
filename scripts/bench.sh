#!/usr/bin/env bash
# Measures Daymarker under Wine, in a fresh prefix on an Xvfb of its own, next
# to two programs built with the same options and manifest: one with its main
# window's controls and menu but none of its logic, the floor its targets are
# set against, and a bare window for reference. Prints the figures as the
# Markdown table of docs/benchmarks.md, which holds a run pasted by hand (no
# file is written): start-up, private bytes, the quiet tick and its
# allocations, and the size of the 32-bit executables.
set -euo pipefail
# shellcheck source=scripts/wine-session.sh
source "$(dirname "$0")/wine-session.sh"
# Timings are of the 32-bit build, the one that ships, wherever 32-bit Wine
# runs; elsewhere of the 64-bit build of the same sources. Sizes are always
# the 32-bit build's.
wine_script_open win32 run tests
programs=(app/daymarker.exe bench/same_controls.exe bench/bare_window.exe)
for preset in win32 "${WINE_PRESET}"; do
  build "${preset}" --target daymarker same_controls bare_window startup_bench tick_bench >/dev/null
done

rm -rf "${WINE_BUILD_DIR}/bench-prefix"
wine_session_start "${PWD}/${WINE_BUILD_DIR}/bench-prefix"
# Console output from Wine ends its lines with CR LF.
bench() { wine "${WINE_BUILD_DIR}/bench/$1.exe" "${@:2}" | tr -d '\r'; }
echo "| Measure | Daymarker | Same controls | Bare window | Target | Met |"
echo "| --- | ---: | ---: | ---: | --- | --- |"
mapfile -t paths < <(for program in "${programs[@]}"; do
  winepath -w "${WINE_BUILD_DIR}/${program}"; done)
bench startup_bench 20 "${paths[@]}"
bench tick_bench
read -r -a sizes <<<"$(cd build/win32 && stat -c %s "${programs[@]}" | xargs)"
echo "| File size of the 32-bit .exe (bytes) | ${sizes[*]/%/ |} at most 131072" \
  "| $([ "${sizes[0]}" -le 131072 ] && echo yes || echo '**no**') |"
echo
echo "$(date -u +%Y-%m-%d), $(nproc) cores ($(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo |
  head -n 1)), $(wine --version) under Xvfb, the ${WINE_BUILD_DIR#build/} build;" \
  "load average $(cut -d ' ' -f 1-3 /proc/loadavg)"
