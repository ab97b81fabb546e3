// The registry layer and the settings schema against the real registry, with
// HKEY_CURRENT_USER redirected to a scratch key.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <tuple>

#include "settings/registry.h"
#include "settings/settings_store.h"
#include "tests/win32/support/internals.h"
#include "tests/win32/support/registry_support.h"

// The settings layer's writes, as this program imports them.
using SetValue = decltype(&::RegSetValueExW);
#ifdef _WIN64
extern SetValue g_importedSetValue __asm__("__imp_RegSetValueExW");
#else
extern SetValue g_importedSetValue __asm__("__imp__RegSetValueExW@24");
#endif

namespace daymarker {
namespace {

using namespace std::literals;
using namespace testing;

constexpr wchar_t kSettingsPath[] = L"Software\\Tolvane\\Daymarker";
const SettingValues kBaseline = {1111, 2222, 3333, L"Enter event here...", 4, 3, 2};

// The handle the process would be given next. The registry layer holds one
// key at a time, so this stays the same across its calls unless one is left open.
HANDLE NextHandle() {
  const ScopedKernelHandle probe(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
  return probe.Get();
}

using Settings = ScratchRegistryTest;

// One value as a hand-editor may leave it, or no key at all: what the
// registry layer makes of it, what loading it changes, and that saving then
// writes all seven values back valid. Every key the layer opens is closed again.
// Texts longer than 64 MiB count as missing, so no read can exhaust memory.
TEST_F(Settings, StoredValuesLoadSoundlyAndSaveBackValid) {
  const std::wstring digits(32 * 1024 * 1024, L'9');  // at the limit
  // The value's name; what is stored (nothing: no key); FetchRegValue's result
  // from the key, and what it gave (nothing: left alone); what loading changes
  // (nothing: not found).
  using Case = std::tuple<const wchar_t*, std::optional<RawValue>, LONG, std::optional<RegData>,
                          std::function<void(SettingValues&)>>;
  const auto none = std::nullopt;
  const LONG unsupported = -1;
  const Case cases[] = {
      {L"Event", Sz(L"Party"), 0, L"Party", [](auto& v) { v.EventName = L"Party"; }},
      {L"Event", Sz(L"ab\0cd"sv), 0, L"ab", [](auto& v) { v.EventName = L"ab"; }},
      {L"Event", RawValue{REG_SZ, {0x61, 0, 0x62}}, 0, L"a", [](auto& v) { v.EventName = L"a"; }},
      {L"Event", Sz(L""), 0, L"", nullptr},
      {L"Event", Sz(digits), 0, digits, [&](auto& v) { v.EventName = digits; }},
      {L"Event", Sz(digits + L'9'), ERROR_NOT_ENOUGH_MEMORY, none, nullptr},
      {L"DateNTime", Sz(L"946684800\0"sv), 0, L"946684800",
       [](auto& v) { v.EventSeconds = 946'684'800; }},
      // Found, but too large for the variable.
      {L"WindowY", Sz(L"-2147483649"), 0, L"-2147483649", [](auto&) {}},
      {L"DateNTime", Dword(0x12345678), 0, 0x12345678,
       [](auto& v) { v.EventSeconds = 0x12345678; }},
      {L"WindowX", Dword(0xFFFFFF6A), 0, -150, [](auto& v) { v.WindowLeft = -150; }},
      {L"Display", Dword(0), 0, 0, [](auto& v) { v.DisplayLevel = 0; }},
      {L"Display", Dword(40000), 0, 40000, [](auto&) {}},
      {L"Update", Dword(0xFFFFFFFF), 0, -1, [](auto& v) { v.UpdateIndex = -1; }},
      {L"Update", RawValue{REG_DWORD, {7, 0}}, unsupported, none, nullptr},
      {L"Update", RawValue{REG_DWORD, {7, 0, 0, 0, 0, 0, 0, 0}}, unsupported, none, nullptr},
      {L"OnlyUnits", RawValue{REG_EXPAND_SZ, TextBytes(L"12\0"sv)}, unsupported, none, nullptr},
      {L"OnlyUnits", RawValue{REG_QWORD, {1, 0, 0, 0, 0, 0, 0, 0}}, unsupported, none, nullptr},
      {L"OnlyUnits", none, 0, none, nullptr},
  };
  for (const auto& [name, stored, fetched, carrier, loads] : cases) {
    SCOPED_TRACE(::testing::Message() << name << ", " << (stored ? stored->type : 0) << ", "
                                      << (stored ? stored->bytes.size() : 0));
    ::RegDeleteTreeW(Scratch(), L"Software");
    if (stored) {
      ASSERT_TRUE(Plant(Scratch(), kSettingsPath, name, stored->type, stored->bytes));
      const ScopedKey key = CreateTestKey(Scratch(), kSettingsPath, KEY_READ);
      RegData given = L"untouched"s;
      EXPECT_EQ(internal::FetchRegValue(key.Get(), name, given), fetched);
      EXPECT_EQ(given, carrier.value_or(L"untouched"s));
    }
    const HANDLE next = NextHandle();

    SettingValues values = kBaseline, expected = kBaseline;
    if (loads) {
      loads(expected);
    }
    EXPECT_EQ(LoadSettings(values), loads != nullptr);
    EXPECT_EQ(values, expected);
    if (!stored) {
      ASSERT_EQ(ReadKey(Scratch(), L"Software"), std::nullopt) << "loading created a key";
    }
    ASSERT_TRUE(SaveSettings(values));
    EXPECT_EQ(ReadKey(Scratch(), kSettingsPath), SavedFor(values));
    EXPECT_EQ(NextHandle(), next) << "a key was left open";
  }
}

// Writes go by the type code, creating a missing path.
TEST_F(Settings, WritesByTypeCodeAndFailsOnAnUnwritableKey) {
  // Value name, value, type code, result, what is stored (nothing: no value).
  const std::tuple<const wchar_t*, RegData, LONG, LONG, std::optional<RawValue>> cases[] = {
      {L"Name", L"Birthday"s, REG_SZ, 0, Sz(L"Birthday\0"sv)},
      {L"number as text", 120, REG_SZ, 0, Sz(L"120\0"sv)},
      {L"empty as number", RegData(), REG_DWORD, 0, Dword(0)},
      // Stored without a terminator, as the empty text shows: the system adds one to the others.
      {L"empty as text", RegData(), REG_SZ, 0, Sz(L"")},
      {L"rounded", L"3.5"s, REG_DWORD, 0, Dword(4)},
      {L"trailing letters", L"12abc"s, REG_DWORD, ERROR_INVALID_DATA, std::nullopt},
      {L"type 3", 7, REG_BINARY, 0, std::nullopt},
  };
  for (const auto& [name, value, type, result, stored] : cases) {
    EXPECT_EQ(WriteRegSetting(HKEY_CURRENT_USER, L"One\\Two", name, value, type), result) << name;
    EXPECT_EQ(ReadValue(Scratch(), L"One\\Two", name), stored) << name;
  }

  // Over the baseline, a save: to a key that grants only the rights the layer
  // asks for, 0x3F, and denies DELETE, which Wine would give its owner, so that
  // KEY_ALL_ACCESS fails; it loads back too. To an unwritable key, which fails it
  // and keeps the values; and one that fails to write one value, yet writes the
  // others. The rights; the value that fails; what the save gives; what the key holds.
  const SettingValues next = {5, 6, 7, L"Next", 1, 2, 1};
  const std::tuple<const wchar_t*, const wchar_t*, bool, SettingValues> saves[] = {
      {L"D:P(D;;SD;;;WD)(A;;0x3F;;;WD)", nullptr, true, next},
      {L"D:P(A;;KR;;;WD)", nullptr, false, kBaseline},
      {L"D:(A;;KA;;;WD)", L"Event", false, {5, 6, 7, kBaseline.EventName, 1, 2, 1}},
  };
  // Opened before the protection, to lift it again.
  const ScopedKey guard = CreateTestKey(Scratch(), kSettingsPath, KEY_ALL_ACCESS);
  // The stand-in, in MinGW's writable import table, fails the write of the value
  // named, as a full disk would.
  static const SetValue kSetValue = g_importedSetValue;
  static const wchar_t* failingName = nullptr;
  g_importedSetValue = [](HKEY key, LPCWSTR name, DWORD reserved, DWORD type, const BYTE* data,
                          DWORD size) WINAPI -> LSTATUS {
    return failingName != nullptr && std::wstring_view(name) == failingName
               ? ERROR_DISK_FULL
               : kSetValue(key, name, reserved, type, data, size);
  };
  for (const auto& [rights, failing, saved, holds] : saves) {
    ASSERT_TRUE(SaveSettings(kBaseline) && Protect(guard.Get(), rights));
    failingName = failing;
    EXPECT_EQ(SaveSettings(next), saved) << rights;
    failingName = nullptr;
    EXPECT_EQ(ReadKey(Scratch(), kSettingsPath), SavedFor(holds)) << rights;
    SettingValues loaded;
    EXPECT_TRUE(!saved || (LoadSettings(loaded) && loaded == next)) << rights;
    // Nothing fatal since the protection, or the scratch key could not be removed.
    EXPECT_TRUE(Protect(guard.Get(), L"D:(A;;KA;;;WD)"));
  }
  g_importedSetValue = kSetValue;
}

}  // namespace
}  // namespace daymarker
