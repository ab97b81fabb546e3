// The loader behind the functions the program looks up at run time
// (win/system_functions.h): System32's DLLs, and nothing from elsewhere.
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

// A function of a System32 DLL, looked up the first time it is asked for and
// kept: nullptr when it is missing. Every one the program uses is named once,
// with its DLL and its type, in win/system_functions.h.
// The program calls these from its one thread only, so plain statics do
// (a thread-safe one would bring the whole threads library in).
template <typename Function, FixedName Library, FixedName Name>
class SystemFunction {
 public:
  using Type = Function;

  static Function Get() {
    Kept& kept = Slot();
    if (!kept.lookedUp) {
      kept.function = reinterpret_cast<Function>(
          reinterpret_cast<void*>(FindSystemFunction(Library.text.data(), Name.text.data())));
      kept.lookedUp = true;
    }
    return kept.function;
  }

  // While it lives, another function answers in this one's place (nullptr
  // plays a Windows without it).
  class StandIn {
   public:
    explicit StandIn(Function standIn) : before_(Get()) { Slot().function = standIn; }
    ~StandIn() { Slot().function = before_; }
    StandIn(const StandIn&) = delete;
    StandIn& operator=(const StandIn&) = delete;

   private:
    Function before_;
  };

 private:
  struct Kept {
    Function function = nullptr;
    bool lookedUp = false;
  };
  static Kept& Slot() {
    static Kept kept;
    return kept;
  }
};

}  // namespace daymarker
