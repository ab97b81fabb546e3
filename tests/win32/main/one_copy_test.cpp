#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "tests/win32/support/internals.h"
#include "tests/win32/support/window_support.h"
#include "ui/main/one_copy.h"
#include "win/handles.h"

namespace daymarker::testing {
namespace {

std::atomic<int> g_asked = 0;

LRESULT CALLBACK CountRequests(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  g_asked += message == SecondStartMessage() ? 1 : 0;
  return ::DefWindowProcW(window, message, wParam, lParam);
}

// A second start while the first copy holds its claim but has no window yet
// (it is still starting) waits for the window, asks it once to come forward,
// and ends. Copies are told apart by their user's SID.
TEST(OneCopy, ASecondStartWaitsForTheFirstCopysWindowAndAsksItOnce) {
  EXPECT_TRUE(internal::ProcessUser(::GetCurrentProcess()).starts_with(L"S-1-5-"));
  const HINSTANCE instance = ::GetModuleHandleW(nullptr);
  ::UnregisterClassW(L"DaymarkerMainWindow", instance);
  WNDCLASSEXW windowClass{sizeof(windowClass), 0, CountRequests, 0, 0, instance};
  windowClass.lpszClassName = L"DaymarkerMainWindow";
  ASSERT_NE(::RegisterClassExW(&windowClass), 0);
  auto first = ClaimOneCopy();
  ASSERT_TRUE(first.has_value() && *first);
  g_asked = 0;
  std::thread late([instance] {
    ::Sleep(300);
    HWND window = ::CreateWindowExW(0, L"DaymarkerMainWindow", L"", WS_POPUP, 0, 0, 10, 10, nullptr,
                                    nullptr, instance, nullptr);
    PumpUntil([] { return false; }, std::chrono::milliseconds(1500));
    ::DestroyWindow(window);
  });
  EXPECT_FALSE(ClaimOneCopy().has_value()) << "the second start ends";
  late.join();
  EXPECT_EQ(g_asked, 1);
  ::UnregisterClassW(L"DaymarkerMainWindow", instance);
  first.reset();
  // Where another kind of object took the name first, this copy runs, unclaimed.
  const std::wstring name =
      L"Local\\Tolvane.Daymarker." + internal::ProcessUser(::GetCurrentProcess());
  const ScopedKernelHandle squatter(::CreateEventW(nullptr, FALSE, FALSE, name.c_str()));
  const auto unclaimed = ClaimOneCopy();
  EXPECT_TRUE(unclaimed.has_value() && !*unclaimed);
}

}  // namespace
}  // namespace daymarker::testing
