// What the program does, from its first instruction to its end.
#pragma once

#include <windows.h>

namespace daymarker {

// Locks DLL lookups to System32; where the user's copy of the program runs
// already, brings its window forward and ends; otherwise creates the main
// window, runs its start-up, shows it and runs the message loop until the
// last window has closed. The process's exit code.
int RunProgram(HINSTANCE instance);

}  // namespace daymarker
