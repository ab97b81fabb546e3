#include "app/program.h"

#include "settings/settings_store.h"
#include "ui/main/main_window.h"
#include "ui/main/one_copy.h"
#include "ui/message_loop.h"
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

int RunProgram(HINSTANCE instance) {
  RestrictDllSearch();
  ::HeapSetInformation(nullptr, HeapEnableTerminationOnCorruption, nullptr, 0);
  std::optional<ScopedKernelHandle> claim = ClaimOneCopy();
  if (!claim) {
    return 0;  // the running copy shows its window
  }
  OwnedWindow<MainWindow> window(instance, AppSettings());
  if (!window.Create()) {
    return 1;
  }
  window.HoldOneCopyClaim(std::move(*claim));
  window.Show();
  return RunMessageLoop();
}

}  // namespace daymarker
