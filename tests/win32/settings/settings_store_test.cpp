#include "settings/settings_store.h"

#include <windows.h>

#include <sddl.h>

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "core/calendar.h"
#include "scratch_registry.h"

namespace daymarker {
namespace {

using testing::DwordBytes;
using testing::KeyContents;
using testing::RawValue;
using testing::TextBytes;

// Distinct values everywhere, so a value loaded into the wrong variable shows.
SettingValues Baseline() {
  SettingValues values;
  values.WindowLeft = 1111;
  values.WindowTop = 2222;
  values.EventSeconds = 3333;
  values.EventName = L"Enter event here...";
  values.DisplayLevel = 4;
  values.UpdateIndex = 3;
  values.OnlyUnitsFlag = 2;
  return values;
}

bool IsWide(SettingId id) {
  return id == SettingId::WindowX || id == SettingId::WindowY || id == SettingId::DateNTime;
}

void SetNumber(SettingValues& values, SettingId id, std::int64_t number) {
  switch (id) {
    case SettingId::WindowX:
      values.WindowLeft = static_cast<std::int32_t>(number);
      return;
    case SettingId::WindowY:
      values.WindowTop = static_cast<std::int32_t>(number);
      return;
    case SettingId::DateNTime:
      values.EventSeconds = static_cast<std::int32_t>(number);
      return;
    case SettingId::Display:
      values.DisplayLevel = static_cast<std::int16_t>(number);
      return;
    case SettingId::Update:
      values.UpdateIndex = static_cast<std::int16_t>(number);
      return;
    case SettingId::OnlyUnits:
      values.OnlyUnitsFlag = static_cast<std::int16_t>(number);
      return;
    case SettingId::Event:
      FAIL() << "Event is not a number";
  }
}

std::int64_t GetNumber(const SettingValues& values, SettingId id) {
  switch (id) {
    case SettingId::WindowX:
      return values.WindowLeft;
    case SettingId::WindowY:
      return values.WindowTop;
    case SettingId::DateNTime:
      return values.EventSeconds;
    case SettingId::Display:
      return values.DisplayLevel;
    case SettingId::Update:
      return values.UpdateIndex;
    case SettingId::OnlyUnits:
      return values.OnlyUnitsFlag;
    case SettingId::Event:
      break;
  }
  ADD_FAILURE() << "Event is not a number";
  return 0;
}

std::string Label(SettingId id) {
  const std::wstring_view name = SettingName(id);
  return std::string(name.begin(), name.end());
}

class SettingsStore : public testing::ScratchRegistry {
 protected:
  std::optional<KeyContents> SavedKey() { return testing::ReadKey(Scratch(), SettingsKeyPath()); }

