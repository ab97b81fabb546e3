#include "win/system_library.h"

#include <array>
#include <cwchar>

namespace daymarker {

HMODULE LoadSystemLibrary(const wchar_t* name) {
  HMODULE module = ::LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (module != nullptr || ::GetLastError() != ERROR_INVALID_PARAMETER) {
    return module;
  }
  // A Windows without the search flags: load by full path, which searches nowhere.
  std::array<wchar_t, MAX_PATH> path{};
  const UINT folder = ::GetSystemDirectoryW(path.data(), static_cast<UINT>(path.size()));
  const std::size_t nameLength = std::wcslen(name);
  if (folder == 0 || folder + 1 + nameLength >= path.size()) {
    return nullptr;
  }
  path[folder] = L'\\';
  std::wmemcpy(path.data() + folder + 1, name, nameLength + 1);
  return ::LoadLibraryW(path.data());
}

FARPROC FindSystemFunction(const wchar_t* library, const char* name) {
  HMODULE module = LoadSystemLibrary(library);
  return module != nullptr ? ::GetProcAddress(module, name) : nullptr;
}

}  // namespace daymarker
