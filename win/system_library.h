// Functions of system DLLs, looked up at run time: those of newer Windows
// versions (with a fallback where they are missing), and those of DLLs the
// program needs only now and then (the shell's, for the notification area and
// the website link; COM's, for the link and a screen reader's first request),
// loaded the first time they are used rather than at every start.
#pragma once

#include <windows.h>

#include <algorithm>
#include <array>
#include <cstddef>

namespace daymarker {

// The DLL of that name from System32 only, never from the program's folder
// or the current directory; nullptr when it cannot be loaded. It stays
// loaded for the life of the process.
HMODULE LoadSystemLibrary(const wchar_t* name);

// What LoadSystemLibrary falls back on where Windows lacks the search flags
// (Windows 7 without its 2011 loader update): the DLL by its full path in
// System32, which searches nowhere else.
HMODULE LoadFromSystemFolder(const wchar_t* name);

// A function of a System32 DLL, or nullptr when the DLL or the function is missing.
FARPROC FindSystemFunction(const wchar_t* library, const char* name);

// A name fixed at compile time, so that each function has a lookup of its own.
template <typename Char, std::size_t Length>
struct FixedName {
  // Made from a string literal, so implicitly and from a plain array.
  // cppcheck-suppress noExplicitConstructor
  constexpr FixedName(const Char (&name)[Length]) {  // NOLINT(*-explicit-*, *-avoid-c-arrays)
    std::copy_n(name, Length, text.begin());
  }
  std::array<Char, Length> text{};
};

// Function typed as the Windows headers declare it (decltype(&::ShellExecuteW)),
// so that a call with the wrong signature does not compile. It is looked up
// the first time it is asked for and kept: nullptr when it is missing.
// The program calls these from its one thread only, so plain statics do
// (a thread-safe one would bring the whole threads library in).
template <typename Function, FixedName Library, FixedName Name>
Function SystemFunction() {
  static Function function = nullptr;
  static bool lookedUp = false;
  if (!lookedUp) {
    function = reinterpret_cast<Function>(
        reinterpret_cast<void*>(FindSystemFunction(Library.text.data(), Name.text.data())));
    lookedUp = true;
  }
  return function;
}

}  // namespace daymarker
