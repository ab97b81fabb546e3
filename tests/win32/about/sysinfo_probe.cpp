// Stands in for the programs the About window starts: records how it was
// started under HKCU\Software\Tolvane\DaymarkerAboutProbes and exits.
#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, PSTR, int) {
  wchar_t self[MAX_PATH * 2] = {};
  ::GetModuleFileNameW(nullptr, self, static_cast<DWORD>(std::size(self)));
  STARTUPINFOW startup{};
  ::GetStartupInfoW(&startup);
  const std::wstring report =
      std::wstring(::GetCommandLineW()) + L'\n' +
      ((startup.dwFlags & STARTF_USESHOWWINDOW) != 0 ? std::to_wstring(startup.wShowWindow) : L"-");
  // One value write, so the test never reads half a report.
  return static_cast<int>(
      ::RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Tolvane\\DaymarkerAboutProbes", self, REG_SZ,
                        report.c_str(), static_cast<DWORD>((report.size() + 1) * sizeof(wchar_t))));
}
