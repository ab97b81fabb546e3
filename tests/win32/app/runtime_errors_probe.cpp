// Asks the C++ runtime for what it cannot give, in the way its first argument
// names, built with the program's replacements of the runtime's error paths.
// Still running afterwards, it ends normally, or with 5 when memory it gave
// back stays taken; through the runtime's own terminate handler, with 4.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <string_view>

namespace {

// Read at run time, so that no call below is decided while compiling.
volatile std::size_t gHuge = SIZE_MAX / 2;
volatile std::size_t gLarge = std::size_t{16} << 20;

}  // namespace

int main(int argc, char** argv) {
  // Should a replacement be broken, a crash ends the probe with its exception
  // code at once (1 is EXCEPTION_EXECUTE_HANDLER), rather than start a debugger
  // that keeps the test waiting.
  ::SetUnhandledExceptionFilter([](EXCEPTION_POINTERS*) WINAPI -> LONG { return 1; });
  std::set_terminate([] { std::_Exit(4); });
  const std::string_view how = argc > 1 ? argv[1] : "";
  if (how == "new") {
    void* block = ::operator new(gHuge);
    std::printf("%p\n", block);
  } else if (how == "length") {
    const std::wstring text(gHuge, L'x');  // more characters than a string can hold
    std::printf("%d\n", static_cast<int>(text.empty()));
  } else if (how == "index") {
    const std::wstring text(L"x");
    std::printf("%d\n", static_cast<int>(text.at(gHuge % 2 + 1)));
  }
  // A block this large the heap takes from the system alone, and gives back
  // whole when freed, through either form of delete.
  for (const bool sized : {false, true}) {
    void* block = ::operator new(gLarge);
    const auto place = reinterpret_cast<std::uintptr_t>(block);
    sized ? ::operator delete(block, gLarge) : ::operator delete(block);
    MEMORY_BASIC_INFORMATION region{};
    ::VirtualQuery(reinterpret_cast<void*>(place), &region, sizeof(region));
    if (region.State != MEM_FREE) {
      return 5;
    }
  }
  return 0;
}
