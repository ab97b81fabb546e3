// The message loop of the program's top-level windows. Keys go through each
// window's accelerators and dialog navigation (Tab, arrows, access keys), and
// the loop ends when the last registered window has closed.
#pragma once

#include <windows.h>

namespace daymarker {

void RegisterTopLevelWindow(HWND window, HACCEL accelerators = nullptr);
// Posts WM_QUIT once no registered window is left.
void UnregisterTopLevelWindow(HWND window);

int RunMessageLoop();

}  // namespace daymarker
