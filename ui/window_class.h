// Plumbing every window class of the program shares: one object per window,
// stored at WM_NCCREATE and forgotten at WM_NCDESTROY.
#pragma once

#include <windows.h>

namespace daymarker {

// Registers a class with the dialog look (button-face background, arrow
// cursor) unless this module has it already.
bool RegisterWindowClass(HINSTANCE instance, const wchar_t* name, WNDPROC procedure);

// The object behind a window: taken from CREATESTRUCT at WM_NCCREATE, and
// null before that and from WM_NCDESTROY on, so a late message finds nothing.
template <typename Object>
Object* WindowObject(HWND window, UINT message, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* object = static_cast<Object*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    ::SetLastError(0);
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
    return object;
  }
  auto* object = reinterpret_cast<Object*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (message == WM_NCDESTROY && object != nullptr) {
    ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  }
  return object;
}

}  // namespace daymarker
