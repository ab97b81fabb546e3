#include "settings/registry.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>

#include "tests/win32/support/registry_support.h"

namespace daymarker {
namespace {

using namespace std::literals;
using namespace testing;

const auto none = std::nullopt;

class Registry : public ScratchRegistryTest {};

// Where a RawValue{REG_SZ, TextBytes(L"...\0"sv)} is expected, the layer wrote
// no terminator and the system added it, as it does when a NUL follows the data.

TEST_F(Registry, WritesByTypeCodeCreatingAMissingPath) {
  // Value name, value, type code, result, what is stored (nothing: no value).
  const std::tuple<const wchar_t*, RegData, LONG, LONG, std::optional<RawValue>> cases[] = {
      {L"Name", L"Birthday"s, REG_SZ, 0, RawValue{REG_SZ, TextBytes(L"Birthday\0"sv)}},
      {L"number as text", 120, REG_SZ, 0, RawValue{REG_SZ, TextBytes(L"120\0"sv)}},
      {L"half to even down", L"2.5"s, REG_DWORD, 0, RawValue{REG_DWORD, DwordBytes(2)}},
      {L"half to even up", L"3.5"s, REG_DWORD, 0, RawValue{REG_DWORD, DwordBytes(4)}},
      {L"trailing letters", L"12abc"s, REG_DWORD, ERROR_INVALID_DATA, none},
      {L"type 3", 7, REG_BINARY, 0, none},
  };
  EXPECT_EQ(ReadRegSetting(HKEY_CURRENT_USER, L"One\\Two", L"Name"), L"");
  ASSERT_EQ(ReadKey(Scratch(), L"One"), none) << "reading a missing key created it";
  for (const auto& [name, value, type, result, stored] : cases) {
    EXPECT_EQ(WriteRegSetting(HKEY_CURRENT_USER, L"One\\Two", name, value, type), result) << name;
    EXPECT_EQ(ReadValue(Scratch(), L"One\\Two", name), stored) << name;
  }
  EXPECT_EQ(ReadRegSetting(HKEY_CURRENT_USER, L"One\\Two", L"Name"), L"Birthday");
}

TEST_F(Registry, ReadsWhatIsStoredDistrustingTypeAndSize) {
  // Value name, what is stored (nothing: no value), ReadRegSetting's text,
  // FetchRegValue's result and carrier (nothing: left alone).
  const std::tuple<const wchar_t*, std::optional<RawValue>, std::wstring, LONG,
                   std::optional<RegData>>
      cases[] = {
          {L"terminated", RawValue{REG_SZ, TextBytes(L"abc\0"sv)}, L"abc", 0, L"abc"s},
          {L"unterminated", RawValue{REG_SZ, TextBytes(L"abc"sv)}, L"abc", 0, L"abc"s},
          {L"embedded NUL", RawValue{REG_SZ, TextBytes(L"ab\0cd"sv)}, L"ab", 0, L"ab"s},
          {L"odd size", RawValue{REG_SZ, {0x61, 0, 0x62}}, L"a", 0, L"a"s},
          {L"dword 0", RawValue{REG_DWORD, DwordBytes(0)}, L"0", 0, 0},
          {L"dword all ones", RawValue{REG_DWORD, DwordBytes(0xFFFFFFFF)}, L"-1", 0, -1},
          {L"dword of 0 bytes", RawValue{REG_DWORD, {}}, L"", -1, none},
          {L"dword of 2 bytes", RawValue{REG_DWORD, {7, 0}}, L"", -1, none},
          {L"dword of 8 bytes", RawValue{REG_DWORD, {7, 0, 0, 0, 0, 0, 0, 0}}, L"", -1, none},
          {L"expandable", RawValue{REG_EXPAND_SZ, TextBytes(L"abc\0"sv)}, L"", -1, none},
          {L"missing", none, L"", ERROR_FILE_NOT_FOUND, none},
      };
  for (const auto& [name, stored, read, result, fetched] : cases) {
    if (stored) {
      ASSERT_TRUE(Plant(Scratch(), L"", name, stored->type, stored->bytes));
    }
    EXPECT_EQ(ReadRegSetting(HKEY_CURRENT_USER, L"", name), read) << name;
    RegData carrier = L"untouched"s;
    EXPECT_EQ(FetchRegValue(Scratch(), name, carrier), result) << name;
    EXPECT_EQ(carrier, fetched.value_or(L"untouched"s)) << name;
  }
}

}  // namespace
}  // namespace daymarker
