// Reading the registry safely, for every layer that reads it: a key is held
// only when its open succeeded and is closed on every path, and a value's
// bytes are read into a buffer the caller sized from the value's own size,
// never past it, whatever a hand-editor stored.
#pragma once

#include <windows.h>

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "win/handles.h"

namespace daymarker {

// Opens root\path with access; key holds the result only when it succeeded.
LONG OpenRegKey(HKEY root, std::wstring_view path, REGSAM access, ScopedKey& key);

// One value of an open key. Construction asks for its type and size, which
// the caller checks before it reads.
class RegValue {
 public:
  RegValue(HKEY key, std::wstring_view name);

  // ERROR_SUCCESS, or the registry's reason the value cannot be read.
  LONG Found() const { return found_; }
  DWORD Type() const { return type_; }
  DWORD Size() const { return size_; }

  // Reads the bytes into buffer, at most as many as it holds: a value that
  // has grown since fails with ERROR_MORE_DATA. received and type are what
  // this read found (a hand-editor may have changed the value meanwhile).
  LONG Read(std::span<std::byte> buffer, DWORD& received, DWORD& type) const;

 private:
  HKEY key_;
  std::wstring name_;  // the registry wants it NUL-terminated
  LONG found_ = ERROR_FILE_NOT_FOUND;
  DWORD type_ = REG_NONE;
  DWORD size_ = 0;
};

}  // namespace daymarker
