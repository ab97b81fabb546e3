#include "ui/object_window.h"

#include <utility>

namespace daymarker {

bool RegisterWindowClass(HINSTANCE instance, const wchar_t* name, WNDPROC procedure) {
  WNDCLASSEXW windowClass{sizeof(windowClass)};
  if (::GetClassInfoExW(instance, name, &windowClass)) {
    return true;
  }
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = name;
  return ::RegisterClassExW(&windowClass) != 0;
}

bool ObjectWindow::CreateObjectWindow(HINSTANCE instance, const wchar_t* className, DWORD exStyle,
                                      DWORD style, const RECT& place, HWND parent, HMENU menu) {
  if (!RegisterWindowClass(instance, className, WindowProc)) {
    return false;
  }
  return ::CreateWindowExW(exStyle, className, L"", style, place.left, place.top,
                           place.right - place.left, place.bottom - place.top, parent, menu,
                           instance, this) != nullptr;
}

void ObjectWindow::DestroyWindowFirst() {
  if (window_ != nullptr && !::DestroyWindow(window_)) {
    // Another thread's window cannot be destroyed from here: at least none of
    // its messages reach this object any more.
    ::SetWindowLongPtrW(std::exchange(window_, nullptr), GWLP_USERDATA, 0);
  }
}

LRESULT CALLBACK ObjectWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* created =
        static_cast<ObjectWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    created->window_ = window;
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
  }
  auto* self = reinterpret_cast<ObjectWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr) {
    return ::DefWindowProcW(window, message, wParam, lParam);
  }
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    self->window_ = nullptr;
    return ::DefWindowProcW(window, message, wParam, lParam);
  }
  return self->HandleMessage(message, wParam, lParam);
}

}  // namespace daymarker
