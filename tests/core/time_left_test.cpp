// The time-left core: the phrase of units, and the ticks that rebuild it.
#include "core/time_left.h"

#include <gtest/gtest.h>

#include <array>
#include <iterator>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "core/refresh_cycle.h"
#include "core/tray_tip.h"

namespace daymarker {
namespace {

struct Case {
  int level;
  bool onlyUnits;
  std::int64_t seconds;
  const wchar_t* expected;
};

class TimeLeftTextTest : public ::testing::TestWithParam<Case> {};

TEST_P(TimeLeftTextTest, WordsTheBreakdown) {
  const Case& c = GetParam();
  EXPECT_EQ(TimeLeftText(c.seconds, c.level, c.onlyUnits), c.expected)
      << "level " << c.level << (c.onlyUnits ? " checked " : " unchecked ") << c.seconds;
}

// 34,563,723 seconds are 400 days, 1 hour, 2 minutes and 3 seconds.
constexpr std::int64_t kLong = 34'563'723;

INSTANTIATE_TEST_SUITE_P(
    WorkedResults, TimeLeftTextTest,
    ::testing::Values(Case{1, false, 90'061, L"1 day, 1 hour, 1 minute, 1 second"},
                      Case{4, false, 90'061, L"1 day"}, Case{3, true, 90'061, L"25 hours"},
                      Case{1, true, 90'061, L"90061 seconds"},
                      Case{1, false, kLong,
                           L"1 year, 2 months, 8 days, 1 hour, 2 minutes, 3 seconds"},
                      Case{5, true, kLong, L"14 months"}, Case{6, true, kLong, L"1 year"},
                      Case{6, false, kLong, L"1 year"}, Case{1, false, 86'400, L"1 day, "},
                      Case{3, false, 86'400, L"1 day, "}, Case{4, false, 86'400, L"1 day"},
                      Case{2, false, 180'000, L"2 days, 2 hours, "}, Case{2, false, 30, L""},
                      Case{2, true, 30, L""}));

INSTANTIATE_TEST_SUITE_P(SingularPluralAndZero, TimeLeftTextTest,
                         ::testing::Values(Case{1, false, 1, L"1 second"},
                                           Case{1, false, 2, L"2 seconds"}, Case{1, false, 0, L""},
                                           Case{4, false, 0, L""}, Case{6, true, 0, L""},
                                           Case{2, false, 120, L"2 minutes"},
                                           Case{2, false, 3600 + 60, L"1 hour, 1 minute"},
                                           Case{1, false, 3600 + 1, L"1 hour, 1 second"},
                                           Case{3, false, 28 * 86'400 + 3600, L"1 month, 1 hour"}));

INSTANTIATE_TEST_SUITE_P(
    LevelBounds, TimeLeftTextTest,
    ::testing::Values(Case{0, false, 90'061, L"1 day, 1 hour, 1 minute, 1 second"},
                      Case{-5, true, 90'061, L"90061 seconds"}, Case{7, false, kLong, L"1 year"},
                      Case{32767, true, kLong, L"1 year"},
                      // Less than a 336-day year at level 6 leaves nothing to write.
                      Case{6, false, 335 * 86'400, L""}, Case{6, true, 336 * 86'400, L"1 year"}));

INSTANTIATE_TEST_SUITE_P(
    OnlyUnitsAbsorbsLargerUnits, TimeLeftTextTest,
    ::testing::Values(Case{2, true, 90'061, L"1501 minutes"}, Case{4, true, kLong, L"400 days"},
                      Case{5, false, kLong, L"1 year, 2 months"},
                      // The hidden smaller units are dropped, never rounded up.
                      Case{3, false, 3600 * 2 - 1, L"1 hour"}));

// A negative count is never passed by the refresh cycle, but floor division
// keeps every remainder in range and only the largest unit negative.
INSTANTIATE_TEST_SUITE_P(
    NegativeCounts, TimeLeftTextTest,
    ::testing::Values(Case{1, false, -1, L"11 months, 27 days, 23 hours, 59 minutes, 59 seconds"},
                      Case{1, false, -86'400, L"11 months, 27 days, "}, Case{1, true, -90'061, L""},
                      Case{3, true, -1, L""}));

INSTANTIATE_TEST_SUITE_P(BeyondThirtyTwoBits, TimeLeftTextTest,
                         ::testing::Values(Case{6, false, 2'147'483'648LL, L"73 years"},
                                           Case{1, true, 4'294'967'296LL, L"4294967296 seconds"}));

// The status line as the icon's tooltip takes it: each line as the notification area before Windows
// 11 needs it, where & is a prefix, and as later ones show it: never more than 63 units, never a
// part of an escape or of a character.
TEST(TrayTipText, EscapesAmpersandsForTheShellAndCutsBetweenCharacters) {
  const std::wstring x60(60, L'x');
  const std::wstring party{wchar_t{0xD83C}, wchar_t{0xDF89}};  // one character in two units
  for (const auto& [line, prefixShell, plainShell] : std::to_array<std::array<std::wstring, 3>>({
           {L"Party - 1 day", L"Party - 1 day", L"Party - 1 day"},
           {L"Tom & Jerry - 2 days", L"Tom &&& Jerry - 2 days", L"Tom & Jerry - 2 days"},
           {L"A && B&", L"A &&&&&& B&&&", L"A && B&"},
           {x60 + L"&yz", x60 + L"&&&", x60 + L"&yz"},  // the escape fills the tip
           {x60 + L"x&y", x60 + L"x", x60 + L"x&y"},    // no room for all of it
           {x60 + L"x" + party + L"y", x60 + L"x" + party, x60 + L"x" + party},
           {x60 + L"xx" + party, x60 + L"xx", x60 + L"xx"},  // no room for both units
           {std::wstring(80, L'a'), std::wstring(63, L'a'), std::wstring(63, L'a')},
           {L"", L"", L""},
       })) {
    EXPECT_EQ(std::pair(TrayTipText(line, true), TrayTipText(line, false)),
              std::pair(prefixShell, plainShell));
  }
}

// Ticks that rebuild, among the first `ticks` after a forced refresh.
std::vector<int> RebuildingTicks(int updateIndex, int ticks) {
  std::int32_t secondsToRefresh = 0;
  std::vector<int> rebuilds;
  CountTick(secondsToRefresh, updateIndex);  // the forced refresh itself
  for (int tick = 1; tick <= ticks; ++tick) {
    if (CountTick(secondsToRefresh, updateIndex)) {
      rebuilds.push_back(tick);
    }
  }
  return rebuilds;
}

// The eight choices of the list, each with the period it rebuilds at.
TEST(CountTick, RebuildsOncePerPeriodOfEachChoice) {
  const struct {
    const wchar_t* text;
    int seconds;
  } choices[] = {
      {L"Every Second", 1},        {L"Every 10 Seconds", 10}, {L"Every 30 Seconds", 30},
      {L"Every Minute", 60},       {L"Every 5 Minutes", 300}, {L"Every 15 Minutes", 900},
      {L"Every 30 Minutes", 1800}, {L"Every Hour", 3600},
  };
  ASSERT_EQ(kUpdateIntervals.size(), std::size(choices));
  for (int index = 1; index <= 8; ++index) {
    const auto& choice = choices[index - 1];
    EXPECT_EQ(kUpdateIntervals[index - 1].text, choice.text);
    EXPECT_EQ(RebuildingTicks(index, 2 * choice.seconds),
              (std::vector<int>{choice.seconds, 2 * choice.seconds}))
        << index;
  }
}

TEST(CountTick, IndexOutsideTheTableRebuildsEveryTick) {
  for (int index : {0, 9, -3, 32767, std::numeric_limits<int>::min()}) {
    EXPECT_EQ(RebuildingTicks(index, 4), (std::vector<int>{1, 2, 3, 4})) << index;
  }
}

TEST(CountTick, NeverWrapsAtTheFloor) {
  std::int32_t secondsToRefresh = std::numeric_limits<std::int32_t>::min();
  EXPECT_TRUE(CountTick(secondsToRefresh, 0));
  EXPECT_EQ(secondsToRefresh, std::numeric_limits<std::int32_t>::min());
  EXPECT_TRUE(CountTick(secondsToRefresh, 1));
  EXPECT_EQ(secondsToRefresh, 1);
}

}  // namespace
}  // namespace daymarker
