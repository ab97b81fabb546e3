// Shared by the About window and launcher tests: the probe program that
// stands in for what the About window starts, and its message boxes.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "tests/win32/support/window_support.h"

namespace daymarker::testing {

using namespace std::chrono_literals;

// sysinfo_probe.exe writes here, under a value named by its own path.
inline constexpr wchar_t kProbeKey[] = L"Software\\Tolvane\\DaymarkerAboutProbes";

// What a copy of the probe at program reported when started: its command line,
// a line feed and its show command ("-" for none); nothing if it did not start in time.
inline std::wstring WaitForProbe(const std::wstring& program, std::chrono::milliseconds timeout) {
  wchar_t report[2048] = {};
  const auto reported = [&] {
    DWORD size = sizeof(report);
    return ::RegGetValueW(HKEY_CURRENT_USER, kProbeKey, program.c_str(), RRF_RT_REG_SZ, nullptr,
                          report, &size) == ERROR_SUCCESS;
  };
  return PumpUntil(reported, timeout) ? report : L"";
}

// Runs start, reading "caption: text" of a message box it shows on this
// thread and pressing its OK; gives up after ten seconds rather than hang.
inline std::wstring ReadMessageBoxOf(const std::function<void()>& start) {
  std::wstring seen = L"no message";
  std::jthread watcher([&seen, thread = ::GetCurrentThreadId()](std::stop_token stop) {
    for (int tries = 0; tries < 500 && !stop.stop_requested(); ++tries) {
      const HWND box = ::FindWindowW(L"#32770", nullptr);
      // Shown only once its texts are set.
      if (::GetWindowThreadProcessId(box, nullptr) == thread && ::IsWindowVisible(box)) {
        seen = WindowText(box) + L": " + WindowText(::GetDlgItem(box, 0xFFFF));
        ::PostMessageW(box, WM_COMMAND, IDOK, 0);
        return;
      }
      std::this_thread::sleep_for(20ms);
    }
  });
  start();
  watcher.request_stop();
  watcher.join();
  return seen;
}

}  // namespace daymarker::testing