  // After a save the key holds the seven values and nothing else, each of
  // its type, and they say what values says.
  void ExpectSavedExactly(const SettingValues& values) {
    const std::optional<KeyContents> saved = SavedKey();
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(saved->size(), kSettingIds.size());
    for (SettingId id : kSettingIds) {
      const auto found = saved->find(std::wstring(SettingName(id)));
      ASSERT_NE(found, saved->end()) << Label(id);
      const RawValue& stored = found->second;
      if (id == SettingId::Event) {
        EXPECT_EQ(stored.type, static_cast<DWORD>(REG_SZ));
        std::vector<BYTE> expected = TextBytes(values.EventName);
        if (!values.EventName.empty() && stored.bytes.size() == expected.size() + 2) {
          expected.insert(expected.end(), {0, 0});  // the system's own terminator
        }
        EXPECT_TRUE(stored.bytes == expected) << "Event as stored";
      } else {
        EXPECT_EQ(stored.type, static_cast<DWORD>(REG_DWORD)) << Label(id);
        EXPECT_EQ(stored.bytes, DwordBytes(static_cast<std::uint32_t>(GetNumber(values, id))))
            << Label(id);
      }
    }
  }
};

TEST(SettingsKeyPath, IsBuiltFromCompanyAndTitle) {
  EXPECT_EQ(SettingsKeyPath(), L"Software\\Tolvane\\Daymarker");
}

TEST_F(SettingsStore, WithoutAKeyLoadFindsNothingAndCreatesNothing) {
  SettingValues values = Baseline();
  EXPECT_FALSE(LoadSettings(values));
  EXPECT_EQ(values, Baseline());
  EXPECT_FALSE(testing::KeyExists(Scratch(), L"Software"));
}

TEST_F(SettingsStore, AnEmptyKeyFindsNothing) {
  ASSERT_EQ(MakeRegKey(HKEY_CURRENT_USER, SettingsKeyPath()), ERROR_SUCCESS);
  SettingValues values = Baseline();
  EXPECT_FALSE(LoadSettings(values));
  EXPECT_EQ(values, Baseline());
}

TEST_F(SettingsStore, TheFirstSaveCreatesTheSevenValues) {
  SettingValues values = Baseline();
  values.WindowLeft = -150;
  values.EventName = L"Party";
  ASSERT_TRUE(SaveSettings(values));
  ExpectSavedExactly(values);

  SettingValues loaded;
  EXPECT_TRUE(LoadSettings(loaded));
  EXPECT_EQ(loaded, values);
}

TEST_F(SettingsStore, AnEmptyNameIsSavedEmptyAndKeepsTheDefault) {
  SettingValues values = Baseline();
  values.EventName.clear();
  ASSERT_TRUE(SaveSettings(values));
  EXPECT_EQ(SavedKey()->at(L"Event"), (RawValue{REG_SZ, {}}));

  SettingValues loaded = Baseline();
  EXPECT_TRUE(LoadSettings(loaded));
  EXPECT_EQ(loaded.EventName, L"Enter event here...");
}

TEST_F(SettingsStore, OnlyTheEventPresentChangesOnlyTheName) {
  Plant(SettingsKeyPath(), L"Event", REG_SZ, TextBytes(L"Party"));
  SettingValues values = Baseline();
  SettingValues expected = Baseline();
  expected.EventName = L"Party";
  EXPECT_TRUE(LoadSettings(values));
  EXPECT_EQ(values, expected);
}

TEST_F(SettingsStore, TheFirstSecondOf2000IsSavedAs946684800) {
  SettingValues values = Baseline();
  values.EventSeconds = EventSecondsFromWall(WallSecondsFromCivil({2000, 1, 1, 0, 0, 0}));
  ASSERT_TRUE(SaveSettings(values));
  EXPECT_EQ(SavedKey()->at(L"DateNTime"), (RawValue{REG_DWORD, DwordBytes(946684800)}));
  SettingValues loaded;
  ASSERT_TRUE(LoadSettings(loaded));
  EXPECT_EQ(loaded.EventSeconds, 946684800);
}

wchar_t RandomCharacter(std::mt19937& random) {
  struct Range {
    wchar_t first;
    wchar_t last;
  };
  // No NUL: a text box cannot hold one, and a stored one ends the name.
  const Range ranges[] = {
      {L' ', L'~'},           {L'\x01', L'\x1F'},     {L'\xA0', L'\xFF'},
      {L'\x0400', L'\x04FF'}, {L'\x0590', L'\x06FF'}, {L'\x4E00', L'\x9FFF'},
      {L'\xAC00', L'\xD7A3'}, {L'\xE000', L'\xFFFD'},
  };
  const Range& range =
      ranges[std::uniform_int_distribution<std::size_t>(0, std::size(ranges) - 1)(random)];
  return static_cast<wchar_t>(std::uniform_int_distribution<int>(range.first, range.last)(random));
}

std::wstring RandomName(std::mt19937& random, int iteration) {
  if (iteration % 50 == 7) {
    return std::wstring(1 << 20, RandomCharacter(random));
  }
  const int length = std::uniform_int_distribution<int>(0, 40)(random);
  std::wstring name;
  for (int i = 0; i < length; ++i) {
    if (std::uniform_int_distribution<int>(0, 9)(random) == 0) {
      name += L"\xD83C\xDF89";  // a character beyond the basic plane
    } else {
      name += RandomCharacter(random);
    }
  }
  return name;
}

TEST_F(SettingsStore, ARoundTripLosesNothing) {
  std::mt19937 random(20260101);
  std::uniform_int_distribution<std::int32_t> wide(INT32_MIN, INT32_MAX);
  std::uniform_int_distribution<int> narrow(INT16_MIN, INT16_MAX);
  for (int iteration = 0; iteration < 200; ++iteration) {
    SettingValues values;
    values.WindowLeft = wide(random);
    values.WindowTop = wide(random);
    values.EventSeconds = wide(random);
    values.EventName = RandomName(random, iteration);
    values.DisplayLevel = static_cast<std::int16_t>(narrow(random));
    values.UpdateIndex = static_cast<std::int16_t>(narrow(random));
    values.OnlyUnitsFlag = static_cast<std::int16_t>(narrow(random));

    ASSERT_TRUE(SaveSettings(values)) << "iteration " << iteration;
    SettingValues loaded;
    EXPECT_TRUE(LoadSettings(loaded)) << "iteration " << iteration;
    ASSERT_EQ(loaded, values) << "iteration " << iteration << ", name of "
                              << values.EventName.size() << " characters";
  }
  EXPECT_EQ(SavedKey()->size(), kSettingIds.size());
}

struct BadCase {
  const char* label;
  bool present;
  DWORD type;
  std::vector<BYTE> bytes;
  bool found;
  // What a 32-bit, a 16-bit variable and the name become; nothing: unchanged.
  std::optional<std::int64_t> wide;
  std::optional<std::int64_t> narrow;
  std::optional<std::wstring> name;
};

std::vector<BYTE> Join(std::vector<BYTE> first, const std::vector<BYTE>& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

TEST_F(SettingsStore, HandEditedValuesNeverHurt) {
  const std::wstring megabyteOfX(1 << 20, L'x');
  const std::wstring megabyteOfDigits(1 << 20, L'9');
  const auto none = std::nullopt;
  const BadCase cases[] = {
      {"missing", false, REG_NONE, {}, false, none, none, none},
      {"text number", true, REG_SZ, TextBytes(L"123"), true, 123, 123, L"123"},
      {"text with terminator", true, REG_SZ, TextBytes(std::wstring(L"77\0", 3)), true, 77, 77,
       L"77"},
      {"text of odd size", true, REG_SZ, Join(TextBytes(L"5"), {0x36}), true, 5, 5, L"5"},
      {"empty text", true, REG_SZ, {}, false, none, none, none},
      {"a single NUL", true, REG_SZ, {0, 0}, false, none, none, none},
      {"blank", true, REG_SZ, TextBytes(L" "), true, 0, 0, L" "},
      {"half", true, REG_SZ, TextBytes(L"2.5"), true, 2, 2, L"2.5"},
      {"embedded NUL", true, REG_SZ,
       TextBytes(std::wstring(L"12\0"
                              L"34",
                              5)),
       true, 12, 12, L"12"},
      {"non-numeric", true, REG_SZ, TextBytes(L"abc"), true, 0, 0, L"abc"},
      {"negative", true, REG_SZ, TextBytes(L"-150"), true, -150, -150, L"-150"},
      {"beyond 16 bits", true, REG_SZ, TextBytes(L"40000"), true, 40000, none, L"40000"},
      {"beyond 32 bits", true, REG_SZ, TextBytes(L"5000000000"), true, none, none, L"5000000000"},
      {"below 32 bits", true, REG_SZ, TextBytes(L"-2147483649"), true, none, none, L"-2147483649"},
      {"infinite", true, REG_SZ, TextBytes(L"1e999"), true, none, none, L"1e999"},
      {"megabyte of letters", true, REG_SZ, TextBytes(megabyteOfX), true, 0, 0, megabyteOfX},
      {"megabyte of digits", true, REG_SZ, TextBytes(megabyteOfDigits), true, none, none,
       megabyteOfDigits},
      {"expandable text", true, REG_EXPAND_SZ, TextBytes(L"123"), false, none, none, none},
      {"multi text", true, REG_MULTI_SZ,
       TextBytes(std::wstring(L"1\0"
                              L"2\0\0",
                              5)),
       false, none, none, none},
      {"binary", true, REG_BINARY, {1, 0, 0, 0}, false, none, none, none},
      {"dword", true, REG_DWORD, DwordBytes(7), true, 7, 7, L"7"},
      {"dword 0", true, REG_DWORD, DwordBytes(0), true, 0, 0, L"0"},
      {"dword -150", true, REG_DWORD, DwordBytes(0xFFFFFF6A), true, -150, -150, L"-150"},
      {"dword 946684800", true, REG_DWORD, DwordBytes(946684800), true, 946684800, none,
       L"946684800"},
      {"dword beyond 16 bits", true, REG_DWORD, DwordBytes(40000), true, 40000, none, L"40000"},
      {"dword lowest 16 bits", true, REG_DWORD, DwordBytes(0xFFFF8000), true, -32768, -32768,
       L"-32768"},
      {"dword lowest", true, REG_DWORD, DwordBytes(0x80000000), true, INT32_MIN, none,
       L"-2147483648"},
      {"dword of 0 bytes", true, REG_DWORD, {}, false, none, none, none},
      {"dword of 2 bytes", true, REG_DWORD, {7, 0}, false, none, none, none},
      {"dword of 8 bytes", true, REG_DWORD, {7, 0, 0, 0, 0, 0, 0, 0}, false, none, none, none},
      {"qword", true, REG_QWORD, {7, 0, 0, 0, 0, 0, 0, 0}, false, none, none, none},
      {"none", true, REG_NONE, {7}, false, none, none, none},
  };
  for (SettingId id : kSettingIds) {
    for (const BadCase& c : cases) {
      const std::string label = Label(id) + " " + c.label;
      ::RegDeleteTreeW(Scratch(), SettingsKeyPath().c_str());
      if (c.present) {
        Plant(SettingsKeyPath(), SettingName(id), c.type, c.bytes);
      }
      SettingValues values = Baseline();
      SettingValues expected = Baseline();
      if (id == SettingId::Event) {
        if (c.name) {
          expected.EventName = *c.name;
        }
      } else if (const std::optional<std::int64_t> number = IsWide(id) ? c.wide : c.narrow) {
        SetNumber(expected, id, *number);
      }
      EXPECT_EQ(LoadSettings(values), c.found) << label;
      EXPECT_TRUE(values == expected) << label;

      ASSERT_TRUE(SaveSettings(values)) << label;
      {
        SCOPED_TRACE(label);
        ExpectSavedExactly(values);
      }
      SettingValues reloaded;
      EXPECT_TRUE(LoadSettings(reloaded)) << label;
      EXPECT_TRUE(reloaded == values) << label;
    }
  }
}

struct WriteCall {
  HKEY root;
  std::wstring path;
  std::wstring name;
  RegData value;
  LONG type;
};

TEST(SaveSettingsWith, WritesAllSevenInOrderWhateverFails) {
  SettingValues values = Baseline();
  values.WindowLeft = -150;
  values.EventName = L"Party";
  const std::vector<WriteCall> expected = {
      {HKEY_CURRENT_USER, L"Software\\Tolvane\\Daymarker", L"WindowX", -150, REG_DWORD},
      {HKEY_CURRENT_USER, L"Software\\Tolvane\\Daymarker", L"WindowY", 2222, REG_DWORD},
      {HKEY_CURRENT_USER, L"Software\\Tolvane\\Daymarker", L"DateNTime", 3333, REG_DWORD},
      {HKEY_CURRENT_USER, L"Software\\Tolvane\\Daymarker", L"Event", std::wstring(L"Party"),
       REG_SZ},
      {HKEY_CURRENT_USER, L"Software\\Tolvane\\Daymarker", L"Display", 4, REG_DWORD},
      {HKEY_CURRENT_USER, L"Software\\Tolvane\\Daymarker", L"Update", 3, REG_DWORD},
      {HKEY_CURRENT_USER, L"Software\\Tolvane\\Daymarker", L"OnlyUnits", 2, REG_DWORD},
  };
  // -1: no write fails; otherwise the position of the one that does.
  for (int failing = -1; failing < static_cast<int>(expected.size()); ++failing) {
    std::vector<WriteCall> calls;
    const bool ok = SaveSettingsWith(
        values,
        [&](HKEY root, std::wstring_view path, std::wstring_view name, const RegData& value,
            LONG type) -> LONG {
          calls.push_back({root, std::wstring(path), std::wstring(name), value, type});
          return static_cast<int>(calls.size()) - 1 == failing ? ERROR_ACCESS_DENIED : 0;
        });
    EXPECT_EQ(ok, failing == -1) << "failing write " << failing;
    ASSERT_EQ(calls.size(), expected.size()) << "failing write " << failing;
    for (std::size_t i = 0; i < calls.size(); ++i) {
      EXPECT_EQ(calls[i].root, expected[i].root) << i;
      EXPECT_EQ(calls[i].path, expected[i].path) << i;
      EXPECT_EQ(calls[i].name, expected[i].name) << i;
      EXPECT_EQ(calls[i].value, expected[i].value) << i;
      EXPECT_EQ(calls[i].type, expected[i].type) << i;
    }
  }
}

// A read-only handle given to RegOverridePredefKey does not help: rights are
// checked against each key's own security descriptor when it is opened, so
// the settings key below still opens for writing (Wine even creates sub-keys
// through such a handle). What does work, under Wine as on Windows, is a
// security descriptor on the settings key itself that allows only reading:
// the open for writing then fails with ERROR_ACCESS_DENIED.
class UnwritableKey : public SettingsStore {
 protected:
  void Protect(const wchar_t* sddl) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1,
                                                                       &descriptor, nullptr));
    const LONG result = ::RegSetKeySecurity(guard_.Get(), DACL_SECURITY_INFORMATION, descriptor);
    ::LocalFree(descriptor);
    ASSERT_EQ(result, ERROR_SUCCESS);
  }

