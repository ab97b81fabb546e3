// Starts Daymarker, the program with its controls and the bare program in
// turn, runs+1 times each (the first round unmeasured), and prints as Markdown
// table rows the median time from CreateProcess to a visible window and the
// private bytes once it is up. The targets are against the same controls.
//   startup_bench RUNS DAYMARKER_EXE SAME_CONTROLS_EXE BARE_EXE
#include <windows.h>
// psapi.h needs windows.h before it.
#include <psapi.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "win/handles.h"

namespace {

using daymarker::ScopedKernelHandle;

// Memory is read once the first paint and the first timer tick are in, so
// both programs are caught in the same state.
constexpr DWORD kSettleMs = 250;

struct Series {
  std::vector<double> startMs;
  std::vector<double> privateKib;
};

struct WindowSearch {
  DWORD processId;
  HWND found;
};

BOOL CALLBACK CheckWindow(HWND window, LPARAM lParam) {
  auto* search = reinterpret_cast<WindowSearch*>(lParam);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(window, &owner);
  if (owner == search->processId && ::IsWindowVisible(window) &&
      ::GetWindow(window, GW_OWNER) == nullptr) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

double NowMs() {
  LARGE_INTEGER now;
  LARGE_INTEGER frequency;
  ::QueryPerformanceCounter(&now);
  ::QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// One start, polled every millisecond until a visible top-level window shows,
// then closed with WM_CLOSE as a user would. False when any step fails.
bool RunOnce(const wchar_t* exe, Series* record) {
  STARTUPINFOW startup{sizeof(startup)};
  PROCESS_INFORMATION info{};
  const double before = NowMs();
  if (!::CreateProcessW(exe, nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info)) {
    std::fprintf(stderr, "could not start %ls (error %lu)\n", exe, ::GetLastError());
    return false;
  }
  const ScopedKernelHandle process(info.hProcess);
  const ScopedKernelHandle thread(info.hThread);
  WindowSearch search{info.dwProcessId, nullptr};
  const ULONGLONG deadline = ::GetTickCount64() + 10'000;
  while (search.found == nullptr && ::GetTickCount64() < deadline &&
         ::WaitForSingleObject(process.Get(), 0) == WAIT_TIMEOUT) {
    ::EnumWindows(CheckWindow, reinterpret_cast<LPARAM>(&search));
    if (search.found == nullptr) {
      ::Sleep(1);
    }
  }
  const double shown = NowMs();
  if (search.found == nullptr) {
    std::fprintf(stderr, "%ls showed no window\n", exe);
    ::TerminateProcess(process.Get(), 1);
    return false;
  }
  ::Sleep(kSettleMs);
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof(counters);
  ::GetProcessMemoryInfo(process.Get(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                         sizeof(counters));
  ::PostMessageW(search.found, WM_CLOSE, 0, 0);
  if (::WaitForSingleObject(process.Get(), 10'000) != WAIT_OBJECT_0) {
    std::fprintf(stderr, "%ls did not exit on WM_CLOSE\n", exe);
    ::TerminateProcess(process.Get(), 1);
    return false;
  }
  if (record != nullptr) {
    record->startMs.push_back(shown - before);
    // Wine leaves PrivateUsage at 0 for another process; PagefileUsage is the
    // same commit charge (on Windows the two are equal).
    const SIZE_T privateBytes =
        counters.PrivateUsage != 0 ? counters.PrivateUsage : counters.PagefileUsage;
    record->privateKib.push_back(static_cast<double>(privateBytes) / 1024.0);
  }
  return true;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

const char* Met(bool met) {
  return met ? "yes" : "**no**";
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 5 || _wtoi(argv[1]) < 1) {
    std::fprintf(stderr, "usage: startup_bench RUNS DAYMARKER_EXE SAME_CONTROLS_EXE BARE_EXE\n");
    return 2;
  }
  const int runs = _wtoi(argv[1]);
  std::array<Series, 3> series;
  // The three take turns, so a change in the machine's load falls on all
  // alike; the first round warms the file cache and the settings.
  for (int run = 0; run <= runs; ++run) {
    for (std::size_t program = 0; program < series.size(); ++program) {
      if (!RunOnce(argv[2 + program], run > 0 ? &series[program] : nullptr)) {
        return 1;
      }
    }
  }
  std::array<double, 3> ms;
  std::array<double, 3> kib;
  for (std::size_t program = 0; program < series.size(); ++program) {
    ms[program] = Median(series[program].startMs);
    kib[program] = Median(series[program].privateKib);
  }
  std::printf(
      "| Start-up, CreateProcess to visible window (ms, median of %d) | %.1f | %.1f | %.1f | "
      "at most 1.05x the same controls | %s (%.2fx) |\n",
      runs, ms[0], ms[1], ms[2], Met(ms[0] <= 1.05 * ms[1]), ms[0] / ms[1]);
  std::printf(
      "| Private bytes after start (KiB, median of %d) | %.0f | %.0f | %.0f | "
      "at most 512 KiB over the same controls | %s (%+.0f KiB) |\n",
      runs, kib[0], kib[1], kib[2], Met(kib[0] - kib[1] <= 512), kib[0] - kib[1]);
  return 0;
}
