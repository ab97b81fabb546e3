// Times the main window's one-second tick when it rebuilds nothing ("Every
// Hour"), in-process, and counts the C++ heap allocations of those ticks.
// Prints them as Markdown table rows. The user's settings are never touched:
// HKEY_CURRENT_USER points at a scratch key for the whole run.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

#include "ui/main/main_window.h"
#include "ui/main/main_window_ids.h"
#include "win/handles.h"
#include "win/system_functions.h"

namespace {

long long g_allocations = 0;

}  // namespace

// The counting allocator replaces the program's own (app/runtime_errors.cpp),
// which this build does not link. The runtime's other forms of new call this
// one, and its delete frees what malloc gave.
void* operator new(std::size_t size) {
  ++g_allocations;
  if (void* block = std::malloc(size != 0 ? size : 1)) {
    return block;
  }
  std::abort();
}

namespace {

using namespace daymarker;

constexpr int kBatches = 31;
constexpr int kTicksPerBatch = 3000;  // fewer than the 3,600 of "Every Hour"
constexpr int kEveryHour = 7;         // its position in the list

// Counts the readings of the time: a tick that rebuilds the line reads it, a quiet one does not.
long long g_readings = 0;
void WINAPI CountedTime(FILETIME* now) {
  ++g_readings;
  ::GetSystemTimeAsFileTime(now);
}

double Seconds() {
  LARGE_INTEGER now;
  LARGE_INTEGER frequency;
  ::QueryPerformanceCounter(&now);
  ::QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

int Run() {
  const std::wstring scratchPath =
      L"Software\\DaymarkerBench\\" + std::to_wstring(::GetCurrentProcessId());
  HKEY opened = nullptr;
  if (::RegCreateKeyExW(HKEY_CURRENT_USER, scratchPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                        nullptr, &opened, nullptr) != ERROR_SUCCESS) {
    return 1;
  }
  const ScopedKey scratch(opened);
  if (::RegOverridePredefKey(HKEY_CURRENT_USER, scratch.Get()) != ERROR_SUCCESS) {
    return 1;
  }

  int status = 1;
  {
    const system_functions::GetSystemTimeAsFileTime::StandIn clock(CountedTime);
    SettingValues settings;
    OwnedWindow<MainWindow> mainWindow(::GetModuleHandleW(nullptr), settings);
    if (mainWindow.Create()) {
      HWND window = mainWindow.Window();
      HWND list = ::GetDlgItem(window, main_ids::kCboUpdate);
      double perTick[kBatches];
      long long allocations = 0;
      long long rebuilds = 0;
      for (double& batchTime : perTick) {
        // Choosing "Every Hour" again rebuilds once and restarts the count.
        ::SendMessageW(list, CB_SETCURSEL, kEveryHour, 0);
        ::SendMessageW(window, WM_COMMAND, MAKEWPARAM(main_ids::kCboUpdate, CBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(list));
        const long long allocationsBefore = g_allocations;
        const long long readingsBefore = g_readings;
        const double start = Seconds();
        for (int i = 0; i < kTicksPerBatch; ++i) {
          ::SendMessageW(window, WM_TIMER, main_ids::kTimerId, 0);
        }
        batchTime = (Seconds() - start) * 1e6 / kTicksPerBatch;
        allocations += g_allocations - allocationsBefore;
        rebuilds += g_readings - readingsBefore;
      }
      std::sort(perTick, perTick + kBatches);
      const double medianUs = perTick[kBatches / 2];
      std::printf(
          "| Quiet tick, \"Every Hour\" (us, median of %d batches of %d) | %.3f | - | - | "
          "under 5 us | %s |\n",
          kBatches, kTicksPerBatch, medianUs, medianUs < 5 ? "yes" : "**no**");
      std::printf("| C++ heap allocations in %d quiet ticks | %lld | - | - | none | %s |\n",
                  kBatches * kTicksPerBatch, allocations, allocations == 0 ? "yes" : "**no**");
      if (rebuilds != 0) {
        std::fprintf(stderr, "%lld of the quiet ticks rebuilt the line\n", rebuilds);
      }
      status = rebuilds == 0 ? 0 : 1;
    }
  }
  ::RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
  ::RegDeleteTreeW(HKEY_CURRENT_USER, scratchPath.c_str());
  return status;
}

}  // namespace

int wmain() {
  return Run();
}
