#include "core/decimal.h"

#include <gtest/gtest.h>

#include <limits>

namespace daymarker {
namespace {

TEST(DecimalText, WritesPlainDigitsWithASignOnlyWhenNegative) {
  const std::pair<std::int64_t, const wchar_t*> cases[] = {
      {0, L"0"},
      {7, L"7"},
      {-5, L"-5"},
      {120, L"120"},
      {std::numeric_limits<std::int64_t>::max(), L"9223372036854775807"},
      {std::numeric_limits<std::int64_t>::min(), L"-9223372036854775808"},
  };
  for (const auto& [value, text] : cases) {
    std::wstring appended = L"x";  // only the digits added are turned round
    AppendDecimal(appended, value);
    EXPECT_EQ(appended, L"x" + std::wstring(text));
  }
}

}  // namespace
}  // namespace daymarker
