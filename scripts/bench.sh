#!/usr/bin/env bash
# Builds the benchmarks, runs them next to a bare Win32 program built with the
# same options (the Windows ones under Wine, in a fresh prefix with its own
# Xvfb), and prints one Markdown table of the figures beside their targets.
# The same table, with how and where it was made, goes to docs/benchmarks.md.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "${root}"
bash scripts/setup.sh
# shellcheck source=scripts/wine-session.sh
source scripts/wine-session.sh

jobs=$(nproc)
native=build/bench-native
win32=build/bench-win32
results=${win32}/results
# The Wine timings are of the 32-bit build, the one that ships, wherever the
# kernel runs 32-bit programs; elsewhere of the 64-bit build of the same sources.
timed=${win32}
timed_build="32-bit build, in a fresh 32-bit prefix"
if ! wine_runs_32bit; then
  timed=build/bench-win64
  timed_build="64-bit build (this kernel runs no 32-bit programs), in a fresh 64-bit prefix"
fi

echo "== Building (native core, Release)" >&2
cmake -S . -B "${native}" -G Ninja -DCMAKE_BUILD_TYPE=Release -DDAYMARKER_BENCH=ON \
  -DDAYMARKER_TESTS=OFF >/dev/null
cmake --build "${native}" -j "${jobs}" --target core_bench >/dev/null

build_windows() {  # build_dir toolchain_file
  cmake -S . -B "$1" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$2" \
    -DCMAKE_BUILD_TYPE=Release -DDAYMARKER_BENCH=ON -DDAYMARKER_TESTS=OFF >/dev/null
  cmake --build "$1" -j "${jobs}" --target daymarker daymarker_probe bare_window \
    bare_window_probe startup_bench tick_bench >/dev/null
}
echo "== Building (MinGW-w64 i686, Release)" >&2
build_windows "${win32}" cmake/mingw-i686.cmake
if [ "${timed}" != "${win32}" ]; then
  echo "== Building (MinGW-w64 x86_64, Release, for the Wine timings)" >&2
  build_windows "${timed}" cmake/mingw-x86_64.cmake
  wine_use_64bit "${root}/${timed}/winebin"
fi

rm -rf "${results}"
mkdir -p "${results}"
# Other work on the machine moves the Wine figures most; the table says how busy it was.
load_before=$(cut -d ' ' -f 1-3 /proc/loadavg)

echo "== Core timings (native)" >&2
"${native}/bench/core_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
  --benchmark_min_time=0.2 --benchmark_out="${results}/core.json" --benchmark_out_format=json \
  >/dev/null 2>"${results}/core.log"

echo "== Sizes and imports" >&2
exe_info() {  # name path: size in bytes and the DLLs the file imports
  local name=$1 path=$2
  echo "${name}_bytes=$(stat -c %s "${path}")"
  echo "${name}_dlls=$(i686-w64-mingw32-objdump -p "${path}" | sed -n 's/^[[:space:]]*DLL Name: //p' |
    tr '\n' ' ' | sed 's/ $//')"
}
{
  exe_info daymarker "${win32}/app/daymarker.exe"
  exe_info bare "${win32}/bench/bare_window.exe"
} >"${results}/files.txt"

echo "== Win32 timings under Wine" >&2
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
run_wine startup "${timed}/bench/startup_bench.exe" --runs=20 \
  --daymarker="$(winpath "${timed}/app/daymarker.exe")" \
  --bare="$(winpath "${timed}/bench/bare_window.exe")" \
  --daymarker-probe="$(winpath "${timed}/bench/daymarker_probe.exe")" \
  --bare-probe="$(winpath "${timed}/bench/bare_window_probe.exe")"
wine_version=$(wine --version)
wine_session_stop

