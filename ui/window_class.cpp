#include "ui/window_class.h"

namespace daymarker {

bool RegisterWindowClass(HINSTANCE instance, const wchar_t* name, WNDPROC procedure) {
  WNDCLASSEXW existing{sizeof(existing)};
  if (::GetClassInfoExW(instance, name, &existing)) {
    return true;
  }
  WNDCLASSEXW windowClass{sizeof(windowClass)};
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = name;
  return ::RegisterClassExW(&windowClass) != 0;
}

}  // namespace daymarker
