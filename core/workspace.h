// Where a window goes on the desktop, in screen pixels: one pixel space for
// all monitors, negative on a monitor left of or above the main one.
#pragma once

#include <algorithm>
#include <cstdint>
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

// A monitor: all of it, and its work area, the part no taskbar covers.
struct Monitor {
  ScreenRect area;
  ScreenRect work;
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
                                       std::span<const Monitor> monitors) {
  const auto holdsWindow = [&](const Monitor& monitor) {
    const ScreenRect& area = monitor.area;
    return saved.x >= area.left && saved.y >= area.top && saved.x + width <= area.right &&
           saved.y + height <= area.bottom;
  };
  if (std::ranges::any_of(monitors, holdsWindow)) {
    return saved;
  }
  return {std::max(saved.x, 0), std::max(saved.y, 0)};
}

// Where a window can be reached: where it is while any monitor shows some of
// it; on none (its monitor was unplugged, a laptop undocked), inside the work
// area of the nearest monitor, as far along each axis as the window fits.
// Where there is no monitor at all, nothing better is known.
constexpr ScreenPoint ReachablePlace(ScreenRect window, std::span<const Monitor> monitors) {
  // How far a monitor lies from the window along one axis: 0 where they overlap on it.
  const auto gap = [](int start, int end, int areaStart, int areaEnd) {
    return std::int64_t{std::max({0, areaStart - end, start - areaEnd})};
  };
  const auto distance = [&](const Monitor& monitor) {
    const std::int64_t x = gap(window.left, window.right, monitor.area.left, monitor.area.right);
    const std::int64_t y = gap(window.top, window.bottom, monitor.area.top, monitor.area.bottom);
    return x * x + y * y;
  };
  const auto shows = [&](const Monitor& monitor) {
    return window.left < monitor.area.right && monitor.area.left < window.right &&
           window.top < monitor.area.bottom && monitor.area.top < window.bottom;
  };
  const ScreenPoint place{window.left, window.top};
  if (monitors.empty() || std::ranges::any_of(monitors, shows)) {
    return place;
  }
  const ScreenRect work = std::ranges::min(monitors, {}, distance).work;
  // Its left and top edges stay in the work area, should it be too large to fit.
  const auto into = [](int start, int length, int workStart, int workEnd) {
    return std::max(workStart, std::min(start, workEnd - length));
  };
  return {into(window.left, window.right - window.left, work.left, work.right),
          into(window.top, window.bottom - window.top, work.top, work.bottom)};
}

}  // namespace daymarker
