// What the saved values convert through: the event's wall-clock seconds, and
// the window's place from a minimised window's work-area coordinates.
#include "core/calendar.h"

#include <gtest/gtest.h>

#include <array>

#include "core/workspace.h"

namespace daymarker {
namespace {

struct Case {
  CivilDateTime civil;
  std::int64_t seconds;
  std::int32_t event;  // as a saved event, which neither wraps nor goes below 1970
};

TEST(Calendar, ConvertsBothWaysAndSaturatesEventSeconds) {
  const Case cases[] = {
      {{1970, 1, 1, 0, 0, 0}, 0, 0},
      {{2000, 1, 1, 0, 0, 0}, 946'684'800, 946'684'800},
      {{2000, 2, 29, 12, 30, 15}, 951'827'415, 951'827'415},
      {{1970, 1, 2, 1, 0, 0}, 90'000, 90'000},
      {{1970, 1, 1, 23, 59, 59}, 86'399, 86'399},
      {{2038, 1, 19, 3, 14, 7}, 2'147'483'647, 2'147'483'647},
      {{2038, 1, 19, 3, 14, 8}, 2'147'483'648LL, 2'147'483'647},
      {{1969, 12, 31, 23, 59, 59}, -1, 0},
      {{1901, 12, 13, 20, 45, 52}, -2'147'483'648LL, 0},
      {{1601, 1, 1, 0, 0, 0}, -11'644'473'600LL, 0},
      {{9999, 12, 31, 23, 59, 59}, 253'402'300'799LL, 2'147'483'647},
      {{2027, 3, 28, 2, 30, 0}, 1'806'201'000, 1'806'201'000},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(WallSecondsFromCivil(c.civil), c.seconds) << c.civil.year << "-" << c.civil.month;
    EXPECT_EQ(CivilFromWallSeconds(c.seconds), c.civil) << c.seconds;
    EXPECT_EQ(EventSecondsFromWall(c.seconds), c.event) << c.seconds;
  }
}

TEST(WorkspaceToScreen, MovesByWhereTheWorkAreaStartsOnItsMonitor) {
  struct Row {
    int workAreaStart, monitorStart, screen;
  };
  for (const auto& [workAreaStart, monitorStart, screen] : std::to_array<Row>({
           {0, 0, 100},          // no taskbar on that edge
           {40, 0, 140},         // a taskbar 40 pixels deep along it
           {1960, 1920, 140},    // the same on a second monitor to the right
           {-1040, -1080, 140},  // or above the first
       })) {
    EXPECT_EQ(WorkspaceToScreen(100, workAreaStart, monitorStart), screen) << workAreaStart;
  }
}

}  // namespace
}  // namespace daymarker
