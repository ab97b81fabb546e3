// Windows laid out from tables: each row is one child control with its
// position in twips, so a layout reads like the form it comes from.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstddef>
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
  // Id of the group box the position is measured from, or kNoContainer for
  // the client area. Controls are always children of the window itself: a
  // group box is no container in Win32 and would swallow notifications.
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

// The row of the control with that id (a table gives each id one row), or
// table.size() where there is none: a constant table indexed with it fails
// to compile for an id it lacks.
constexpr std::size_t RowOf(std::span<const ControlSpec> table, int id) {
  std::size_t row = 0;
  while (row < table.size() && table[row].id != id) {
    ++row;
  }
  return row;
}

// Whether every row's container is the client area or a row of the table.
constexpr bool ContainersInTable(std::span<const ControlSpec> table) {
  return std::ranges::all_of(table, [table](const ControlSpec& entry) {
    return entry.container == kNoContainer || RowOf(table, entry.container) < table.size();
  });
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
