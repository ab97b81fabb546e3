// A small registry layer: one value written or read per call, named by a
// root key, a sub-key path and a value name. Both calls open their own key
// and close it before returning; no key handle outlives a call. Only text
// (REG_SZ, type 1) and 32-bit integers (REG_DWORD, type 4) are handled.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace daymarker {

// Empty, a text or a signed 32-bit integer.
using RegData = std::variant<std::monostate, std::wstring, std::int32_t>;

// Writes one value, creating the key first when it is missing. type is 1
// (REG_SZ, a number written as its decimal text, stored without a NUL) or 4
// (REG_DWORD, a text rounded to a whole number half to even; one that is no
// number, or does not fit 32 bits, writes nothing and gives
// ERROR_INVALID_DATA; empty is 0); any other type writes nothing and gives 0.
LONG WriteRegSetting(HKEY root, std::wstring_view path, std::wstring_view name,
                     const RegData& value, LONG type);

// The stored value as text: a REG_SZ up to its first NUL, a REG_DWORD as its
// signed decimal text, and "" for a missing key or value, an empty text or any
// other stored type. Never creates a key.
std::wstring ReadRegSetting(HKEY root, std::wstring_view path, std::wstring_view name);

}  // namespace daymarker
