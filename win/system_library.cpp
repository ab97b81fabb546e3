#include "win/system_library.h"

#include <array>
#include <string>

namespace daymarker {

HMODULE LoadSystemLibrary(const wchar_t* name) {
  HMODULE module = ::LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  return LacksSearchFlags(module, ::GetLastError()) ? LoadFromSystemFolder(name) : module;
}

bool LacksSearchFlags(HMODULE loaded, DWORD error) {
  return loaded == nullptr && error == ERROR_INVALID_PARAMETER;
}

HMODULE LoadFromSystemFolder(const wchar_t* name) {
  std::array<wchar_t, MAX_PATH> folder{};
  const UINT length = ::GetSystemDirectoryW(folder.data(), static_cast<UINT>(folder.size()));
  if (length == 0 || length >= folder.size()) {
    return nullptr;  // never a path relative to the current drive
  }
  const std::wstring path = std::wstring(folder.data(), length) + L'\\' + name;
  return ::LoadLibraryW(path.c_str());
}

FARPROC FindSystemFunction(const wchar_t* library, const char* name) {
  HMODULE module = LoadSystemLibrary(library);
  return module != nullptr ? ::GetProcAddress(module, name) : nullptr;
}

}  // namespace daymarker
