// Shared by the About window and launcher tests: the probe program that
// stands in for what the About window starts.
#pragma once

#include <windows.h>

#include <chrono>
#include <string>

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

}  // namespace daymarker::testing
