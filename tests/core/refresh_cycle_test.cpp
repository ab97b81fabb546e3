#include "core/refresh_cycle.h"

#include <gtest/gtest.h>

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

TEST(CountTick, RebuildsOncePerPeriod) {
  EXPECT_EQ(RebuildingTicks(3, 90), (std::vector<int>{30, 60, 90}));
  EXPECT_EQ(RebuildingTicks(1, 3), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(RebuildingTicks(4, 59), std::vector<int>{});
  EXPECT_EQ(RebuildingTicks(8, 3600), std::vector<int>{3600});
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
