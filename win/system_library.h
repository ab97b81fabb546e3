// Functions of system DLLs, looked up at run time: those of newer Windows
// versions (with a fallback where they are missing), and those of DLLs the
// program needs only now and then (the shell's, for the notification area and
// the website link; COM's, for the link and a screen reader's first request),
// loaded the first time they are used rather than at every start.
#pragma once

#include <windows.h>

namespace daymarker {

// The DLL of that name from System32 only, never from the program's folder
// or the current directory; nullptr when it cannot be loaded. It stays
// loaded for the life of the process.
HMODULE LoadSystemLibrary(const wchar_t* name);

// A function of a System32 DLL, or nullptr when the DLL or the function is
// missing.
template <typename Function>
Function SystemFunction(const wchar_t* library, const char* name) {
  HMODULE module = LoadSystemLibrary(library);
  if (module == nullptr) {
    return nullptr;
  }
  return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

}  // namespace daymarker
