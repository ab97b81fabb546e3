// Shared by the Win32 test programs: HKEY_CURRENT_USER redirected to a scratch
// key, and registry values planted and read back byte for byte.
#pragma once

#include <windows.h>

#include <sddl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/settings_values.h"
#include "win/handles.h"

namespace daymarker::testing {

inline constexpr wchar_t kScratchParent[] = L"Software\\DaymarkerTestScratch";
inline std::atomic<int> gScratchCount = 0;

struct RawValue {
  DWORD type = REG_NONE;
  std::vector<BYTE> bytes;

  friend bool operator==(const RawValue&, const RawValue&) = default;
};

using KeyContents = std::map<std::wstring, RawValue>;

// No terminator is added: put one in the view (L"abc\0"sv) to store it.
inline std::vector<BYTE> TextBytes(std::wstring_view text) {
  const auto* first = reinterpret_cast<const BYTE*>(text.data());
  return std::vector<BYTE>(first, first + text.size() * sizeof(wchar_t));
}
// Little-endian, as a REG_DWORD is stored.
inline std::vector<BYTE> DwordBytes(std::uint32_t number) {
  return {static_cast<BYTE>(number), static_cast<BYTE>(number >> 8),
          static_cast<BYTE>(number >> 16), static_cast<BYTE>(number >> 24)};
}
inline RawValue Dword(std::uint32_t number) {
  return {REG_DWORD, DwordBytes(number)};
}
inline RawValue Sz(std::wstring_view text) {
  return {REG_SZ, TextBytes(text)};
}

// All a save may leave in the settings key: the seven values, each of its type.
inline KeyContents SavedFor(const SettingValues& v) {
  // The system terminates a REG_SZ whose data is followed by a NUL in memory.
  const std::wstring event = v.EventName.empty() ? std::wstring() : v.EventName + L'\0';
  return {{L"WindowX", Dword(v.WindowLeft)},     {L"WindowY", Dword(v.WindowTop)},
          {L"DateNTime", Dword(v.EventSeconds)}, {L"Event", Sz(event)},
          {L"Display", Dword(v.DisplayLevel)},   {L"Update", Dword(v.UpdateIndex)},
          {L"OnlyUnits", Dword(v.OnlyUnitsFlag)}};
}

// root\path opened, or created with every missing level, with access; an
// empty key when that fails.
inline ScopedKey CreateTestKey(HKEY root, std::wstring_view path, REGSAM access) {
  HKEY created = nullptr;
  const LONG result = ::RegCreateKeyExW(root, std::wstring(path).c_str(), 0, nullptr, 0, access,
                                        nullptr, &created, nullptr);
  return ScopedKey(result == ERROR_SUCCESS ? created : nullptr);
}

// A read-only handle given to RegOverridePredefKey does not help: rights are
// checked against each key's own security descriptor when it is opened (Wine
// even creates sub-keys through such a handle). A descriptor on the key itself
// does work, under Wine as on Windows.
inline bool Protect(HKEY key, const wchar_t* sddl) {
  PSECURITY_DESCRIPTOR raw = nullptr;
  const bool made =
      ::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &raw, nullptr);
  const std::unique_ptr<void, decltype(&::LocalFree)> descriptor(raw, &::LocalFree);
  return made && ::RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, raw) == ERROR_SUCCESS;
}

// Stores exactly these bytes as root\path\name, creating the path, and gives
// the key the security descriptor sddl where there is one; false when the key
// cannot be created, the value set or the descriptor given.
inline bool Plant(HKEY root, std::wstring_view path, std::wstring_view name, DWORD type,
                  const std::vector<BYTE>& bytes, const wchar_t* sddl = nullptr) {
  const ScopedKey key = CreateTestKey(root, path, KEY_SET_VALUE | WRITE_DAC);
  // The system terminates a REG_SZ whose data is followed by a NUL in memory,
  // so what follows the data here never is one.
  std::vector<BYTE> padded = bytes;
  padded.insert(padded.end(), {0x41, 0x41, 0x41, 0x41});
  return ::RegSetValueExW(key.Get(), std::wstring(name).c_str(), 0, type, padded.data(),
                          static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS &&
         (sddl == nullptr || Protect(key.Get(), sddl));
}

// Nothing when the key (or the value) does not exist.
inline std::optional<KeyContents> ReadKey(HKEY root, std::wstring_view path) {
  HKEY opened = nullptr;  // never created: a missing key reads as nothing
  if (::RegOpenKeyExW(root, std::wstring(path).c_str(), 0, KEY_QUERY_VALUE, &opened) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  const ScopedKey key(opened);
  KeyContents contents;
  for (DWORD index = 0;; ++index) {
    std::wstring name(16384, L'\0');  // the longest value name allowed, with its NUL
    DWORD nameLength = static_cast<DWORD>(name.size());
    RawValue value;
    DWORD size = 0;
    if (::RegEnumValueW(key.Get(), index, name.data(), &nameLength, nullptr, &value.type, nullptr,
                        &size) != ERROR_SUCCESS) {
      return contents;
    }
    name.resize(nameLength);
    value.bytes.resize(size);
    if (::RegQueryValueExW(key.Get(), name.c_str(), nullptr, &value.type, value.bytes.data(),
                           &size) != ERROR_SUCCESS) {
      return std::nullopt;
    }
    value.bytes.resize(size);
    contents.emplace(std::move(name), std::move(value));
  }
}
inline std::optional<RawValue> ReadValue(HKEY root, std::wstring_view path,
                                         std::wstring_view name) {
  const std::optional<KeyContents> contents = ReadKey(root, path);
  const auto found = contents ? contents->find(std::wstring(name)) : KeyContents::const_iterator();
  return contents && found != contents->end() ? std::optional(found->second) : std::nullopt;
}

// While it lives, HKEY_CURRENT_USER of this process is a fresh empty key
// (RegOverridePredefKey works under Wine as on Windows); a failed redirection
// fails the test.
class ScratchUserKey {
 public:
  ScratchUserKey()
      : path_(std::wstring(kScratchParent) + L"\\" + std::to_wstring(::GetCurrentProcessId()) +
              L"-" + std::to_wstring(++gScratchCount)) {
    ::RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
    key_ = CreateTestKey(HKEY_CURRENT_USER, path_, KEY_ALL_ACCESS);
    EXPECT_TRUE(key_ && ::RegOverridePredefKey(HKEY_CURRENT_USER, key_.Get()) == ERROR_SUCCESS)
        << "HKEY_CURRENT_USER not redirected to a scratch key";
  }
  ~ScratchUserKey() {
    ::RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    key_.Reset();
    ::RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
    // Fails, as it should, while another test program still has a scratch key there.
    ::RegDeleteKeyW(HKEY_CURRENT_USER, kScratchParent);
  }

  // The scratch key through a handle of its own, not the redirected root.
  HKEY Scratch() const { return key_.Get(); }

 private:
  std::wstring path_;
  ScopedKey key_;
};

class ScratchRegistryTest : public ::testing::Test, protected ScratchUserKey {};

}  // namespace daymarker::testing