  void SetUp() override {
    SettingsStore::SetUp();
    // Opened before the protection, and kept, to lift it again afterwards.
    ASSERT_EQ(::RegCreateKeyExW(Scratch(), SettingsKeyPath().c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                nullptr, guard_.Receive(), nullptr),
              ERROR_SUCCESS);
  }

  void TearDown() override {
    Protect(L"D:(A;;KA;;;WD)");
    guard_.Reset();
    SettingsStore::TearDown();
  }

  ScopedKey guard_;
};

TEST_F(UnwritableKey, SaveFailsAndTheStoredValuesStay) {
  SettingValues old = Baseline();
  old.EventName = L"Party";
  ASSERT_TRUE(SaveSettings(old));
  const std::optional<KeyContents> before = SavedKey();
  ASSERT_TRUE(before.has_value());

  Protect(L"D:P(A;;KR;;;WD)");
  ScopedKey probe;
  ASSERT_EQ(
      ::RegOpenKeyExW(HKEY_CURRENT_USER, SettingsKeyPath().c_str(), 0, kRegAccess, probe.Receive()),
      ERROR_ACCESS_DENIED)
      << "the key did not become unwritable";

  SettingValues changed = old;
  changed.WindowLeft = 5;
  changed.EventName = L"Other";
  changed.OnlyUnitsFlag = 1;
  EXPECT_FALSE(SaveSettings(changed));
  EXPECT_EQ(SavedKey(), before);
  EXPECT_FALSE(testing::KeyExists(Scratch(), SettingsKeyPath() + L"\\Software"));

  // Reading through the layer needs more than read rights, so nothing loads,
  // and nothing is lost either.
  SettingValues loaded = Baseline();
  EXPECT_FALSE(LoadSettings(loaded));
  EXPECT_EQ(loaded, Baseline());
}

}  // namespace
}  // namespace daymarker
