#include "core/setting_names.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <tuple>
#include <utility>

namespace daymarker {
namespace {

using namespace std::string_literals;

// Distinct values everywhere, so a text applied to the wrong variable shows.
const SettingValues kBaseline = {1111, 2222, 3333, L"old name", 4, 5, 6};

TEST(ApplySettingText, TakesTheTextOrItsRoundedLeadingNumberIfItFits) {
  // Each setting's variable, 32 or 16 bits wide if it is a number.
  const std::tuple<SettingId, std::int32_t SettingValues::*, std::int16_t SettingValues::*>
      settings[] = {
          {SettingId::WindowX, &SettingValues::WindowLeft, nullptr},
          {SettingId::WindowY, &SettingValues::WindowTop, nullptr},
          {SettingId::DateNTime, &SettingValues::EventSeconds, nullptr},
          {SettingId::Event, nullptr, nullptr},
          {SettingId::Display, nullptr, &SettingValues::DisplayLevel},
          {SettingId::Update, nullptr, &SettingValues::UpdateIndex},
          {SettingId::OnlyUnits, nullptr, &SettingValues::OnlyUnitsFlag},
      };
  // A text and its rounded leading number; "" is not found and changes nothing.
  const std::pair<std::wstring, std::optional<std::int64_t>> cases[] = {
      {L"-150", -150},     {L"-2.5", -2},  {L"12abc", 12},       {L"abc", 0},
      {L"5\0x"s, 5},       {L"", {}},      {L"-32768", -32768},  {L"32767.5", 32768},
      {L"-32769", -32769}, {L"1e400", {}}, {L"2e9", 2000000000}, {L"3e9", 3000000000},
  };
  for (const auto& [id, wide, narrow] : settings) {
    for (const auto& [text, number] : cases) {
      SettingValues values = kBaseline;
      SettingValues expected = kBaseline;
      if (id == SettingId::Event && !text.empty()) {
        expected.EventName = text;
      }
      if (wide && number && *number >= INT32_MIN && *number <= INT32_MAX) {
        expected.*wide = static_cast<std::int32_t>(*number);
      }
      if (narrow && number && *number >= INT16_MIN && *number <= INT16_MAX) {
        expected.*narrow = static_cast<std::int16_t>(*number);
      }
      EXPECT_EQ(ApplySettingText(id, text, values), !text.empty()) << text;
      EXPECT_EQ(values, expected) << static_cast<int>(id) << " " << text;
    }
  }
}

}  // namespace
}  // namespace daymarker
