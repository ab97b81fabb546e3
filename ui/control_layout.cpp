#include "ui/control_layout.h"

#include "ui/dpi.h"

namespace daymarker {
namespace {

POINT OriginTwips(std::span<const ControlSpec> table, std::size_t row) {
  POINT origin{table[row].left, table[row].top};
  // Containers may nest; a malformed table cannot loop for longer than its size.
  std::size_t container = RowOf(table, table[row].container);
  for (std::size_t depth = 0; container < table.size() && depth < table.size(); ++depth) {
    const ControlSpec& box = table[container];
    origin.x += box.left;
    origin.y += box.top;
    container = RowOf(table, box.container);
  }
  return origin;
}

// The control's rectangle in client pixels.
RECT ControlRect(std::span<const ControlSpec> table, std::size_t row, UINT dpi, Fold fold = {}) {
  POINT origin = OriginTwips(table, row);
  origin.y = fold.Apply(origin.y);
  RECT rect;
  rect.left = TwipsToPixels(origin.x, dpi);
  rect.top = TwipsToPixels(origin.y, dpi);
  // Right and bottom edges are scaled themselves so that neighbours never drift apart.
  rect.right = TwipsToPixels(origin.x + table[row].width, dpi);
  rect.bottom = TwipsToPixels(origin.y + table[row].height, dpi);
  return rect;
}

}  // namespace

bool CreateControls(HWND parent, std::span<const ControlSpec> table, UINT dpi, HFONT font) {
  const auto instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(parent, GWLP_HINSTANCE));
  for (std::size_t row = 0; row < table.size(); ++row) {
    const ControlSpec& entry = table[row];
    const RECT rect = ControlRect(table, row, dpi);
    HWND control = ::CreateWindowExW(
        entry.exStyle, entry.className, entry.text,
        WS_CHILD | (entry.hidden ? 0 : WS_VISIBLE) | entry.style, rect.left, rect.top,
        rect.right - rect.left, rect.bottom - rect.top, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(entry.id)), instance, nullptr);
    if (control == nullptr) {
      return false;
    }
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
  return true;
}

void PlaceControls(HWND parent, std::span<const ControlSpec> table, UINT dpi, Fold fold) {
  for (std::size_t row = 0; row < table.size(); ++row) {
    const RECT rect = ControlRect(table, row, dpi, fold);
    ::SetWindowPos(::GetDlgItem(parent, table[row].id), nullptr, rect.left, rect.top,
                   rect.right - rect.left, rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  ::InvalidateRect(parent, nullptr, TRUE);
}

void SetControlsFont(HWND parent, std::span<const ControlSpec> table, HFONT font) {
  for (const ControlSpec& entry : table) {
    ::SendMessageW(::GetDlgItem(parent, entry.id), WM_SETFONT, reinterpret_cast<WPARAM>(font),
                   TRUE);
  }
}

}  // namespace daymarker
