// Daymarker's entry point: the main window is the program; the process ends
// when its last window has closed.
#include <windows.h>

#include "app/program.h"
#include "ui/message_loop.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  const auto mainWindow = daymarker::StartProgram(instance);
  return mainWindow != nullptr ? daymarker::RunMessageLoop() : 1;
}
