#include "settings/registry.h"

#include <array>
#include <cstddef>
#include <span>
#include <utility>

#include "core/decimal.h"
#include "core/number_text.h"
#include "core/terminated_text.h"
#include "win/handles.h"
#include "win/registry_value.h"

namespace daymarker {
namespace internal {

// What FetchRegValue returns for a stored value it does not handle.
extern const LONG kRegUnsupportedType = -1;

}  // namespace internal
namespace {

using internal::kRegUnsupportedType;

// Every key is opened and created with these rights, without the standard
// rights that KEY_ALL_ACCESS adds.
constexpr REGSAM kRegAccess = KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_CREATE_SUB_KEY |
                              KEY_ENUMERATE_SUB_KEYS | KEY_NOTIFY | KEY_CREATE_LINK;

// Longer texts count as missing: no name anyone typed is this long, and the
// copies a read leads to (this one, the text box's) must fit a 32-bit process.
constexpr DWORD kLongestTextBytes = 64 * 1024 * 1024;

LONG FetchText(const RegValue& value, RegData& out) {
  if (value.Size() > kLongestTextBytes) {
    return ERROR_NOT_ENOUGH_MEMORY;
  }
  // Whole characters, an odd last byte counting as one more.
  std::wstring text((std::size_t{value.Size()} + 1) / sizeof(wchar_t), L'\0');
  out = std::wstring();  // what a value that changed between the two queries leaves
  DWORD received = 0;
  DWORD type = REG_NONE;
  const LONG result = value.Read(std::as_writable_bytes(std::span(text)), received, type);
  if (result != ERROR_SUCCESS) {
    return result;  // it grew or went since it was measured
  }
  if (type != REG_SZ) {
    return kRegUnsupportedType;  // replaced since it was measured
  }
  // The data need not end in a NUL, may hold several, and may end in half a character.
  text.resize(received / sizeof(wchar_t));
  CutAtNul(text);
  out = std::move(text);
  return ERROR_SUCCESS;
}

LONG FetchNumber(const RegValue& value, RegData& out) {
  // A REG_DWORD stored with any other size than 4 bytes (0, 2, 8, ...) is
  // treated as an unsupported value: guessing at a shorter or longer number
  // would load something the program never saved.
  if (value.Size() != sizeof(DWORD)) {
    return kRegUnsupportedType;
  }
  std::array<BYTE, sizeof(DWORD)> bytes{};
  DWORD received = 0;
  DWORD type = REG_NONE;
  const LONG result = value.Read(std::as_writable_bytes(std::span(bytes)), received, type);
  if (result != ERROR_SUCCESS) {
    return result;  // it grew or went since it was measured
  }
  const std::uint32_t number = std::uint32_t{bytes[0]} | (std::uint32_t{bytes[1]} << 8) |
                               (std::uint32_t{bytes[2]} << 16) | (std::uint32_t{bytes[3]} << 24);
  out = static_cast<std::int32_t>(number);
  return ERROR_SUCCESS;
}

std::optional<std::int32_t> NumberOf(const RegData& value) {
  if (const auto* number = std::get_if<std::int32_t>(&value)) {
    return *number;
  }
  if (const auto* text = std::get_if<std::wstring>(&value)) {
    return WholeNumberToInt32(*text);
  }
  return 0;  // an empty carrier counts as zero
}

// "" for empty, the text itself, or an integer's signed decimal text.
std::wstring RegDataText(const RegData& value) {
  if (const auto* text = std::get_if<std::wstring>(&value)) {
    return *text;
  }
  if (const auto* number = std::get_if<std::int32_t>(&value)) {
    return DecimalText(*number);
  }
  return std::wstring();
}

// Creates root\path with every missing level; key holds it when that succeeded.
void CreateKey(HKEY root, std::wstring_view path, ScopedKey& key) {
  HKEY created = nullptr;
  if (::RegCreateKeyExW(root, std::wstring(path).c_str(), REG_OPTION_RESERVED, nullptr,
                        REG_OPTION_NON_VOLATILE, kRegAccess, nullptr, &created,
                        nullptr) == ERROR_SUCCESS) {
    key.Reset(created);
  }
}

// Stores value under name in an open key. A REG_SZ is stored without a
// terminating NUL. For REG_DWORD a text must be a whole number (a fraction is
// rounded half to even); one that is not, or that does not fit 32 bits, writes
// nothing and gives ERROR_INVALID_DATA. An empty value is stored as 0.
LONG PutRegValue(HKEY key, std::wstring_view name, LONG type, const RegData& value) {
  const std::wstring valueName(name);  // the registry wants it NUL-terminated; a view may not be
  if (type == REG_SZ) {
    const std::wstring text = RegDataText(value);
    const std::size_t bytes = text.size() * sizeof(wchar_t);
    const auto size = static_cast<DWORD>(bytes);
    if (size != bytes) {
      return ERROR_INVALID_DATA;  // longer than a value can hold
    }
    // No terminator is counted. c_str() still has one just past the data,
    // which matters: the system may look there to decide whether to add it.
    return ::RegSetValueExW(key, valueName.c_str(), 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(text.c_str()), size);
  }
  if (type == REG_DWORD) {
    const std::optional<std::int32_t> number = NumberOf(value);
    if (!number) {
      return ERROR_INVALID_DATA;
    }
    const auto bits = static_cast<std::uint32_t>(*number);
    const std::array<BYTE, sizeof(DWORD)> bytes = {
        static_cast<BYTE>(bits), static_cast<BYTE>(bits >> 8), static_cast<BYTE>(bits >> 16),
        static_cast<BYTE>(bits >> 24)};
    return ::RegSetValueExW(key, valueName.c_str(), 0, REG_DWORD, bytes.data(),
                            static_cast<DWORD>(bytes.size()));
  }
  return ERROR_SUCCESS;
}

}  // namespace

LONG WriteRegSetting(HKEY root, std::wstring_view path, std::wstring_view name,
                     const RegData& value, LONG type) {
  ScopedKey key;
  // Only a missing key is created; on any other failure (access denied, say)
  // the write below fails on the null handle and reports why.
  if (OpenRegKey(root, path, kRegAccess, key) == ERROR_FILE_NOT_FOUND) {
    CreateKey(root, path, key);
  }
  return PutRegValue(key.Get(), name, type, value);
}

namespace internal {

// Reads name from an open key into out: a REG_SZ as its text up to the first
// NUL, a REG_DWORD of exactly 4 bytes as an integer. Returns 0, the
// registry's error code (out untouched; for a failed second read of a REG_SZ,
// out is set empty), ERROR_NOT_ENOUGH_MEMORY for a text of more than 64 MiB
// (out untouched), or kRegUnsupportedType with out untouched.
LONG FetchRegValue(HKEY key, std::wstring_view name, RegData& out) {
  const RegValue value(key, name);
  if (value.Found() != ERROR_SUCCESS) {
    return value.Found();
  }
  switch (value.Type()) {
    case REG_SZ:
      return FetchText(value, out);
    case REG_DWORD:
      return FetchNumber(value, out);
    default:
      return kRegUnsupportedType;
  }
}

}  // namespace internal

std::wstring ReadRegSetting(HKEY root, std::wstring_view path, std::wstring_view name) {
  ScopedKey key;
  OpenRegKey(root, path, kRegAccess, key);
  RegData value;
  internal::FetchRegValue(key.Get(), name, value);
  return RegDataText(value);
}

}  // namespace daymarker
