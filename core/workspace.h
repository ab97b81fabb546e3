// Where a minimised window would be restored comes in workspace coordinates,
// counted from the top left of its monitor's work area: a taskbar along the
// top or left edge puts the window that much further along on screen.
#pragma once

namespace daymarker {

// One axis: the workspace coordinate, and where the work area and its monitor
// start on that axis in screen coordinates.
constexpr int WorkspaceToScreen(int workspace, int workAreaStart, int monitorStart) {
  return workspace + workAreaStart - monitorStart;
}

}  // namespace daymarker
