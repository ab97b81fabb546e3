// Windows laid out from tables: each row is one child control with its
// position in twips, so a layout reads like the form it comes from.
#pragma once

#include <windows.h>

#include <span>

namespace daymarker {

inline constexpr int kNoContainer = -1;

// A row of a constant table; a field a row leaves out is zero.
struct ControlSpec {
  int id;
  const wchar_t* className;
  const wchar_t* text;
  DWORD style;  // WS_CHILD is added, and WS_VISIBLE unless the row is hidden
  DWORD exStyle;
  // Row index of the group box the position is measured from, or kNoContainer
  // for the client area. Controls are always children of the window itself:
  // a group box is no container in Win32 and would swallow notifications.
  int container;
  int left, top, width, height;  // twips
  bool hidden;
};

// A label no one sees, the row just before a control that has no text of its
// own: screen readers name such a control from the static label before it in
// creation order, and a group box around it names nothing. It takes no room.
constexpr ControlSpec HiddenLabel(int id, const wchar_t* text) {
  return {.id = id,
          .className = L"Static",
          .text = text,
          .style = SS_LEFT | SS_NOPREFIX,
          .container = kNoContainer,
          .hidden = true};
}

// A band taken out of a form: whatever lies below `top` moves up by `height`.
// A band of no height, such as Fold{}, moves nothing.
struct Fold {
  int top;
  int height;

  constexpr int Apply(int y) const { return y > top ? y - height : y; }
};

// Creates the controls in table order, which is also their tab order, and gives them the font.
bool CreateControls(HWND parent, std::span<const ControlSpec> table, UINT dpi, HFONT font);

// Moves every control to its place, at a new DPI or with a fold.
void PlaceControls(HWND parent, std::span<const ControlSpec> table, UINT dpi, Fold fold = {});

void SetControlsFont(HWND parent, std::span<const ControlSpec> table, HFONT font);

}  // namespace daymarker
