// Stands in for the System Information tool: records how it was started in
// "<its own path>.started" and exits.
#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  std::wstring self(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        ::GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size()));
    if (length == 0) {
      return 1;
    }
    if (length < self.size()) {
      self.resize(length);
      break;
    }
    self.resize(self.size() * 2);
  }

  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  ::GetStartupInfoW(&startup);
  std::wstring report = ::GetCommandLineW();
  report += L'\n';
  report += (startup.dwFlags & STARTF_USESHOWWINDOW) != 0 ? std::to_wstring(startup.wShowWindow)
                                                          : std::wstring(L"-");

  // Written beside the marker and renamed, so a reader never sees half of it.
  const std::wstring marker = self + L".started";
  const std::wstring partial = marker + L".part";
  const HANDLE file = ::CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return 1;
  }
  DWORD written = 0;
  const BOOL ok = ::WriteFile(
      file, report.data(), static_cast<DWORD>(report.size() * sizeof(wchar_t)), &written, nullptr);
  ::CloseHandle(file);
  if (!ok || !::MoveFileExW(partial.c_str(), marker.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    return 1;
  }
  return 0;
}
