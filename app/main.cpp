// Daymarker's entry point: the main window is the program; the process ends
// when its last window has closed.
#include <windows.h>

#include "app/program.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  return daymarker::RunProgram(instance);
}
