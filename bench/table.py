#!/usr/bin/env python3
"""Turns the raw figures scripts/bench.sh collects into the table it prints
and into docs/benchmarks.md. Reads BENCH_* from the environment."""

import os
import statistics
from pathlib import Path

env = os.environ
results = Path(env["BENCH_RESULTS"])
ALLOWED = (Path(__file__).parent.parent / "tests/pe/allowed_dlls.txt").read_text().split()
MAX_BYTES = 128 * 1024
# Each program's own top-level window, under one name.
FRAMES = {f"CreateWindowExW:{name}": "CreateWindowExW:the program's window"
          for name in ("DaymarkerMainWindow", "DaymarkerBareWindow")}
# Messages the profile shows by number.
MESSAGES = {
    0x0030: "WM_SETFONT", 0x0080: "WM_SETICON", 0x00C5: "EM_LIMITTEXT", 0x00F0: "BM_GETCHECK",
    0x00F1: "BM_SETCHECK", 0x0143: "CB_ADDSTRING", 0x0147: "CB_GETCURSEL",
    0x014B: "CB_RESETCONTENT", 0x014E: "CB_SETCURSEL", 0x1001: "DTM_GETSYSTEMTIME",
    0x1002: "DTM_SETSYSTEMTIME", 0x1004: "DTM_SETRANGE", 0x1701: "CB_SETMINVISIBLE",
}


def key_values(name):
    pairs = (line.partition("=") for line in (results / name).read_text().splitlines())
    return {key: value for key, sep, value in pairs if sep}


tick, start, files = key_values("tick.txt"), key_values("startup.txt"), key_values("files.txt")
runs = start["runs"]
PROGRAMS = ("daymarker", "bare_window", "bare_controls")
PROBES = [f"{program}_probe" for program in PROGRAMS]


def ok(met, detail=""):
    return ("yes" if met else "**no**") + (f" ({detail})" if detail else "")


def figures(key, programs=PROGRAMS):
    return [float(start[f"{program}_{key}"]) for program in programs]


def startup_row(measure, key, programs=PROGRAMS):
    day, bare, controls = figures(key, programs)
    return [measure, *(f"{value:,.1f}" for value in (day, bare, controls)),
            "within 1.05x the same-controls and 1.10x the bare program",
            ok(day <= 1.05 * controls and day <= 1.10 * bare,
               f"{day / controls:.2f}x and {day / bare:.2f}x")]


def fastest(key, programs=PROGRAMS):
    day, bare, controls = figures(f"{key}_min", programs)
    return (f"{day:,.1f}, {bare:,.1f} and {controls:,.1f} ms "
            f"({day / controls:.2f}x the same-controls and {day / bare:.2f}x the bare program)")


day_kib, bare_kib, controls_kib = figures("private_kib")
quiet, allocations = float(tick["tick_us"]), int(tick["allocations"])
dlls = [files[f"{program}_dlls"].split() for program in PROGRAMS]
sizes = [int(files[f"{program}_bytes"]) for program in PROGRAMS]
rows = [
    startup_row(f"Start-up, CreateProcess to visible window (ms, median of {runs})", "start_ms"),
    startup_row(f"Own start-up, wWinMain to end of first paint (ms, median of {runs})",
                "probe_ms", PROBES),
    ["Quiet tick, \"Every Hour\" (us, median of 31 batches of 3,000)", f"{quiet:.3f}", "-", "-",
     "under 5 us", ok(quiet < 5)],
    [f"C++ heap allocations in {int(tick['ticks']):,} quiet ticks", str(allocations), "-", "-",
     "0", ok(allocations == 0)],
    [f"Private bytes after start (KiB, median of {runs})",
     *(f"{value:,.0f}" for value in (day_kib, bare_kib, controls_kib)),
     "within 512 KiB of the bare program",
     ok(day_kib - bare_kib <= 512, f"+{day_kib - bare_kib:,.0f} KiB")],
    ["File size of the 32-bit .exe (bytes)", *(f"{size:,}" for size in sizes),
     "at most 131,072 bytes", ok(sizes[0] <= MAX_BYTES, f"{MAX_BYTES - sizes[0]:,} to spare")],
    ["DLL imports", *(", ".join(names) for names in dlls),
     "only those of tests/pe/allowed_dlls.txt",
     ok(sorted(map(str.lower, dlls[0])) == sorted(map(str.lower, ALLOWED)))],
]
table = "\n".join(
    ["| Measure | Daymarker | Bare program | Same-controls program | Target | Met |",
     "| --- | ---: | ---: | ---: | --- | --- |",
     *("| " + " | ".join(row) + " |" for row in rows)])
print(table)


OUTSIDE, TOTAL = "Outside the timed calls", "**Own start-up with the profile**"


def profile(program):
    """{record: (calls, self ms)}, medians over the profile runs, a run without a record
    counting as 0; OUTSIDE and TOTAL are records too."""
    runs_of = [path.read_text().splitlines()
               for path in (results / "profile").glob(f"{program}-*.txt")]
    records = {}
    for run, lines in enumerate(runs_of):
        timed = [(FRAMES.get(name, name), int(calls), int(self_us) / 1000)
                 for name, calls, self_us in map(str.split, lines[1:])]
        total = float(lines[0])
        timed += [(OUTSIDE, 0, total - sum(ms for _, _, ms in timed)), (TOTAL, 0, total)]
        for name, calls, ms in timed:
            records.setdefault(name, [(0, 0.0)] * len(runs_of))[run] = (calls, ms)
    return {name: (statistics.median(c for c, _ in values), statistics.median(m for _, m in values))
            for name, values in records.items()}, len(runs_of)


