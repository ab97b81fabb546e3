#include "win/registry_value.h"

#include <algorithm>

namespace daymarker {

LONG OpenRegKey(HKEY root, std::wstring_view path, REGSAM access, ScopedKey& key) {
  HKEY opened = nullptr;
  const LONG result = ::RegOpenKeyExW(root, std::wstring(path).c_str(), 0, access, &opened);
  // After a failure the out-parameter means nothing.
  if (result == ERROR_SUCCESS) {
    key.Reset(opened);
  }
  return result;
}

RegValue::RegValue(HKEY key, std::wstring_view name) : key_(key), name_(name) {
  found_ = ::RegQueryValueExW(key_, name_.c_str(), nullptr, &type_, nullptr, &size_);
}

LONG RegValue::Read(std::span<std::byte> buffer, DWORD& received, DWORD& type) const {
  // The buffer's own size, so that the query can never write past it.
  const auto capacity = static_cast<DWORD>(std::min<std::size_t>(buffer.size(), MAXDWORD));
  received = capacity;
  type = REG_NONE;
  const LONG result = ::RegQueryValueExW(key_, name_.c_str(), nullptr, &type,
                                         reinterpret_cast<BYTE*>(buffer.data()), &received);
  // An empty buffer may have no address, and then the query only measures.
  if (result == ERROR_SUCCESS && received > capacity) {
    return ERROR_MORE_DATA;
  }
  return result;
}

}  // namespace daymarker
