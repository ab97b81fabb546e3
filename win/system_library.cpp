#include "win/system_library.h"

#include <array>
#include <string>

namespace daymarker {
namespace internal {

// Whether LoadSystemLibrary, given what LoadLibraryExW returned and its last
// error, falls back: only where Windows refused the search flags, as Windows 7
// without its 2011 loader update does with ERROR_INVALID_PARAMETER.
bool LacksSearchFlags(HMODULE loaded, DWORD error) {
  return loaded == nullptr && error == ERROR_INVALID_PARAMETER;
}

// What LoadSystemLibrary falls back on: the DLL by its full path in System32,
// which searches nowhere else.
HMODULE LoadFromSystemFolder(const wchar_t* name) {
  std::array<wchar_t, MAX_PATH> folder{};
  const UINT length = ::GetSystemDirectoryW(folder.data(), static_cast<UINT>(folder.size()));
  if (length == 0 || length >= folder.size()) {
    return nullptr;  // never a path relative to the current drive
  }
  const std::wstring path = std::wstring(folder.data(), length) + L'\\' + name;
  return ::LoadLibraryW(path.c_str());
}

}  // namespace internal

HMODULE LoadSystemLibrary(const wchar_t* name) {
  HMODULE module = ::LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  return internal::LacksSearchFlags(module, ::GetLastError()) ? internal::LoadFromSystemFolder(name)
                                                              : module;
}

FARPROC FindSystemFunction(const wchar_t* library, const char* name) {
  HMODULE module = LoadSystemLibrary(library);
  return module != nullptr ? ::GetProcAddress(module, name) : nullptr;
}

}  // namespace daymarker
