#include "app/program.h"

#include "settings/settings_store.h"
#include "win/clock.h"
#include "win/system_functions.h"

namespace daymarker {
namespace {

// A downloaded program often runs from the Downloads folder: never let a DLL
// lying beside it or in the current directory be loaded in place of the system's.
void RestrictDllSearch() {
  // Windows 8 on, and Windows 7 with its loader update: looked up, so any Windows 7 starts.
  if (const auto setDefault = system_functions::SetDefaultDllDirectories::Get()) {
    setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
  }
  ::SetDllDirectoryW(L"");  // also drops the current directory where the above is missing
}

}  // namespace

std::unique_ptr<MainWindow> StartProgram(HINSTANCE instance) {
  RestrictDllSearch();
  ::HeapSetInformation(nullptr, HeapEnableTerminationOnCorruption, nullptr, 0);
  auto window = std::make_unique<OwnedWindow<MainWindow>>(instance, AppSettings(), SystemClock());
  if (!window->Create()) {
    return nullptr;
  }
  window->Show();
  return window;
}

}  // namespace daymarker
