#include "core/time_left.h"

#include "core/decimal.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace daymarker {
namespace {

// Index 0 is seconds, 5 is years.
constexpr int kUnitCount = 6;
constexpr int kLevelSeconds = 1;
constexpr int kLevelYears = 6;
// How many of each unit make the next larger one.
constexpr auto kDivisors = std::to_array<std::int64_t>({60, 60, 24, 28, 12});
constexpr std::array<std::wstring_view, kUnitCount> kWords = {L" second", L" minute", L" hour",
                                                              L" day",    L" month",  L" year"};

// Rounds towards minus infinity, so a remainder is never negative.
std::int64_t FloorDiv(std::int64_t value, std::int64_t divisor) {
  std::int64_t quotient = value / divisor;
  if (value % divisor < 0) {
    --quotient;
  }
  return quotient;
}

}  // namespace

std::wstring TimeLeftText(std::int64_t secondsLeft, int displayLevel, bool onlyUnits) {
  const int level = std::clamp(displayLevel, kLevelSeconds, kLevelYears);

  std::array<std::int64_t, kUnitCount> units{};
  units[0] = secondsLeft;
  for (int step = 1; step < kUnitCount; ++step) {
    if (level > step || !onlyUnits) {
      const std::int64_t divisor = kDivisors[step - 1];
      const std::int64_t quotient = FloorDiv(units[step - 1], divisor);
      units[step] = quotient;
      units[step - 1] -= quotient * divisor;
    }
  }

  std::wstring text;
  for (int unit = kUnitCount - 1; unit >= 0; --unit) {
    // Unit u (0 = seconds) is shown at levels up to u + 1, so years always are.
    const bool shown = level < unit + 2;
    if (units[unit] <= 0 || !shown) {
      continue;
    }
    AppendDecimal(text, units[unit]);
    text += kWords[unit];
    if (units[unit] > 1) {
      text += L's';
    }
    if (level < unit + 1) {  // never after seconds, the smallest unit
      text += L", ";
    }
  }
  return text;
}

}  // namespace daymarker
