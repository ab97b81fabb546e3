#include "core/number_text.h"

#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

namespace daymarker {
namespace {

// More significant digits than a setting ever needs: past these a digit
// could change no more than the last bit of a double, and the cap keeps a
// huge hand-edited text from costing more than a read of it.
constexpr std::size_t kKeptDigits = 780;

// Keeps exponent arithmetic far from int64 overflow; anything this large is
// already infinite or zero.
constexpr std::int64_t kExponentCap = 1'000'000'000'000;

struct ScannedNumber {
  std::size_t end = 0;  // one past the last character of the number
  bool negative = false;
  std::string digits;         // significant digits, no leading zeros
  std::int64_t exponent = 0;  // value = digits * 10^exponent
};

bool IsBlank(wchar_t c) {
  return c == L' ' || c == L'\t';
}
bool IsDigit(wchar_t c) {
  return c >= L'0' && c <= L'9';
}
bool IsExponentMark(wchar_t c) {
  return c == L'e' || c == L'E' || c == L'd' || c == L'D';
}

std::size_t SkipBlanks(std::wstring_view text, std::size_t pos) {
  while (pos < text.size() && IsBlank(text[pos])) {
    ++pos;
  }
  return pos;
}

// Reads the number that starts at text[pos]; nothing when no digit is found
// where the number's mantissa should be.
std::optional<ScannedNumber> ScanNumber(std::wstring_view text, std::size_t pos) {
  ScannedNumber number;
  if (pos < text.size() && (text[pos] == L'+' || text[pos] == L'-')) {
    number.negative = text[pos] == L'-';
    ++pos;
  }

  bool anyDigit = false;
  for (; pos < text.size() && IsDigit(text[pos]); ++pos) {
    anyDigit = true;
    const char digit = static_cast<char>(text[pos]);
    if (number.digits.empty() && digit == '0') {
      continue;
    }
    if (number.digits.size() < kKeptDigits) {
      number.digits.push_back(digit);
    } else {
      ++number.exponent;
    }
  }
  if (pos < text.size() && text[pos] == L'.') {
    ++pos;
    for (; pos < text.size() && IsDigit(text[pos]); ++pos) {
      anyDigit = true;
      const char digit = static_cast<char>(text[pos]);
      if (number.digits.empty() && digit == '0') {
        --number.exponent;
      } else if (number.digits.size() < kKeptDigits) {
        number.digits.push_back(digit);
        --number.exponent;
      }
    }
  }
  if (!anyDigit) {
    return std::nullopt;
  }
  // An exponent mark without digits after it is not part of the number.
  if (pos < text.size() && IsExponentMark(text[pos])) {
    std::size_t look = pos + 1;
    bool negativeExponent = false;
    if (look < text.size() && (text[look] == L'+' || text[look] == L'-')) {
      negativeExponent = text[look] == L'-';
      ++look;
    }
    if (look < text.size() && IsDigit(text[look])) {
      std::int64_t exponent = 0;
      for (; look < text.size() && IsDigit(text[look]); ++look) {
        if (exponent < kExponentCap) {
          exponent = exponent * 10 + (text[look] - L'0');
        }
      }
      number.exponent += negativeExponent ? -exponent : exponent;
      pos = look;
    }
  }
  number.end = pos;
  return number;
}

double ToDouble(const ScannedNumber& number) {
  if (number.digits.empty()) {
    return 0.0;
  }
  // The scanned form has no decimal point, so the locale cannot change how
  // strtod reads it. strtod rounds correctly, gives infinity or zero beyond
  // the range of a double, and is smaller than from_chars.
  std::string compact = number.digits;
  compact += 'e';
  compact += std::to_string(number.exponent);
  const double value = std::strtod(compact.c_str(), nullptr);
  return number.negative ? -value : value;
}

// Half-to-even rounding without the floating-point environment, so the
// result cannot depend on a rounding mode someone else set.
std::optional<double> RoundHalfEven(double value) {
  if (!std::isfinite(value)) {
    return std::nullopt;
  }
  const double below = std::floor(value);
  const double fraction = value - below;  // exact for every double
  double rounded = below;
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(below, 2.0) != 0.0)) {
    rounded = below + 1.0;
  }
  return rounded;
}

template <typename Int>
std::optional<Int> RoundToInt(double value) {
  const std::optional<double> rounded = RoundHalfEven(value);
  if (!rounded || *rounded < static_cast<double>(std::numeric_limits<Int>::min()) ||
      *rounded > static_cast<double>(std::numeric_limits<Int>::max())) {
    return std::nullopt;
  }
  return static_cast<Int>(*rounded);
}

}  // namespace

double LeadingNumber(std::wstring_view text) {
  const std::optional<ScannedNumber> number = ScanNumber(text, SkipBlanks(text, 0));
  return number ? ToDouble(*number) : 0.0;
}

std::optional<std::int32_t> RoundToInt32(double value) {
  return RoundToInt<std::int32_t>(value);
}

std::optional<std::int16_t> RoundToInt16(double value) {
  return RoundToInt<std::int16_t>(value);
}

std::optional<std::int32_t> WholeNumberToInt32(std::wstring_view text) {
  const std::optional<ScannedNumber> number = ScanNumber(text, SkipBlanks(text, 0));
  if (!number || SkipBlanks(text, number->end) != text.size()) {
    return std::nullopt;
  }
  return RoundToInt32(ToDouble(*number));
}

}  // namespace daymarker
