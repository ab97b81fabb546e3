// Test support: HKEY_CURRENT_USER redirected to a fresh scratch key for each
// test, and raw access to what is stored under it.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/handles.h"

namespace daymarker::testing {

struct RawValue {
  DWORD type = REG_NONE;
  std::vector<BYTE> bytes;

  friend bool operator==(const RawValue&, const RawValue&) = default;
};

using KeyContents = std::map<std::wstring, RawValue>;

std::vector<BYTE> TextBytes(std::wstring_view text);
std::vector<BYTE> DwordBytes(std::uint32_t number);

// The values of root\path, or nothing when the key cannot be opened.
std::optional<KeyContents> ReadKey(HKEY root, std::wstring_view path);
bool KeyExists(HKEY root, std::wstring_view path);

// Every test sees an empty HKEY_CURRENT_USER of its own (RegOverridePredefKey
// works under Wine as on Windows); the real key of the program is compared
// before and after, so a redirection that silently failed shows.
class ScratchRegistry : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Stores exactly these bytes, creating path. The system adds a terminator
  // to a REG_SZ whose next character past the data is a NUL, so the data is
  // passed with non-zero bytes after it.
  void Plant(std::wstring_view path, std::wstring_view name, DWORD type,
             const std::vector<BYTE>& bytes);
  std::optional<RawValue> Stored(std::wstring_view path, std::wstring_view name);

  // The scratch key itself, through a handle of our own rather than the
  // redirected root.
  HKEY Scratch() const { return scratch_.Get(); }

 private:
  std::wstring scratchPath_;
  ScopedKey scratch_;
  std::optional<KeyContents> realBefore_;
};

}  // namespace daymarker::testing
