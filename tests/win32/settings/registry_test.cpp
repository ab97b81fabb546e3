#include "settings/registry.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <functional>
#include <string>

#include "scratch_registry.h"

namespace daymarker {
namespace {

using testing::DwordBytes;
using testing::RawValue;
using testing::TextBytes;

class Registry : public testing::ScratchRegistry {};

// A REG_SZ as stored, allowing for the terminator the system may add.
void ExpectStoredText(const std::optional<RawValue>& stored, std::wstring_view text) {
  ASSERT_TRUE(stored.has_value());
  EXPECT_EQ(stored->type, static_cast<DWORD>(REG_SZ));
  std::vector<BYTE> expected = TextBytes(text);
  if (!text.empty() && stored->bytes.size() == expected.size() + sizeof(wchar_t)) {
    expected.push_back(0);
    expected.push_back(0);
  }
  EXPECT_EQ(stored->bytes, expected);
}

TEST_F(Registry, WritesATextUnderAMissingPathAndReadsItBack) {
  const std::wstring path = L"One\\Two\\Three";
  ASSERT_FALSE(testing::KeyExists(Scratch(), L"One"));
  EXPECT_EQ(WriteRegSetting(HKEY_CURRENT_USER, path, L"Name", std::wstring(L"Birthday"), REG_SZ),
            ERROR_SUCCESS);
  EXPECT_TRUE(testing::KeyExists(Scratch(), path));
  ExpectStoredText(Stored(path, L"Name"), L"Birthday");
  EXPECT_EQ(ReadRegSetting(HKEY_CURRENT_USER, path, L"Name"), L"Birthday");

  RegData fetched;
  {
    ScopedKey key;
    ASSERT_EQ(::RegOpenKeyExW(Scratch(), path.c_str(), 0, KEY_READ, key.Receive()), ERROR_SUCCESS);
    EXPECT_EQ(FetchRegValue(key.Get(), L"Name", fetched), ERROR_SUCCESS);
  }
  EXPECT_EQ(fetched, RegData(std::wstring(L"Birthday")));
}

struct PutCase {
  const char* label;
  RegData value;
  LONG type;
  LONG result;
  std::optional<RawValue> stored;  // nothing: no value may be written
};

TEST_F(Registry, WritesTextsAndNumbersByTheirTypeCode) {
  const PutCase cases[] = {
      {"text", std::wstring(L"Party"), REG_SZ, 0, RawValue{REG_SZ, TextBytes(L"Party")}},
      {"integer as text", 120, REG_SZ, 0, RawValue{REG_SZ, TextBytes(L"120")}},
      {"negative as text", -5, REG_SZ, 0, RawValue{REG_SZ, TextBytes(L"-5")}},
      {"empty text", std::wstring(), REG_SZ, 0, RawValue{REG_SZ, {}}},
      {"empty carrier as text", RegData(), REG_SZ, 0, RawValue{REG_SZ, {}}},
      {"non-Latin text", std::wstring(L"\x0424\x0435\x0441\x0442 \xD83C\xDF82"), REG_SZ, 0,
       RawValue{REG_SZ, TextBytes(L"\x0424\x0435\x0441\x0442 \xD83C\xDF82")}},
      {"integer", 120, REG_DWORD, 0, RawValue{REG_DWORD, DwordBytes(120)}},
      {"zero", 0, REG_DWORD, 0, RawValue{REG_DWORD, DwordBytes(0)}},
      {"negative", -150, REG_DWORD, 0, RawValue{REG_DWORD, {0x6A, 0xFF, 0xFF, 0xFF}}},
      {"lowest", INT_MIN, REG_DWORD, 0, RawValue{REG_DWORD, {0x00, 0x00, 0x00, 0x80}}},
      {"little-endian", 0x01020304, REG_DWORD, 0, RawValue{REG_DWORD, {0x04, 0x03, 0x02, 0x01}}},
      {"empty carrier as number", RegData(), REG_DWORD, 0, RawValue{REG_DWORD, DwordBytes(0)}},
      {"2.5 rounds to even", std::wstring(L"2.5"), REG_DWORD, 0,
       RawValue{REG_DWORD, DwordBytes(2)}},
      {"3.5 rounds to even", std::wstring(L"3.5"), REG_DWORD, 0,
       RawValue{REG_DWORD, DwordBytes(4)}},
      {"-2.5 rounds to even", std::wstring(L"-2.5"), REG_DWORD, 0,
       RawValue{REG_DWORD, DwordBytes(0xFFFFFFFE)}},
      {"number text", std::wstring(L" 946684800 "), REG_DWORD, 0,
       RawValue{REG_DWORD, DwordBytes(946684800)}},
      {"exponent text", std::wstring(L"1e3"), REG_DWORD, 0, RawValue{REG_DWORD, DwordBytes(1000)}},
      {"non-numeric text", std::wstring(L"abc"), REG_DWORD, ERROR_INVALID_DATA, std::nullopt},
      {"trailing letters", std::wstring(L"12abc"), REG_DWORD, ERROR_INVALID_DATA, std::nullopt},
      {"empty text as number", std::wstring(), REG_DWORD, ERROR_INVALID_DATA, std::nullopt},
      {"beyond 32 bits", std::wstring(L"4294967296"), REG_DWORD, ERROR_INVALID_DATA, std::nullopt},
      {"just beyond 32 bits", std::wstring(L"2147483647.5"), REG_DWORD, ERROR_INVALID_DATA,
       std::nullopt},
      {"type 0", std::wstring(L"x"), REG_NONE, 0, std::nullopt},
      {"type 2", std::wstring(L"x"), REG_EXPAND_SZ, 0, std::nullopt},
      {"type 3", 7, REG_BINARY, 0, std::nullopt},
      {"type 7", std::wstring(L"x"), REG_MULTI_SZ, 0, std::nullopt},
      {"type 11", 7, REG_QWORD, 0, std::nullopt},
      {"type -1", 7, -1, 0, std::nullopt},
  };
  for (const PutCase& c : cases) {
    const std::wstring name = std::wstring(c.label, c.label + std::strlen(c.label));
    EXPECT_EQ(WriteRegSetting(HKEY_CURRENT_USER, L"Put", name, c.value, c.type), c.result)
        << c.label;
    const std::optional<RawValue> stored = Stored(L"Put", name);
    if (!c.stored) {
      EXPECT_FALSE(stored.has_value()) << c.label;
    } else if (c.stored->type == REG_SZ) {
      SCOPED_TRACE(c.label);
      ExpectStoredText(stored,
                       std::wstring_view(reinterpret_cast<const wchar_t*>(c.stored->bytes.data()),
                                         c.stored->bytes.size() / sizeof(wchar_t)));
    } else {
      EXPECT_EQ(stored, c.stored) << c.label;
    }
  }
}

TEST_F(Registry, AFailedConversionLeavesTheOldValue) {
  Plant(L"", L"Keep", REG_DWORD, DwordBytes(77));
  EXPECT_EQ(WriteRegSetting(HKEY_CURRENT_USER, L"", L"Keep", std::wstring(L"x"), REG_DWORD),
            ERROR_INVALID_DATA);
  EXPECT_EQ(Stored(L"", L"Keep"), (RawValue{REG_DWORD, DwordBytes(77)}));
}

struct FetchCase {
  const char* label;
  DWORD type;
  std::vector<BYTE> bytes;
  std::wstring read;               // what ReadRegSetting gives
  LONG result;                     // what FetchRegValue returns
  std::optional<RegData> fetched;  // nothing: the carrier stays untouched
};

std::vector<BYTE> Join(std::vector<BYTE> first, const std::vector<BYTE>& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

TEST_F(Registry, ReadsWhatIsStoredDistrustingTypeAndSize) {
  const std::wstring abNulCd(L"ab\0cd", 5);
  const FetchCase cases[] = {
      {"three letters with a NUL", REG_SZ, TextBytes(std::wstring(L"abc\0", 4)), L"abc", 0,
       RegData(std::wstring(L"abc"))},
      {"three letters without a NUL", REG_SZ, TextBytes(L"abc"), L"abc", 0,
       RegData(std::wstring(L"abc"))},
      {"embedded NUL", REG_SZ, TextBytes(abNulCd), L"ab", 0, RegData(std::wstring(L"ab"))},
      {"odd byte count", REG_SZ, Join(TextBytes(L"ab"), {0x63}), L"ab", 0,
       RegData(std::wstring(L"ab"))},
      {"one byte", REG_SZ, {0x63}, L"", 0, RegData(std::wstring())},
      {"zero bytes", REG_SZ, {}, L"", 0, RegData(std::wstring())},
      {"a single NUL", REG_SZ, {0, 0}, L"", 0, RegData(std::wstring())},
      {"leading NUL", REG_SZ, TextBytes(std::wstring(L"\0abc", 4)), L"", 0,
       RegData(std::wstring())},
      {"dword 0", REG_DWORD, DwordBytes(0), L"0", 0, RegData(0)},
      {"dword 120", REG_DWORD, DwordBytes(120), L"120", 0, RegData(120)},
      {"dword all ones", REG_DWORD, DwordBytes(0xFFFFFFFF), L"-1", 0, RegData(-1)},
      {"dword lowest", REG_DWORD, DwordBytes(0x80000000), L"-2147483648", 0, RegData(INT_MIN)},
      {"dword little-endian",
       REG_DWORD,
       {0x04, 0x03, 0x02, 0x01},
       L"16909060",
       0,
       RegData(0x01020304)},
      {"dword of 0 bytes", REG_DWORD, {}, L"", -1, std::nullopt},
      {"dword of 2 bytes", REG_DWORD, {7, 0}, L"", -1, std::nullopt},
      {"dword of 8 bytes", REG_DWORD, {7, 0, 0, 0, 0, 0, 0, 0}, L"", -1, std::nullopt},
      {"expandable text", REG_EXPAND_SZ, TextBytes(std::wstring(L"abc\0", 4)), L"", -1,
       std::nullopt},
      {"binary", REG_BINARY, {1, 2, 3, 4}, L"", -1, std::nullopt},
      {"multi text", REG_MULTI_SZ, TextBytes(std::wstring(L"a\0b\0\0", 5)), L"", -1, std::nullopt},
      {"qword", REG_QWORD, {1, 0, 0, 0, 0, 0, 0, 0}, L"", -1, std::nullopt},
      {"big-endian dword", REG_DWORD_BIG_ENDIAN, DwordBytes(1), L"", -1, std::nullopt},
      {"none", REG_NONE, {1}, L"", -1, std::nullopt},
      {"an unknown type", 0x12345, {1, 2, 3, 4}, L"", -1, std::nullopt},
  };
  const RegData sentinel = std::wstring(L"untouched");
  for (const FetchCase& c : cases) {
    const std::wstring name(c.label, c.label + std::strlen(c.label));
    Plant(L"Fetch", name, c.type, c.bytes);
    EXPECT_EQ(ReadRegSetting(HKEY_CURRENT_USER, L"Fetch", name), c.read) << c.label;

    ScopedKey key;
    ASSERT_EQ(::RegOpenKeyExW(Scratch(), L"Fetch", 0, KEY_READ, key.Receive()), ERROR_SUCCESS);
    RegData fetched = sentinel;
    EXPECT_EQ(FetchRegValue(key.Get(), name, fetched), c.result) << c.label;
    EXPECT_EQ(fetched, c.fetched.value_or(sentinel)) << c.label;
  }
}

TEST_F(Registry, ReadsAMegabyteText) {
  const std::wstring text(1 << 20, L'\x4E2D');
  ASSERT_EQ(WriteRegSetting(HKEY_CURRENT_USER, L"Big", L"Text", text, REG_SZ), 0);
  EXPECT_EQ(ReadRegSetting(HKEY_CURRENT_USER, L"Big", L"Text"), text);
}

TEST_F(Registry, AMissingValueReadsAsEmpty) {
  Plant(L"Here", L"Other", REG_DWORD, DwordBytes(1));
  EXPECT_EQ(ReadRegSetting(HKEY_CURRENT_USER, L"Here", L"Absent"), L"");

  ScopedKey key;
  ASSERT_EQ(::RegOpenKeyExW(Scratch(), L"Here", 0, KEY_READ, key.Receive()), ERROR_SUCCESS);
  RegData fetched = 42;
  EXPECT_EQ(FetchRegValue(key.Get(), L"Absent", fetched), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(fetched, RegData(42));
}

TEST_F(Registry, AMissingKeyReadsAsEmptyAndIsNotCreated) {
  EXPECT_EQ(ReadRegSetting(HKEY_CURRENT_USER, L"No\\Such\\Key", L"Value"), L"");
  EXPECT_FALSE(testing::KeyExists(Scratch(), L"No"));
  DWORD subKeys = 1;
  DWORD values = 1;
  ASSERT_EQ(::RegQueryInfoKeyW(Scratch(), nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr,
                               &values, nullptr, nullptr, nullptr, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(subKeys, 0u);
  EXPECT_EQ(values, 0u);

  RegData fetched = 42;
  EXPECT_NE(FetchRegValue(nullptr, L"Value", fetched), ERROR_SUCCESS);
  EXPECT_EQ(fetched, RegData(42));
}

// Wine hands out the lowest free handle slot (Windows reuses freed ones
// first too), so a handle left open by a call shifts the next one opened.
// The probe opens a real sub-key: opening "" gives back the root itself.
HKEY NextHandleValue() {
  HKEY key = nullptr;
  EXPECT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, L"Leak", 0, KEY_READ, &key), ERROR_SUCCESS);
  ::RegCloseKey(key);
  return key;
}

TEST_F(Registry, LeavesNoKeyHandleOpen) {
  Plant(L"Leak", L"Text", REG_SZ, TextBytes(L"abc"));
  Plant(L"Leak", L"Number", REG_DWORD, DwordBytes(5));
  Plant(L"Leak", L"Short", REG_DWORD, {5});
  Plant(L"Leak", L"Binary", REG_BINARY, {5});
  const std::pair<const char*, std::function<void()>> calls[] = {
      {"read text", [] { ReadRegSetting(HKEY_CURRENT_USER, L"Leak", L"Text"); }},
      {"read number", [] { ReadRegSetting(HKEY_CURRENT_USER, L"Leak", L"Number"); }},
      {"read short", [] { ReadRegSetting(HKEY_CURRENT_USER, L"Leak", L"Short"); }},
      {"read binary", [] { ReadRegSetting(HKEY_CURRENT_USER, L"Leak", L"Binary"); }},
      {"read missing value", [] { ReadRegSetting(HKEY_CURRENT_USER, L"Leak", L"None"); }},
      {"read missing key", [] { ReadRegSetting(HKEY_CURRENT_USER, L"Gone", L"None"); }},
      {"write existing key", [] { WriteRegSetting(HKEY_CURRENT_USER, L"Leak", L"W", 1, 4); }},
      {"write new key", [] { WriteRegSetting(HKEY_CURRENT_USER, L"New\\Key", L"W", 1, 4); }},
      {"write bad number",
       [] { WriteRegSetting(HKEY_CURRENT_USER, L"Leak", L"W", std::wstring(L"x"), 4); }},
      {"write unknown type", [] { WriteRegSetting(HKEY_CURRENT_USER, L"Leak", L"W", 1, 9); }},
      {"make key", [] { MakeRegKey(HKEY_CURRENT_USER, L"Made"); }},
  };
  for (const auto& [label, call] : calls) {
    call();  // once first, so anything the system opens lazily is already open
    const HKEY before = NextHandleValue();
    call();
    EXPECT_EQ(NextHandleValue(), before) << label;
  }
}

}  // namespace
}  // namespace daymarker
