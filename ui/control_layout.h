// Windows laid out from tables: each row is one child control with its
// position in twips, so a layout reads like the form it comes from.
#pragma once

#include <windows.h>

#include <limits>
#include <span>

namespace daymarker {

inline constexpr int kNoContainer = -1;

struct ControlSpec {
  int id;
  const wchar_t* className;
  const wchar_t* text;
  DWORD style;  // WS_CHILD | WS_VISIBLE are added
  DWORD exStyle;
  // Row index of the group box the position is measured from, or kNoContainer
  // for the client area. Controls are always children of the window itself:
  // a group box is no container in Win32 and would swallow notifications.
  int container;
  int left, top, width, height;  // twips
};

// A band taken out of a form: whatever lies below `top` moves up by `height`.
struct Fold {
  int top = std::numeric_limits<int>::max();
  int height = 0;

  constexpr int Apply(int y) const { return y > top ? y - height : y; }
};

// The control's rectangle in client pixels.
RECT ControlRect(std::span<const ControlSpec> table, std::size_t row, UINT dpi, Fold fold = {});

// Creates the controls in table order, which is also their tab order, and gives them the font.
bool CreateControls(HWND parent, std::span<const ControlSpec> table, UINT dpi, HFONT font);

// Moves every control to its place, at a new DPI or with a fold.
void PlaceControls(HWND parent, std::span<const ControlSpec> table, UINT dpi, Fold fold = {});

void SetControlsFont(HWND parent, std::span<const ControlSpec> table, HFONT font);

}  // namespace daymarker
