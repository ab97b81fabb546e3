// Where a window goes on the desktop, in screen pixels: one pixel space for
// all monitors, negative on a monitor left of or above the main one.
#pragma once

#include <algorithm>
#include <span>

namespace daymarker {

struct ScreenPoint {
  int x;
  int y;
  friend constexpr bool operator==(ScreenPoint, ScreenPoint) = default;
};

struct ScreenRect {
  int left;
  int top;
  int right;
  int bottom;
};

// Where a minimised window would be restored comes in workspace coordinates,
// counted from the top left of its monitor's work area: a taskbar along the
// top or left edge puts the window that much further along on screen. One
// axis: the workspace coordinate, and where the work area and its monitor
// start on that axis in screen coordinates.
constexpr int WorkspaceToScreen(int workspace, int workAreaStart, int monitorStart) {
  return workspace + workAreaStart - monitorStart;
}

// Where a window of width by height saved at `saved` opens: where it was while
// a monitor holds all of it; otherwise a coordinate below 0 becomes 0, so that
// a window saved partly off the left or top of the screen comes back whole.
constexpr ScreenPoint SavedWindowPlace(ScreenPoint saved, int width, int height,
                                       std::span<const ScreenRect> monitors) {
  const auto holdsWindow = [&](const ScreenRect& monitor) {
    return saved.x >= monitor.left && saved.y >= monitor.top && saved.x + width <= monitor.right &&
           saved.y + height <= monitor.bottom;
  };
  if (std::ranges::any_of(monitors, holdsWindow)) {
    return saved;
  }
  return {std::max(saved.x, 0), std::max(saved.y, 0)};
}

}  // namespace daymarker
