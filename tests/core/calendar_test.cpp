#include "core/calendar.h"

#include <gtest/gtest.h>

#include <limits>

namespace daymarker {
namespace {

struct Case {
  CivilDateTime civil;
  std::int64_t seconds;
};

TEST(Calendar, ConvertsBothWays) {
  const Case cases[] = {
      {{1970, 1, 1, 0, 0, 0}, 0},
      {{2000, 1, 1, 0, 0, 0}, 946'684'800},
      {{2000, 2, 29, 12, 30, 15}, 951'827'415},
      {{1970, 1, 2, 1, 0, 0}, 90'000},
      {{1970, 1, 1, 23, 59, 59}, 86'399},
      {{2038, 1, 19, 3, 14, 7}, 2'147'483'647},
      {{1969, 12, 31, 23, 59, 59}, -1},
      {{1901, 12, 13, 20, 45, 52}, -2'147'483'648LL},
      {{1601, 1, 1, 0, 0, 0}, -11'644'473'600LL},
      {{9999, 12, 31, 23, 59, 59}, 253'402'300'799LL},
      {{2027, 3, 28, 2, 30, 0}, 1'806'201'000},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(WallSecondsFromCivil(c.civil), c.seconds) << c.civil.year << "-" << c.civil.month;
    EXPECT_EQ(CivilFromWallSeconds(c.seconds), c.civil) << c.seconds;
  }
}

TEST(EventSecondsFromWall, SaturatesInsteadOfWrapping) {
  EXPECT_EQ(EventSecondsFromWall(946'684'800), 946'684'800);
  EXPECT_EQ(EventSecondsFromWall(0), 0);
  EXPECT_EQ(EventSecondsFromWall(-1), 0);
  EXPECT_EQ(EventSecondsFromWall(-11'644'473'600LL), 0);
  EXPECT_EQ(EventSecondsFromWall(2'147'483'647), 2'147'483'647);
  EXPECT_EQ(EventSecondsFromWall(2'147'483'648LL), 2'147'483'647);
  EXPECT_EQ(EventSecondsFromWall(253'402'300'799LL), 2'147'483'647);
}

}  // namespace
}  // namespace daymarker