echo "== Table" >&2
cpu=$(sed -n 's/^model name[[:space:]]*:[[:space:]]*//p' /proc/cpuinfo | head -n 1)
BENCH_DATE=$(date -u '+%Y-%m-%d %H:%M UTC') BENCH_NPROC=$(nproc) BENCH_CPU=${cpu} \
  BENCH_LOAD="${load_before} before, $(cut -d ' ' -f 1-3 /proc/loadavg) after" \
  BENCH_WINE=${wine_version} BENCH_TIMED=${timed_build} BENCH_RESULTS=${results} python3 - <<'PY'
import json
import os

results = os.environ["BENCH_RESULTS"]


def key_values(name):
    values = {}
    with open(os.path.join(results, name)) as lines:
        for line in lines:
            key, sep, value = line.strip().partition("=")
            if sep:
                values[key] = value
    return values


tick = key_values("tick.txt")
start = key_values("startup.txt")
files = key_values("files.txt")
with open(os.path.join(results, "core.json")) as core_file:
    core = json.load(core_file)

# DLLs that every supported Windows has in System32.
windows_dlls = {
    "advapi32.dll", "comctl32.dll", "comdlg32.dll", "gdi32.dll", "kernel32.dll", "msvcrt.dll",
    "ole32.dll", "oleaut32.dll", "shell32.dll", "shlwapi.dll", "user32.dll", "uxtheme.dll",
    "version.dll", "psapi.dll", "dwmapi.dll", "imm32.dll", "winmm.dll", "ntdll.dll",
}


def ok(met):
    return "yes" if met else "**no**"


def number(text, digits=1):
    return f"{float(text):,.{digits}f}"


rows = []


def row(measure, daymarker, floor, target, met):
    rows.append(f"| {measure} | {daymarker} | {floor} | {target} | {met} |")


runs = start["runs"]
day_ms, bare_ms = float(start["daymarker_start_ms_median"]), float(start["bare_start_ms_median"])
ratio = day_ms / bare_ms
row(f"Start-up, CreateProcess to visible window (ms, median of {runs})", number(day_ms),
    number(bare_ms), "within 1.2x the bare program", f"{ok(ratio <= 1.2)} ({ratio:.2f}x)")
probe_day, probe_bare = float(start["daymarker_probe_ms_median"]), float(start["bare_probe_ms_median"])
probe_ratio = probe_day / probe_bare
row(f"Own start-up, wWinMain to end of first paint (ms, median of {runs})", number(probe_day),
    number(probe_bare), "within 1.2x the bare program",
    f"{ok(probe_ratio <= 1.2)} ({probe_ratio:.2f}x)")

quiet = float(tick["tick_no_rebuild_us_median"])
row("Tick without a rebuild, \"Every Hour\" (us, median of 31 batches of 3,000)",
    number(quiet, 3), "-", "under 5 us", ok(quiet < 5))
allocations = int(tick["tick_no_rebuild_allocations"])
row(f"C++ heap allocations during {int(tick['tick_no_rebuild_ticks']):,} ticks without a rebuild",
    str(allocations), "-", "0", ok(allocations == 0))
row("Tick with a rebuild, \"Every Second\" (us, median); floor: SetWindowTextW of the line",
    number(tick["tick_rebuild_us_median"]), number(tick["set_window_text_us_median"]),
    "none set", "-")
row("Part of a rebuild: the notification-area tip of the line (us, median)",
    number(tick["tray_tip_us_median"]), "-", "none set", "-")
row("C++ heap allocations per tick with a rebuild",
    number(tick["tick_rebuild_allocations_per_tick"], 2), "-", "none set", "-")

# Wine leaves PrivateUsage at 0 for another process; its PagefileUsage is
# the same commit charge (on Windows the two are equal).
private_counter = "PrivateUsage"
if float(start["daymarker_private_kib_median"]) == 0 or float(start["bare_private_kib_median"]) == 0:
    private_counter = "PagefileUsage"
