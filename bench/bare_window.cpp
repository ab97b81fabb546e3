// The floor for a program of Daymarker's kind, built with the same options
// and manifest: one window with one edit control that a one-second timer
// rewrites.
#include <windows.h>

namespace {

constexpr wchar_t kClassName[] = L"DaymarkerBareWindow";
constexpr UINT_PTR kTimerId = 1;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  static HWND status = nullptr;
  static unsigned long ticks = 0;
  switch (message) {
    case WM_CREATE:
      status = ::CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                                 WS_CHILD | WS_VISIBLE | ES_READONLY | ES_AUTOHSCROLL, 8, 8, 360,
                                 24, window, nullptr,
                                 reinterpret_cast<CREATESTRUCTW*>(lParam)->hInstance, nullptr);
      ::SendMessageW(status, WM_SETFONT,
                     reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), FALSE);
      ::SetTimer(window, kTimerId, 1000, nullptr);
      return status != nullptr ? 0 : -1;
    case WM_TIMER: {
      wchar_t line[64];  // wsprintfW writes at most 1024 characters; this line is far shorter
      ::wsprintfW(line, L"Bare - %lu seconds", ++ticks);
      ::SetWindowTextW(status, line);
      return 0;
    }
    case WM_DESTROY:
      ::KillTimer(window, kTimerId);
      ::PostQuitMessage(0);
      return 0;
    default:
      return ::DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  WNDCLASSEXW windowClass{sizeof(windowClass)};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kClassName;
  if (::RegisterClassExW(&windowClass) == 0) {
    return 1;
  }
  constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW;
  RECT frame{0, 0, 384, 62};
  ::AdjustWindowRectEx(&frame, kStyle, FALSE, 0);
  HWND window = ::CreateWindowExW(0, kClassName, L"Bare window", kStyle, CW_USEDEFAULT,
                                  CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                                  nullptr, nullptr, instance, nullptr);
  if (window == nullptr) {
    return 1;
  }
  ::ShowWindow(window, SW_SHOWNORMAL);
  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}
