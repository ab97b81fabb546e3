#include "core/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <string_view>

namespace daymarker {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

// The start of a text for a failure message, non-ASCII as '?'.
std::string Shown(std::wstring_view text) {
  std::string shown;
  for (wchar_t c : text.substr(0, 40)) {
    shown.push_back(c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '?');
  }
  return '"' + shown + '"';
}

struct LeadingCase {
  std::wstring text;
  double expected;
};

TEST(LeadingNumber, ReadsTheNumberAtTheStart) {
  const LeadingCase cases[] = {
      {L"12abc", 12.0},
      {L"  -7", -7.0},
      {L"\t\t 42", 42.0},
      {L"+3.5e1x", 35.0},
      {L"abc", 0.0},
      {L"", 0.0},
      {L"   ", 0.0},
      {L".5", 0.5},
      {L"-.5", -0.5},
      {L"5.", 5.0},
      {L".", 0.0},
      {L"-", 0.0},
      {L"+", 0.0},
      {L"- 5", 0.0},
      {L"--5", 0.0},
      {L"007", 7.0},
      {L"1.25.5", 1.25},
      {L"1,5", 1.0},
      {L"120", 120.0},
      {L"-150", -150.0},
      {L"946684800", 946684800.0},
      {L"4294967295", 4294967295.0},
      // Exponents: e, E, d and D, with or without a sign; a mark without digits is left over.
      {L"1e3", 1000.0},
      {L"1E+3", 1000.0},
      {L"2d2", 200.0},
      {L"2D-2", 0.02},
      {L"1e", 1.0},
      {L"1e+", 1.0},
      {L"1ex5", 1.0},
      {L"1f3", 1.0},
      {L".5e1", 5.0},
      {L"0e999999999999999999999", 0.0},
      {L"1e400", kInf},
      {L"-1e400", -kInf},
      {L"1e-400", 0.0},
      {L"1e99999999999999999999999", kInf},
      {L"1e-99999999999999999999999", 0.0},
      {L"1.7976931348623157e308", 1.7976931348623157e308},
      {L"1.8e308", kInf},
      {L"4.9e-324", 4.9e-324},
      // Not numbers at all.
      {L"0x10", 0.0},
      {L"&H10", 0.0},
      {L"inf", 0.0},
      {L"-infinity", 0.0},
      {L"nan", 0.0},
      {L"\n5", 0.0},
      {L"\x0661\x0662", 0.0},  // Arabic-Indic digits
      {L"\xFF11", 0.0},        // a full-width digit one
  };
  for (const LeadingCase& c : cases) {
    EXPECT_EQ(LeadingNumber(c.text), c.expected) << Shown(c.text);
  }
}

TEST(LeadingNumber, CutsTheTextAtAnEmbeddedNul) {
  EXPECT_EQ(LeadingNumber(std::wstring(L"12\0"
                                       L"34",
                                       5)),
            12.0);
}

TEST(LeadingNumber, KeepsTheSignOfZero) {
  EXPECT_TRUE(std::signbit(LeadingNumber(L"-0")));
  EXPECT_FALSE(std::signbit(LeadingNumber(L"0")));
}

TEST(LeadingNumber, CopesWithAMegabyteOfDigits) {
  const std::size_t kLength = 1 << 20;
  EXPECT_EQ(LeadingNumber(std::wstring(kLength, L'9')), kInf);
  EXPECT_EQ(LeadingNumber(L"-" + std::wstring(kLength, L'9')), -kInf);
  EXPECT_EQ(LeadingNumber(std::wstring(kLength, L'0') + L"12x"), 12.0);
  EXPECT_EQ(LeadingNumber(L"0." + std::wstring(kLength, L'0') + L"1"), 0.0);
  EXPECT_EQ(LeadingNumber(L"7." + std::wstring(kLength, L'0')), 7.0);
  // A huge mantissa brought back into range by its exponent.
  EXPECT_DOUBLE_EQ(LeadingNumber(L"1" + std::wstring(kLength, L'0') + L"e-1048570"), 1e6);
  EXPECT_EQ(LeadingNumber(L"1e" + std::wstring(kLength, L'9')), kInf);
  EXPECT_EQ(LeadingNumber(L"1e-" + std::wstring(kLength, L'9')), 0.0);
}

TEST(LeadingNumber, RoundsLongMantissasCorrectly) {
  // Exactly halfway between 1 and the next double, then a hair above it far
  // past the digits that are kept: only the second may round up.
  const std::wstring halfway = L"1.00000000000000011102230246251565404236316680908203125";
  EXPECT_EQ(LeadingNumber(halfway), 1.0);
  EXPECT_EQ(LeadingNumber(halfway + std::wstring(2000, L'0') + L"1"), std::nextafter(1.0, 2.0));
  EXPECT_EQ(LeadingNumber(halfway + std::wstring(2000, L'0')), 1.0);
}

struct RoundCase {
  double value;
  std::optional<std::int32_t> int32;
  std::optional<std::int16_t> int16;
};

TEST(RoundToInt, GoesToTheNearestAndAHalfToEven) {
  const RoundCase cases[] = {
      {0.0, 0, 0},
      {-0.0, 0, 0},
      {0.4, 0, 0},
      {0.5, 0, 0},
      {0.6, 1, 1},
      {1.5, 2, 2},
      {2.5, 2, 2},
      {3.5, 4, 4},
      {-0.5, 0, 0},
      {-1.5, -2, -2},
      {-2.5, -2, -2},
      {-3.5, -4, -4},
      {-2.6, -3, -3},
      {2.4999999999999996, 2, 2},
      {120.0, 120, 120},
      // 16-bit bounds.
      {32767.0, 32767, 32767},
      {32767.4, 32767, 32767},
      {32767.5, 32768, std::nullopt},
      {32768.0, 32768, std::nullopt},
      {-32768.0, -32768, -32768},
      {-32768.5, -32768, -32768},
      {-32768.6, -32769, std::nullopt},
      {-32769.0, -32769, std::nullopt},
      {32766.5, 32766, 32766},
      // 32-bit bounds.
      {2147483647.0, 2147483647, std::nullopt},
      {2147483647.4, 2147483647, std::nullopt},
      {2147483647.5, std::nullopt, std::nullopt},
      {2147483646.5, 2147483646, std::nullopt},
      {2147483648.0, std::nullopt, std::nullopt},
      {-2147483648.0, -2147483647 - 1, std::nullopt},
      {-2147483648.5, -2147483647 - 1, std::nullopt},
      {-2147483648.6, std::nullopt, std::nullopt},
      {4294967295.0, std::nullopt, std::nullopt},
      {1e300, std::nullopt, std::nullopt},
      {-1e300, std::nullopt, std::nullopt},
      {kInf, std::nullopt, std::nullopt},
      {-kInf, std::nullopt, std::nullopt},
      {std::numeric_limits<double>::quiet_NaN(), std::nullopt, std::nullopt},
      {std::numeric_limits<double>::denorm_min(), 0, 0},
  };
  for (const RoundCase& c : cases) {
    EXPECT_EQ(RoundToInt32(c.value), c.int32) << "value " << c.value;
    EXPECT_EQ(RoundToInt16(c.value), c.int16) << "value " << c.value;
  }
}

struct WholeCase {
  std::wstring text;
  std::optional<std::int32_t> expected;
};

TEST(WholeNumberToInt32, NeedsTheWholeTextToBeANumber) {
  const WholeCase cases[] = {
      {L"0", 0},
      {L"120", 120},
      {L"-5", -5},
      {L"+5", 5},
      {L"  7\t", 7},
      {L"2.5", 2},
      {L"3.5", 4},
      {L"-2.5", -2},
      {L"1e3", 1000},
      {L"1D3", 1000},
      {L".5", 0},
      {L"2147483647", 2147483647},
      {L"-2147483648", -2147483647 - 1},
      {L"2147483647.5", std::nullopt},
      {L"2147483648", std::nullopt},
      {L"4294967296", std::nullopt},
      {L"1e400", std::nullopt},
      {L"abc", std::nullopt},
      {L"", std::nullopt},
      {L"   ", std::nullopt},
      {L"12abc", std::nullopt},
      {L"1 2", std::nullopt},
      {L"1e", std::nullopt},
      {L"0x10", std::nullopt},
      {L"inf", std::nullopt},
      {L"nan", std::nullopt},
      {L".", std::nullopt},
      {L"-", std::nullopt},
      {std::wstring(L"12\0", 3), std::nullopt},
      {std::wstring(1 << 20, L'1'), std::nullopt},
  };
  for (const WholeCase& c : cases) {
    EXPECT_EQ(WholeNumberToInt32(c.text), c.expected) << Shown(c.text);
  }
}

}  // namespace
}  // namespace daymarker
