// Daymarker's entry point: the main window is the program; the process ends
// when its last window has closed.
#include <windows.h>

#include <cstdlib>

#include "settings/settings_store.h"
#include "ui/about/about_window.h"
#include "ui/main/main_window.h"
#include "ui/message_loop.h"

#ifdef DAYMARKER_STARTUP_PROBE
#include "bench/startup_probe.h"
#endif

namespace {

// A downloaded program often runs from the Downloads folder: never let a DLL
// lying beside it or in the current directory be loaded in place of the system's.
void RestrictDllSearch() {
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  HMODULE kernel32 = ::GetModuleHandleW(L"kernel32.dll");
  const auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
      reinterpret_cast<void*>(::GetProcAddress(kernel32, "SetDefaultDllDirectories")));
  if (setDefault != nullptr) {
    setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
  }
  ::SetDllDirectoryW(L"");  // also drops the current directory where the above is missing
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
#ifdef DAYMARKER_STARTUP_PROBE
  const LARGE_INTEGER probeStart = daymarker::startup_probe::Now();
#endif
  RestrictDllSearch();
  ::HeapSetInformation(nullptr, HeapEnableTerminationOnCorruption, nullptr, 0);

  daymarker::MainWindow mainWindow(instance, daymarker::AppSettings(), daymarker::SystemClock());
  mainWindow.SetAboutHandler(
      [instance](HWND owner) { daymarker::ShowAboutWindow(instance, owner); });
  if (!mainWindow.Create()) {
    return 1;
  }
  // The program always starts shown in its normal state, whatever the shortcut asks.
  mainWindow.Show(SW_SHOWNORMAL);
#ifdef DAYMARKER_STARTUP_PROBE
  // The normal build leaves the first paint to the message loop; here it is forced, to time it.
  ::UpdateWindow(mainWindow.Window());
  daymarker::startup_probe::Finish(probeStart);
#endif
  return daymarker::RunMessageLoop();
}

#if defined(__GLIBCXX__)
// The default handler prints a demangled type name to a console this GUI
// program does not have, and links a whole demangler for it.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
  std::abort();
}
}  // namespace __gnu_cxx
#endif
