// Times the main window's one-second tick in-process, with and without a
// rebuild of the status line, next to one SetWindowTextW of that line on a
// plain edit control, and counts the C++ heap allocations of the ticks that
// rebuild nothing. Prints key=value lines. The user's settings are never
// touched: HKEY_CURRENT_USER points at a scratch key for the whole run.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "core/calendar.h"
#include "settings/settings_store.h"
#include "ui/main/clock.h"
#include "ui/main/main_window.h"
#include "ui/main/main_window_ids.h"
#include "ui/main/tray/tray.h"
#include "win/handles.h"

namespace {

std::atomic<long long> g_allocations{0};

void* CountedAllocation(std::size_t size) {
  g_allocations.fetch_add(1, std::memory_order_relaxed);
  // malloc(0) may return null; operator new must not.
  if (void* block = std::malloc(size == 0 ? 1 : size)) {
    return block;
  }
  throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t size) {
  return CountedAllocation(size);
}
void* operator new[](std::size_t size) {
  return CountedAllocation(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return CountedAllocation(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return CountedAllocation(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
void operator delete(void* block) noexcept {
  std::free(block);
}
void operator delete[](void* block) noexcept {
  std::free(block);
}
void operator delete(void* block, std::size_t) noexcept {
  std::free(block);
}
void operator delete[](void* block, std::size_t) noexcept {
  std::free(block);
}

namespace {

using namespace daymarker;

constexpr int kBatches = 31;
constexpr int kTicksWithoutRebuild = 3000;  // below the 3600 ticks of "Every Hour"
constexpr int kTicksWithRebuild = 200;
constexpr int kTextSets = 200;

// Each reading of the clock is one second later, so every rebuilt line is new.
class SteppingClock final : public Clock {
 public:
  explicit SteppingClock(std::int64_t unixSeconds) : seconds_(unixSeconds) {}
  FILETIME UtcNow() const override { return FileTimeFromUnixSeconds(seconds_++); }

 private:
  mutable std::int64_t seconds_;
};

class ScratchUserKey {
 public:
  ScratchUserKey() {
    path_ = L"Software\\DaymarkerBench\\" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
            std::to_wstring(::GetTickCount());
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                          &key, nullptr) == ERROR_SUCCESS) {
      key_.Reset(key);
      overridden_ = ::RegOverridePredefKey(HKEY_CURRENT_USER, key) == ERROR_SUCCESS;
    }
  }
  ~ScratchUserKey() {
    if (overridden_) {
      ::RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    }
    key_.Reset();
    ::RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
  }
  ScratchUserKey(const ScratchUserKey&) = delete;
  ScratchUserKey& operator=(const ScratchUserKey&) = delete;

  bool Active() const { return overridden_; }

 private:
  std::wstring path_;
  ScopedKey key_;
  bool overridden_ = false;
};

class Stopwatch {
 public:
  Stopwatch() {
    ::QueryPerformanceFrequency(&frequency_);
    ::QueryPerformanceCounter(&start_);
  }
  double Microseconds() const {
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart - start_.QuadPart) * 1e6 /
           static_cast<double>(frequency_.QuadPart);
  }

 private:
  LARGE_INTEGER frequency_;
  LARGE_INTEGER start_;
};

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

void PumpMessages() {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message != WM_QUIT) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
  }
}

void SelectUpdate(HWND window, int position) {
  HWND list = ::GetDlgItem(window, main_ids::kCboUpdate);
  ::SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(position), 0);
  ::SendMessageW(window, WM_COMMAND, MAKEWPARAM(main_ids::kCboUpdate, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
}

void Tick(HWND window) {
  ::SendMessageW(window, WM_TIMER, main_ids::kTimerId, 0);
}

std::wstring Text(HWND window) {
  std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      ::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

int Run() {
  ScratchUserKey scratch;
  if (!scratch.Active()) {
    std::fprintf(stderr, "could not redirect HKEY_CURRENT_USER\n");
    return 1;
  }
  FILETIME now;
  ::GetSystemTimeAsFileTime(&now);
  SteppingClock clock(UnixSeconds(now));

  // The window reads its settings at start-up, as it would a user's: an event
  // a year and some away, shown down to the second, so the line is a long one.
  SettingValues saved;
  saved.EventName = L"Party";
  saved.EventSeconds = EventSecondsFromWall(WallSecondsFromCivil(LocalNow(clock)) + 400LL * 86400 +
                                            5 * 3600 + 25 * 60 + 7);
  saved.DisplayLevel = 1;
  saved.UpdateIndex = 8;
  saved.OnlyUnitsFlag = 2;
  if (!SaveSettings(saved)) {
    std::fprintf(stderr, "could not write the scratch settings\n");
    return 1;
  }

  SettingValues settings;
  MainWindow mainWindow(::GetModuleHandleW(nullptr), settings, clock);
  if (!mainWindow.Create()) {
    std::fprintf(stderr, "the main window was not created\n");
    return 1;
  }
  HWND window = mainWindow.Window();
  mainWindow.Show(SW_SHOWNOACTIVATE);
  PumpMessages();
  HWND statusBox = ::GetDlgItem(window, main_ids::kTxtTimeLeft);

  // Ticks that stay inside "Every Hour": each batch starts right after the
  // choice is made again, which rebuilds once and restarts the count.
  std::vector<double> quietTicks;
  quietTicks.reserve(kBatches);
  long long quietAllocations = 0;
  int unexpectedRebuilds = 0;
  for (int batch = 0; batch < kBatches; ++batch) {
    SelectUpdate(window, 7);
    PumpMessages();
    const std::int32_t countBefore = mainWindow.SecondsToRefresh();
    const long long allocationsBefore = g_allocations.load();
    const Stopwatch watch;
    for (int i = 0; i < kTicksWithoutRebuild; ++i) {
      Tick(window);
    }
    const double elapsed = watch.Microseconds();
    // Read before push_back, whose growth would be counted otherwise.
    quietAllocations += g_allocations.load() - allocationsBefore;
    quietTicks.push_back(elapsed / kTicksWithoutRebuild);
    if (countBefore - mainWindow.SecondsToRefresh() != kTicksWithoutRebuild) {
      ++unexpectedRebuilds;
    }
  }

  // "Every Second": every tick builds the line and writes it to the box and the tip.
  SelectUpdate(window, 0);
  PumpMessages();
  std::vector<double> rebuildTicks;
  rebuildTicks.reserve(kBatches);
  long long rebuildAllocations = 0;
  const std::wstring lineBefore = Text(statusBox);
  for (int batch = 0; batch < kBatches; ++batch) {
    const long long allocationsBefore = g_allocations.load();
    const Stopwatch watch;
    for (int i = 0; i < kTicksWithRebuild; ++i) {
      Tick(window);
    }
    const double elapsed = watch.Microseconds();
    rebuildAllocations += g_allocations.load() - allocationsBefore;
    rebuildTicks.push_back(elapsed / kTicksWithRebuild);
    PumpMessages();
  }
  const std::wstring lineAfter = Text(statusBox);

  // The floor of a rebuild: the same two lines set in turn on a plain edit control.
  HWND host = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 480, 40, nullptr,
                                nullptr, ::GetModuleHandleW(nullptr), nullptr);
  HWND edit = ::CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                                WS_CHILD | WS_VISIBLE | ES_READONLY | ES_AUTOHSCROLL, 0, 0, 480, 40,
                                host, nullptr, ::GetModuleHandleW(nullptr), nullptr);
  std::vector<double> textSets;
  for (int batch = 0; batch < kBatches; ++batch) {
    const Stopwatch watch;
    for (int i = 0; i < kTextSets; ++i) {
      ::SetWindowTextW(edit, (i % 2 == 0 ? lineBefore : lineAfter).c_str());
    }
    textSets.push_back(watch.Microseconds() / kTextSets);
    PumpMessages();
  }
  ::DestroyWindow(host);

  // The other half of a rebuild: the notification-area tip, sent to the shell
  // on every rebuild whether or not the icon is shown.
  const TrayOwner tray{mainWindow.TrayWindow(), nullptr};
  std::vector<double> tipSets;
  for (int batch = 0; batch < kBatches; ++batch) {
    const Stopwatch watch;
    for (int i = 0; i < kTextSets; ++i) {
      SetTrayTip(kTrayIconId, tray, i % 2 == 0 ? lineBefore : lineAfter);
    }
    tipSets.push_back(watch.Microseconds() / kTextSets);
    PumpMessages();
  }

  std::printf("status_line_chars=%zu\n", lineAfter.size());
  std::printf("line_changed=%d\n", lineBefore != lineAfter ? 1 : 0);
  std::printf("tick_no_rebuild_us_median=%.4f\n", Median(quietTicks));
  std::printf("tick_no_rebuild_ticks=%d\n", kBatches * kTicksWithoutRebuild);
  std::printf("tick_no_rebuild_allocations=%lld\n", quietAllocations);
  std::printf("tick_no_rebuild_unexpected_rebuilds=%d\n", unexpectedRebuilds);
  std::printf("tick_rebuild_us_median=%.4f\n", Median(rebuildTicks));
  std::printf("tick_rebuild_allocations_per_tick=%.2f\n",
              static_cast<double>(rebuildAllocations) / (kBatches * kTicksWithRebuild));
  std::printf("set_window_text_us_median=%.4f\n", Median(textSets));
  std::printf("tray_tip_us_median=%.4f\n", Median(tipSets));
  return unexpectedRebuilds == 0 && lineBefore != lineAfter ? 0 : 1;
}

}  // namespace

int wmain() {
  return Run();
}
