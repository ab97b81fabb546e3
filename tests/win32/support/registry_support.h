// Shared by the Win32 test programs: HKEY_CURRENT_USER redirected to a scratch
// key, and registry values planted and read back byte for byte.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/settings_values.h"
#include "win/handles.h"

namespace daymarker::testing {

struct RawValue {
  DWORD type = REG_NONE;
  std::vector<BYTE> bytes;

  friend bool operator==(const RawValue&, const RawValue&) = default;
};

using KeyContents = std::map<std::wstring, RawValue>;

// No terminator is added: put one in the view (L"abc\0"sv) to store it.
std::vector<BYTE> TextBytes(std::wstring_view text);
// Little-endian, as a REG_DWORD is stored.
std::vector<BYTE> DwordBytes(std::uint32_t number);
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
ScopedKey CreateTestKey(HKEY root, std::wstring_view path, REGSAM access);

// Stores exactly these bytes as root\path\name, creating the path; false when
// the key cannot be created or the value set.
bool Plant(HKEY root, std::wstring_view path, std::wstring_view name, DWORD type,
           const std::vector<BYTE>& bytes);

// Nothing when the key (or the value) does not exist.
std::optional<KeyContents> ReadKey(HKEY root, std::wstring_view path);
std::optional<RawValue> ReadValue(HKEY root, std::wstring_view path, std::wstring_view name);

// While it lives, HKEY_CURRENT_USER of this process is a fresh empty key
// (RegOverridePredefKey works under Wine as on Windows); a failed redirection
// fails the test.
class ScratchUserKey {
 public:
  ScratchUserKey();
  ~ScratchUserKey();
  ScratchUserKey(const ScratchUserKey&) = delete;
  ScratchUserKey& operator=(const ScratchUserKey&) = delete;

  // The scratch key through a handle of its own, not the redirected root.
  HKEY Key() const { return key_.Get(); }

 private:
  std::wstring path_;
  ScopedKey key_;
};

class ScratchRegistryTest : public ::testing::Test {
 protected:
  HKEY Scratch() const { return user_.Key(); }

 private:
  ScratchUserKey user_;
};

}  // namespace daymarker::testing
