#include "core/setting_names.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

namespace daymarker {
namespace {

// Distinct values everywhere, so a text applied to the wrong variable shows.
SettingValues Baseline() {
  SettingValues values;
  values.WindowLeft = 1111;
  values.WindowTop = 2222;
  values.EventSeconds = 3333;
  values.EventName = L"old name";
  values.DisplayLevel = 4;
  values.UpdateIndex = 5;
  values.OnlyUnitsFlag = 6;
  return values;
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

bool IsWide(SettingId id) {
  return id == SettingId::WindowX || id == SettingId::WindowY || id == SettingId::DateNTime;
}

TEST(SettingNames, AreTheSevenValueNamesInSaveOrder) {
  const wchar_t* expected[] = {L"WindowX", L"WindowY", L"DateNTime", L"Event",
                               L"Display", L"Update",  L"OnlyUnits"};
  ASSERT_EQ(kSettingIds.size(), std::size(expected));
  for (std::size_t i = 0; i < kSettingIds.size(); ++i) {
    EXPECT_EQ(static_cast<std::size_t>(kSettingIds[i]), i);
    EXPECT_EQ(SettingName(kSettingIds[i]), expected[i]);
  }
}

struct NumberCase {
  std::wstring text;
  // What a signed 32-bit and a signed 16-bit variable become; nothing: unchanged.
  std::optional<std::int64_t> wide;
  std::optional<std::int64_t> narrow;
};

TEST(ApplySettingText, NumericSettingsTakeTheRoundedLeadingNumber) {
  const NumberCase cases[] = {
      {L"0", 0, 0},
      {L"3", 3, 3},
      {L"-150", -150, -150},
      {L"946684800", 946684800, std::nullopt},
      {L"2.5", 2, 2},
      {L"3.5", 4, 4},
      {L"-2.5", -2, -2},
      {L"12abc", 12, 12},
      {L"  7", 7, 7},
      {L"abc", 0, 0},
      {L"0x10", 0, 0},
      {L"-", 0, 0},
      {std::wstring(L"5\0"
                    L"9",
                    3),
       5, 5},
      {L"32767", 32767, 32767},
      {L"32767.5", 32768, std::nullopt},
      {L"32768", 32768, std::nullopt},
      {L"-32768", -32768, -32768},
      {L"-32769", -32769, std::nullopt},
      {L"40000", 40000, std::nullopt},
      {L"2147483647", 2147483647, std::nullopt},
      {L"2147483648", std::nullopt, std::nullopt},
      {L"-2147483648", -2147483648LL, std::nullopt},
      {L"-2147483649", std::nullopt, std::nullopt},
      {L"4294967295", std::nullopt, std::nullopt},
      {L"1e400", std::nullopt, std::nullopt},
      {L"-1e400", std::nullopt, std::nullopt},
      {std::wstring(1 << 20, L'9'), std::nullopt, std::nullopt},
  };
  for (SettingId id : kSettingIds) {
    if (id == SettingId::Event) {
      continue;
    }
    for (const NumberCase& c : cases) {
      SettingValues values = Baseline();
      SettingValues expected = Baseline();
      const std::optional<std::int64_t> result = IsWide(id) ? c.wide : c.narrow;
      if (result) {
        SetNumber(expected, id, *result);
      }
      EXPECT_TRUE(ApplySettingText(id, c.text, values));
      EXPECT_EQ(values, expected) << "setting " << static_cast<int>(id) << ", text of "
                                  << c.text.size() << " characters starting "
                                  << static_cast<int>(c.text.empty() ? 0 : c.text[0]);
    }
  }
}

TEST(ApplySettingText, EventTakesTheTextUnchanged) {
  const std::wstring texts[] = {
      L"Party",
      L"  spaced  ",
      L"123",
      L"\x041F\x0440\x0430\x0437\x0434\x043D\x0438\x043A \x795D\x8CC0 \xD83C\xDF89",
      std::wstring(L"a\0b", 3),
      std::wstring(1 << 20, L'x'),
  };
  for (const std::wstring& text : texts) {
    SettingValues values = Baseline();
    SettingValues expected = Baseline();
    expected.EventName = text;
    EXPECT_TRUE(ApplySettingText(SettingId::Event, text, values));
    EXPECT_EQ(values, expected) << "text of " << text.size() << " characters";
  }
}

TEST(ApplySettingText, AnEmptyTextIsNotFoundAndChangesNothing) {
  for (SettingId id : kSettingIds) {
    SettingValues values = Baseline();
    EXPECT_FALSE(ApplySettingText(id, L"", values)) << static_cast<int>(id);
    EXPECT_EQ(values, Baseline()) << static_cast<int>(id);
  }
}

}  // namespace
}  // namespace daymarker
