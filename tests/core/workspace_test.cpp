#include "core/workspace.h"

#include <gtest/gtest.h>

#include <array>

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

}  // namespace
}  // namespace daymarker
