#include "core/settings_values.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

namespace daymarker {
namespace {

using namespace std::string_literals;

TEST(AssignSettingText, TakesTheRoundedLeadingNumberIfItFitsTheVariable) {
  // A text and its rounded leading number.
  const std::pair<std::wstring, std::optional<std::int64_t>> cases[] = {
      {L"-150", -150}, {L"-2.5", -2},        {L"12abc", 12},       {L"abc", 0},
      {L"5\0x"s, 5},   {L"-32768", -32768},  {L"32767.5", 32768},  {L"-32769", -32769},
      {L"1e400", {}},  {L"2e9", 2000000000}, {L"3e9", 3000000000},
  };
  for (const auto& [text, number] : cases) {
    std::int32_t wide = 1111;
    std::int16_t narrow = 2222;
    AssignSettingText(text, wide);
    AssignSettingText(text, narrow);
    const bool fitsWide = number && *number >= INT32_MIN && *number <= INT32_MAX;
    const bool fitsNarrow = number && *number >= INT16_MIN && *number <= INT16_MAX;
    EXPECT_EQ(wide, fitsWide ? *number : 1111) << text;
    EXPECT_EQ(narrow, fitsNarrow ? *number : 2222) << text;
  }
  std::wstring name = L"old name";
  AssignSettingText(L"12abc", name);
  EXPECT_EQ(name, L"12abc");
}

}  // namespace
}  // namespace daymarker