day_profile, profile_runs = profile("daymarker_profile")
floor_profile, _ = profile("bare_controls_profile")


def label(name):
    function, _, detail = name.partition(":")
    if function == "SendMessageW" and detail:
        detail = MESSAGES.get(int(detail, 16), detail)
    return f"{function}: {detail}" if detail else function


def difference(name):
    return day_profile.get(name, (0, 0.0))[1] - floor_profile.get(name, (0, 0.0))[1]


names = sorted((day_profile.keys() | floor_profile.keys()) - {OUTSIDE, TOTAL}, key=difference,
               reverse=True)
profile_rows = []
for name in names + [OUTSIDE, TOTAL]:
    (day_calls, day_ms), (floor_calls, floor_ms) = (
        day_profile.get(name, (0, 0.0)), floor_profile.get(name, (0, 0.0)))
    if max(day_ms, floor_ms) >= 0.1:
        counts = [f"{count:g}" if name not in (OUTSIDE, TOTAL) else "" for count in
                  (day_calls, floor_calls)]
        profile_rows.append(f"| {label(name)} | {counts[0]} | {day_ms:,.1f} | {counts[1]} | "
                            f"{floor_ms:,.1f} | {day_ms - floor_ms:+,.1f} |")

notes = f"""# Benchmarks

Produced by `bash scripts/bench.sh` on {env["BENCH_DATE"]}.

- Machine: {env["BENCH_NPROC"]} cores, {env["BENCH_CPU"]}; {env["BENCH_WINE"]} under Xvfb with a
  taskbar desktop.
- Timings: the {env["BENCH_TIMED"]}. Sizes and imports: the 32-bit executables.
- Load average (1, 5, 15 minutes): {env["BENCH_LOAD"]}.

{table}

Other work on a shared machine spreads the start-up series widely. The fastest of each
{runs}, for Daymarker, the bare and the same-controls program:

- to a visible window: {fastest("start_ms")};
- own start-up: {fastest("probe_ms", PROBES)}.

How each figure is taken:

- The floors are two bare programs built from `bench/bare_window.cpp` with the same compiler,
  options and manifest (`resources/daymarker.manifest`, common controls 6) as `daymarker.exe`:
  the *bare program*, one window with one edit control and a one-second timer, and the
  *same-controls program*, which also calls `InitCommonControlsEx` and creates the main window's
  controls (two date-time pickers, short-date and time with up-down, a drop-down list, six option
  buttons, a check box, four group boxes, two edit boxes) in a window of the same size and
  style. Neither has a menu bar, window icons, a notification-area window or saved settings:
  those are Daymarker's own, and the profile below shows what they cost.
- Start-up: `startup_bench.exe` starts each program in turn, {runs} times each after one
  unmeasured round, from just before `CreateProcessW` until `EnumWindows` finds a visible
  top-level window of the child (polled every 1 ms), then closes it with `WM_CLOSE` and waits for
  it to exit. Under Wine most of this is the cost of starting a Wine process, which all pay alike.
  Runs that failed: {start["failures"]}.
- Own start-up: the same, with the probe builds of the three programs (`DAYMARKER_STARTUP_PROBE`);
  each writes the time from entering `wWinMain` to the end of an `UpdateWindow` after the window
  is shown. Daymarker's is `bench/daymarker_probe.cpp` around the program's own `StartProgram`.
- Private bytes: `GetProcessMemoryInfo` of the child 250 ms after its window shows
  (`PrivateUsage`; under Wine, which leaves that at 0 for another process, `PagefileUsage`, the
  same commit charge).
- Quiet tick: `tick_bench.exe` creates the real main window in-process, with `HKEY_CURRENT_USER`
  redirected to a scratch key, chooses "Every Hour" and sends it 3,000 `WM_TIMER` messages, 31
  times; none of them may rebuild the line (the run fails if one reads the clock). Allocations
  are counted by a replaced global `operator new`; what Windows allocates on its own heaps is
  not counted.
- Imports: the `DLL Name` entries of `objdump -p`; the allow-list is the one the PE check uses.

## Where Daymarker's own start-up goes

`daymarker_profile.exe` and `bare_controls_profile.exe` are the probe builds with
`bench/startup_profile.h`, which points the executable's import slots of the system calls below
at wrappers that time them; each ends after its first paint. Self time is a call's own, less
that of the timed calls made inside it (a frame's `CreateWindowExW` holds its controls'
creation and whatever its window procedure does that is not timed). Medians of {profile_runs}
runs each, after one warm-up, in milliseconds; calls are per start-up.

| Call | Daymarker calls | Daymarker ms | Floor calls | Floor ms | Difference |
| --- | ---: | ---: | ---: | ---: | ---: |
{chr(10).join(profile_rows)}
"""
Path("docs/benchmarks.md").write_text(notes)
