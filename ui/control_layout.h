// Windows laid out from tables: each row is one child control with its
// position in twips, so a layout reads like the form it comes from.
#pragma once

#include <windows.h>

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

// The control's rectangle in client pixels.
RECT ControlRect(std::span<const ControlSpec> table, std::size_t row, UINT dpi);

// Creates the controls in table order, which is also their tab order, and gives them the font.
bool CreateControls(HWND parent, std::span<const ControlSpec> table, UINT dpi, HFONT font);

// Moves every control to its place at a new DPI and gives it the new font.
void PlaceControls(HWND parent, std::span<const ControlSpec> table, UINT dpi, HFONT font);

}  // namespace daymarker
