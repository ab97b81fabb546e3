// What the program does before its message loop.
#pragma once

#include <windows.h>

#include <memory>

#include "ui/main/main_window.h"

namespace daymarker {

// Locks DLL lookups to System32, then creates the main window, runs its
// start-up and shows it. Null when the window cannot be created.
std::unique_ptr<MainWindow> StartProgram(HINSTANCE instance);

}  // namespace daymarker
