#!/usr/bin/env bash
# Builds the benchmarks and runs them under Wine (a fresh prefix with its own
# Xvfb) next to two bare Win32 programs built with the same options: one
# window with one edit control, and one with the main window's controls.
# Prints one Markdown table of the figures beside their targets, and writes it
# to docs/benchmarks.md with how each figure is taken and a profile of
# Daymarker's own start-up.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "${root}"
bash scripts/setup.sh bench
# shellcheck source=scripts/wine-session.sh
source scripts/wine-session.sh

runs=20
profile_runs=15
win32=build/bench-win32
results=${win32}/results
# Timings are of the 32-bit build, the one that ships, wherever 32-bit Wine
# runs; elsewhere of the 64-bit build of the same sources. Sizes and imports
# are always the 32-bit build's.
wine_pick_build "${win32}"
timed=${WINE_BUILD_DIR}
timed_build="32-bit build, in a fresh 32-bit prefix"
if [ "${timed}" != "${win32}" ]; then
  timed_build="64-bit build (this kernel runs no 32-bit programs), in a fresh 64-bit prefix"
fi

build_windows() {  # build_dir toolchain_file
  cmake -S . -B "$1" -G Ninja --no-warn-unused-cli -DCMAKE_TOOLCHAIN_FILE="$2" \
    -DCMAKE_BUILD_TYPE=Release -DDAYMARKER_BENCH=ON -DDAYMARKER_TESTS=OFF >/dev/null
  cmake --build "$1" -j "$(nproc)" --target daymarker daymarker_probe daymarker_profile \
    bare_window bare_window_probe bare_controls bare_controls_probe bare_controls_profile \
    startup_bench tick_bench >/dev/null
}
echo "== Building (MinGW-w64 i686, Release)" >&2
build_windows "${win32}" cmake/mingw-i686.cmake
if [ "${timed}" != "${win32}" ]; then
  echo "== Building (MinGW-w64 x86_64, Release, for the timings)" >&2
  build_windows "${timed}" "${WINE_TOOLCHAIN}"
fi

rm -rf "${results}"
mkdir -p "${results}/profile"
# Other work on the machine moves the timings most; the notes say how busy it was.
load_before=$(cut -d ' ' -f 1-3 /proc/loadavg)

echo "== Sizes and imports (32-bit)" >&2
for exe in app/daymarker bench/bare_window bench/bare_controls; do
  name=$(basename "${exe}")
  echo "${name}_bytes=$(stat -c %s "${win32}/${exe}.exe")"
  echo "${name}_dlls=$(i686-w64-mingw32-objdump -p "${win32}/${exe}.exe" |
    sed -n 's/^[[:space:]]*DLL Name: //p' | tr '\n' ' ')"
done >"${results}/files.txt"

echo "== Timings under Wine" >&2
rm -rf "${timed}/wineprefix"
wine_session_start "${root}/${timed}/wineprefix"
winpath() { winepath -w "$1" 2>/dev/null; }
# Console output from Wine ends its lines with CR LF.
run_wine() {  # name program [arguments...]: key=value lines to results/name.txt
  local name=$1
  shift
  if ! wine "$@" 2>"${results}/${name}.log" | tr -d '\r' >"${results}/${name}.txt"; then
    echo "$1 failed:" >&2
    cat "${results}/${name}.log" "${results}/${name}.txt" >&2
    exit 1
  fi
}
run_wine tick "${timed}/bench/tick_bench.exe"
programs=()
for program in app/daymarker bench/bare_window bench/bare_controls bench/daymarker_probe \
  bench/bare_window_probe bench/bare_controls_probe; do
  programs+=("$(basename "${program}")=$(winpath "${timed}/${program}.exe")")
done
run_wine startup "${timed}/bench/startup_bench.exe" --runs="${runs}" "${programs[@]}"
# The profile builds end after their first paint; the first round is a warm-up.
profile_folder=$(winpath "${results}/profile")
for run in $(seq 0 "${profile_runs}"); do
  for program in daymarker_profile bare_controls_profile; do
    wine "${timed}/bench/${program}.exe" --startup-probe="${profile_folder}\\${program}-${run}.txt"
  done
done
rm -f "${results}"/profile/*-0.txt
wine_version=$(wine --version)
wine_session_stop

cpu=$(sed -n 's/^model name[[:space:]]*:[[:space:]]*//p' /proc/cpuinfo | head -n 1)
BENCH_DATE=$(date -u '+%Y-%m-%d') BENCH_NPROC=$(nproc) BENCH_CPU=${cpu} \
  BENCH_LOAD="${load_before} before, $(cut -d ' ' -f 1-3 /proc/loadavg) after" \
  BENCH_WINE=${wine_version} BENCH_TIMED=${timed_build} BENCH_RESULTS=${results} \
  python3 bench/table.py
echo "(written to docs/benchmarks.md; raw figures in ${results})" >&2
