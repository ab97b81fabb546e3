// Daymarker's entry point: the main window is the program; the process ends
// when its last window has closed.
#include <windows.h>

#include <cstdlib>

#include "app/program.h"
#include "ui/message_loop.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  const auto mainWindow = daymarker::StartProgram(instance);
  return mainWindow != nullptr ? daymarker::RunMessageLoop() : 1;
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