field = "private" if private_counter == "PrivateUsage" else "pagefile"
day_private = float(start[f"daymarker_{field}_kib_median"])
bare_private = float(start[f"bare_{field}_kib_median"])
row(f"Private bytes after the window shows (KiB, {private_counter}, median of {runs})",
    number(day_private, 0), number(bare_private, 0), "within 1 MiB of the bare program",
    f"{ok(day_private - bare_private <= 1024)} (+{day_private - bare_private:,.0f} KiB)")
row(f"Working set after the window shows (KiB, median of {runs})",
    number(start["daymarker_working_set_kib_median"], 0),
    number(start["bare_working_set_kib_median"], 0), "none set", "-")

size = int(files["daymarker_bytes"])
row("daymarker.exe file size (KiB)", number(size / 1024), number(int(files["bare_bytes"]) / 1024),
    "under 200 KiB", f"{ok(size < 200 * 1024)} ({(size - 200 * 1024) / 1024:+,.1f} KiB)")
dlls = files["daymarker_dlls"].split()
foreign = [dll for dll in dlls if dll.lower() not in windows_dlls]
row("DLL imports", ", ".join(dlls), ", ".join(files["bare_dlls"].split()),
    "only DLLs Windows ships", ok(not foreign) + (f" ({', '.join(foreign)})" if foreign else ""))

for entry in core["benchmarks"]:
    if entry.get("aggregate_name") != "median":
        continue
    name = entry["run_name"].removeprefix("BM_")
    unit = entry.get("time_unit", "ns")
    row(f"Core, native: {name} ({unit}, median of 5)", number(entry["real_time"], 1), "-",
        "none set", "-")

table = "\n".join([
    "| Measure | Daymarker | Floor (bare program or call) | Target | Met |",
    "| --- | ---: | ---: | --- | --- |",
    *rows,
])
print(table)

failures = int(start.get("failures", "0"))
notes = f"""# Benchmarks

Produced by `bash scripts/bench.sh` on {os.environ["BENCH_DATE"]}.
Machine: {os.environ["BENCH_NPROC"]} cores, {os.environ["BENCH_CPU"]}; {os.environ["BENCH_WINE"]}
under Xvfb with a taskbar desktop. Wine timings: the {os.environ["BENCH_TIMED"]}.
File size and imports: the 32-bit `daymarker.exe`, the one that ships.
Load average (1, 5, 15 minutes): {os.environ["BENCH_LOAD"]}.

{table}

How each figure is taken:

- Start-up: `startup_bench.exe` starts `daymarker.exe` and `bare_window.exe` in turn, {runs}
  times each after one unmeasured start of each, from just before `CreateProcessW` until
  `EnumWindows` finds a visible top-level window of the child (polled every 1 ms, 10 s at
  most), then closes it with `WM_CLOSE` and waits for it to exit. Under Wine most of this is
  the cost of starting a Wine process, which both programs pay alike. Runs that failed:
  {failures}.
- Own start-up: the same, with `daymarker_probe.exe` and `bare_window_probe.exe`, built from the
  same sources with `DAYMARKER_STARTUP_PROBE`; each writes the time from entering `wWinMain`
  to the end of `UpdateWindow` after the window is shown.
- Memory: read by the launcher with `GetProcessMemoryInfo` 250 ms after each window shows.
- Ticks: `tick_bench.exe` runs the real main window in-process, with `HKEY_CURRENT_USER`
  redirected to a scratch key, and sends it `WM_TIMER`. Allocations are counted by a replaced
  global `operator new`; what Windows allocates on its own heaps is not counted.
- The bare program is one window, one edit control and a one-second timer, linked with the
  same options as `daymarker.exe` (static runtime, stripped) and carrying the same manifest
  through `bench/bare_window.rc`.
- Core timings come from Google Benchmark in the native Release build (its warning that
  Debian's library is a debug build concerns the library; the timed loops are compiled into
  `core_bench`).
"""
with open("docs/benchmarks.md", "w") as out:
    out.write(notes)
PY
echo "(written to docs/benchmarks.md; raw figures in ${results})" >&2
