// What the saved values convert through: the event's wall-clock seconds, and
// the window's place from a minimised window's work-area coordinates.
#include "core/calendar.h"

#include <gtest/gtest.h>

#include <array>
#include <tuple>
#include <vector>

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

// A window of 400 by 500 pixels, beside a main monitor of 1920 by 1080.
TEST(SavedWindowPlace, KeepsABelowZeroPlaceOnlyWhereAMonitorHoldsTheWindow) {
  constexpr ScreenRect kMain{0, 0, 1920, 1080};
  constexpr ScreenRect kLeft{-1280, 0, 0, 1024};
  constexpr ScreenRect kAbove{-200, -1200, 1720, 0};
  for (const auto& [saved, monitors, placed] :
       std::to_array<std::tuple<ScreenPoint, std::vector<ScreenRect>, ScreenPoint>>({
           {{-900, 100}, {kMain, kLeft}, {-900, 100}},     // on a monitor left of the main one
           {{-150, -600}, {kAbove, kMain}, {-150, -600}},  // above it
           {{-900, -600}, {kMain}, {0, 0}},                // on no monitor at all
           // Partly off the left one: past each of its edges.
           {{-1300, 80}, {kMain, kLeft}, {0, 80}},
           {{-900, -50}, {kMain, kLeft}, {0, 0}},
           {{-200, 80}, {kMain, kLeft}, {0, 80}},
           {{-900, 600}, {kMain, kLeft}, {0, 600}},
           {{100, 80}, {kMain}, {100, 80}},  // on the main monitor
           {{30000, 80}, {}, {30000, 80}},   // off to the right: no one moves it here
       })) {
    EXPECT_EQ(SavedWindowPlace(saved, 400, 500, monitors), placed) << saved.x << ',' << saved.y;
  }
}

}  // namespace
}  // namespace daymarker
