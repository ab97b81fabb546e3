#include "core/number_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace daymarker {
namespace {

using namespace std::string_literals;
using namespace std::string_view_literals;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
const auto none = std::nullopt;

TEST(LeadingNumber, ReadsOnlyTheNumberAtTheStartOfTheViewCopingWithHugeTexts) {
  std::vector<std::pair<std::wstring, double>> cases = {
      {L"12abc", 12},    {L"abc", 0},           {L"", 0},           {L" \t-7", -7},
      {L"+3.5e1x", 35},  {L"-.5", -0.5},        {L".", 0},          {L"- 5", 0},
      {L"1.25.5", 1.25}, {L"2D-2", 0.02},       {L"1e+x", 1},       {L"0x10", 0},
      {L"inf", 0},       {L"nan", 0},           {L"\n5", 0},        {L"\xFF11", 0},
      {L"12\0x"s, 12},   {L"1e400", kInf},      {L"-1e400", -kInf}, {L"1e-400", 0},
      {L"0.05", 0.05},   {L"-0.0025", -0.0025}, {L"1e10", 1e10},    {L"1e-10", 1e-10},
      {L"1E+22", 1e22},
  };
  const std::wstring nines(1 << 20, L'9');
  cases.insert(cases.end(),
               {
                   {nines, kInf},
                   {L"-" + nines, -kInf},
                   {L"1e" + nines, kInf},
                   {L"1e-" + nines, 0},
                   {L"0e" + nines, 0},
                   {std::wstring(1 << 20, L'0') + L"12", 12},
                   {L"0." + std::wstring(1 << 20, L'0') + L"1e1048577", 1},
                   // More digits than are kept, brought back into range by the exponent.
                   {L"1" + std::wstring(800, L'0') + L"e-795", 1e5},
                   {L"2.5" + std::wstring(2000, L'9'), 2.6},
               });
  for (const auto& [text, expected] : cases) {
    EXPECT_EQ(LeadingNumber(text), expected) << text.substr(0, 20) << " of " << text.size();
  }
  // The text is a view: nothing past its end takes part, NUL or not.
  const std::pair<std::wstring_view, double> views[] = {
      {L"123"sv.substr(0, 2), 12}, {L"1.5"sv.substr(0, 1), 1},   {L"1.5"sv.substr(0, 2), 1},
      {L"1e5"sv.substr(0, 2), 1},  {L"1e-5"sv.substr(0, 3), 1},  {L" 7"sv.substr(0, 1), 0},
      {L"-7"sv.substr(0, 1), 0},   {L"1e15"sv.substr(0, 3), 10},
  };
  for (const auto& [text, expected] : views) {
    EXPECT_EQ(LeadingNumber(text), expected) << std::wstring(text);
  }
}

// Each a half or near one at the 16- and 32-bit bounds, where a result off by
// one changes what fits. A 16-bit result is the 32-bit one if that fits.
TEST(RoundToInt, GoesToTheNearestAndAHalfToEven) {
  const std::pair<double, std::optional<std::int32_t>> cases[] = {
      {32766.5, 32766},           {32767.5, 32768},      {-32767.5, -32768},
      {-32768.5, -32768},         {-32768.6, -32769},    {2147483647.5, none},
      {-2147483648.5, INT32_MIN}, {-2147483648.6, none}, {2147483647.0, INT32_MAX},
      {32767.0, 32767},           {kInf, none},          {kNaN, none},
  };
  for (const auto& [value, expected] : cases) {
    EXPECT_EQ(RoundToInt32(value), expected) << value;
    const bool fits16 = expected && *expected >= INT16_MIN && *expected <= INT16_MAX;
    EXPECT_EQ(RoundToInt16(value), fits16 ? expected : none) << value;
  }
}

TEST(WholeNumberToInt32, NeedsTheWholeTextToBeANumber) {
  const std::pair<std::wstring_view, std::optional<std::int32_t>> cases[] = {
      {L" 120\t", 120},
      {L"3.5", 4},
      {L"12abc", none},
      {L"1 2", none},
      {L"", none},
      {L"1e", none},
      {L"12\0"sv, none},
      {L"4294967296", none},
      {L"1.5"sv.substr(0, 1), 1},
      {L"1 x"sv.substr(0, 1), 1},
  };
  for (const auto& [text, expected] : cases) {
    EXPECT_EQ(WholeNumberToInt32(text), expected) << std::wstring(text);
  }
}

}  // namespace
}  // namespace daymarker
