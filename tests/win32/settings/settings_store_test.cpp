#include "settings/settings_store.h"

#include "settings/registry.h"

#include <sddl.h>

#include <cstdint>
#include <memory>
#include <random>
#include <string>

#include "tests/win32/support/registry_support.h"

namespace daymarker {
namespace {

using namespace std::literals;
using namespace testing;

constexpr wchar_t kSettingsPath[] = L"Software\\Tolvane\\Daymarker";
const SettingValues kBaseline = {1111, 2222, 3333, L"Enter event here...", 4, 3, 2};

// All a save may leave in the key: the seven values, each of its type.
KeyContents SavedFor(const SettingValues& v) {
  const auto dword = [](std::uint32_t n) { return RawValue{REG_DWORD, DwordBytes(n)}; };
  // The system terminates a REG_SZ whose data is followed by a NUL in memory.
  const std::wstring event = v.EventName.empty() ? L""s : v.EventName + L'\0';
  return {{L"WindowX", dword(v.WindowLeft)},     {L"WindowY", dword(v.WindowTop)},
          {L"DateNTime", dword(v.EventSeconds)}, {L"Event", {REG_SZ, TextBytes(event)}},
          {L"Display", dword(v.DisplayLevel)},   {L"Update", dword(v.UpdateIndex)},
          {L"OnlyUnits", dword(v.OnlyUnitsFlag)}};
}

class SettingsStore : public ScratchRegistryTest {
 protected:
  std::optional<KeyContents> Saved() const { return ReadKey(Scratch(), kSettingsPath); }
};

TEST_F(SettingsStore, WithoutAKeyNothingLoadsAndNothingIsCreated) {
  SettingValues values = kBaseline;
  EXPECT_FALSE(LoadSettings(values));
  EXPECT_EQ(values, kBaseline);
  EXPECT_EQ(ReadKey(Scratch(), L"Software"), std::nullopt);
}

TEST_F(SettingsStore, ARandomRoundTripLosesNothing) {
  std::mt19937 random(20260101);
  using Draw = std::uniform_int_distribution<int>;
  const auto wide = [&] { return Draw(INT32_MIN, INT32_MAX)(random); };
  const auto narrow = [&] { return static_cast<std::int16_t>(Draw(INT16_MIN, INT16_MAX)(random)); };
  const auto character = [&] { return static_cast<wchar_t>(Draw(1, 0xD7FF)(random)); };
  for (int i = 0; i < 120; ++i) {
    SettingValues values = {wide(), wide(), wide(), L"", narrow(), narrow(), narrow()};
    // No NUL, which no text box holds; surrogate pairs among the rest.
    const int length = i % 40 == 3 ? 0 : (i % 40 == 7 ? 1 << 20 : Draw(1, 40)(random));
    for (int n = 0; n < length; ++n) {
      values.EventName += n % 7 == 6 ? L"\xD83C\xDF89"s : std::wstring(1, character());
    }
    ASSERT_TRUE(SaveSettings(values)) << i;
    EXPECT_EQ(Saved(), SavedFor(values)) << i;
    SettingValues loaded;
    EXPECT_TRUE(LoadSettings(loaded)) << i;
    ASSERT_EQ(loaded, values) << i;
  }
}

TEST_F(SettingsStore, HandEditedValuesLoadSoundlyAndSaveBackValid) {
  const std::wstring digits(1 << 20, L'9');
  // Each planted as one value, the six others missing. The text is what it
  // counts as; "" is not found.
  const std::pair<RawValue, std::wstring> cases[] = {
      {{REG_SZ, TextBytes(L"77\0"sv)}, L"77"},
      {{REG_SZ, {}}, L""},
      {{REG_SZ, TextBytes(L"12\0x"sv)}, L"12"},
      {{REG_SZ, TextBytes(L"abc"sv)}, L"abc"},
      {{REG_SZ, TextBytes(L"-2147483649"sv)}, L"-2147483649"},
      {{REG_SZ, TextBytes(digits)}, digits},
      {{REG_EXPAND_SZ, TextBytes(L"12\0"sv)}, L""},
      {{REG_DWORD, DwordBytes(0xFFFFFF6A)}, L"-150"},
      {{REG_DWORD, DwordBytes(40000)}, L"40000"},
      {{REG_DWORD, {7, 0}}, L""},
      {{REG_QWORD, {7, 0, 0, 0, 0, 0, 0, 0}}, L""},
  };
  // Each value name with its variable.
  const std::pair<const wchar_t*, void (*)(std::wstring_view, SettingValues&)> settings[] = {
      {L"WindowX", [](auto text, auto& v) { AssignSettingText(text, v.WindowLeft); }},
      {L"WindowY", [](auto text, auto& v) { AssignSettingText(text, v.WindowTop); }},
      {L"DateNTime", [](auto text, auto& v) { AssignSettingText(text, v.EventSeconds); }},
      {L"Event", [](auto text, auto& v) { AssignSettingText(text, v.EventName); }},
      {L"Display", [](auto text, auto& v) { AssignSettingText(text, v.DisplayLevel); }},
      {L"Update", [](auto text, auto& v) { AssignSettingText(text, v.UpdateIndex); }},
      {L"OnlyUnits", [](auto text, auto& v) { AssignSettingText(text, v.OnlyUnitsFlag); }},
  };
  for (const auto& [name, assign] : settings) {
    for (const auto& [stored, read] : cases) {
      SCOPED_TRACE(::testing::Message()
                   << name << ", type " << stored.type << ", " << stored.bytes.size() << " bytes");
      ::RegDeleteTreeW(Scratch(), kSettingsPath);
      ASSERT_TRUE(Plant(Scratch(), kSettingsPath, name, stored.type, stored.bytes));
      // How a text becomes a variable has tests of its own; this is about what
      // reaches it from the registry, and what goes back.
      SettingValues values = kBaseline;
      SettingValues expected = kBaseline;
      if (!read.empty()) {
        assign(read, expected);
      }
      EXPECT_EQ(LoadSettings(values), !read.empty());
      EXPECT_EQ(values, expected);
      ASSERT_TRUE(SaveSettings(values));
      EXPECT_EQ(Saved(), SavedFor(values));
    }
  }
}

// A read-only handle given to RegOverridePredefKey does not help: rights are
// checked against each key's own security descriptor when it is opened (Wine
// even creates sub-keys through such a handle). A descriptor on the settings
// key itself that allows only reading does work, under Wine as on Windows.
bool Protect(HKEY key, const wchar_t* sddl) {
  PSECURITY_DESCRIPTOR raw = nullptr;
  const bool made =
      ::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &raw, nullptr);
  const std::unique_ptr<void, decltype(&::LocalFree)> descriptor(raw, &::LocalFree);
  return made && ::RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, raw) == ERROR_SUCCESS;
}

TEST_F(SettingsStore, AnUnwritableKeyFailsTheSaveAndKeepsTheValues) {
  ASSERT_TRUE(SaveSettings(kBaseline));
  ScopedKey guard;  // opened before the protection, to lift it again
  ASSERT_EQ(::RegOpenKeyExW(Scratch(), kSettingsPath, 0, KEY_ALL_ACCESS, guard.Receive()),
            ERROR_SUCCESS);
  ASSERT_TRUE(Protect(guard.Get(), L"D:P(A;;KR;;;WD)"));

  EXPECT_FALSE(SaveSettings({}));
  EXPECT_EQ(Saved(), SavedFor(kBaseline));
  // Nothing fatal since the protection, or the scratch key could not be removed.
  EXPECT_TRUE(Protect(guard.Get(), L"D:(A;;KA;;;WD)"));
}

}  // namespace
}  // namespace daymarker
