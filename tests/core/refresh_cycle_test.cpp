#include "core/refresh_cycle.h"

#include <gtest/gtest.h>

#include <iterator>
#include <limits>
#include <vector>

namespace daymarker {
namespace {

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
