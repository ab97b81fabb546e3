#include "core/workspace.h"

#include <gtest/gtest.h>

#include <array>
#include <tuple>
#include <vector>

namespace daymarker {
namespace {

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
