// The floor for a program of Daymarker's kind, built with the same options:
// one window, one edit control and a one-second timer that rewrites it.
#include <windows.h>

#ifdef DAYMARKER_STARTUP_PROBE
#include "bench/startup_probe.h"
#endif

namespace {

constexpr wchar_t kClassName[] = L"DaymarkerBareWindow";
constexpr UINT_PTR kTimerId = 1;
constexpr int kEditId = 100;

struct BareWindow {
  HWND edit = nullptr;
  unsigned long ticks = 0;
};

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* state =
        static_cast<BareWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    ::SetLastError(0);
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
  }
  auto* state = reinterpret_cast<BareWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (state == nullptr) {
    return ::DefWindowProcW(window, message, wParam, lParam);
  }
  switch (message) {
    case WM_CREATE:
      state->edit = ::CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                                      WS_CHILD | WS_VISIBLE | ES_READONLY | ES_AUTOHSCROLL, 8, 8,
                                      360, 24, window, reinterpret_cast<HMENU>(kEditId),
                                      reinterpret_cast<CREATESTRUCTW*>(lParam)->hInstance, nullptr);
      ::SetTimer(window, kTimerId, 1000, nullptr);
      return state->edit != nullptr ? 0 : -1;
    case WM_TIMER: {
      ++state->ticks;
      wchar_t line[64];  // wsprintfW writes at most 1024 characters; this line is far shorter
      ::wsprintfW(line, L"Bare - %lu seconds", state->ticks);
      ::SetWindowTextW(state->edit, line);
      return 0;
    }
    case WM_DESTROY:
      ::KillTimer(window, kTimerId);
      ::PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY:
      ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      return ::DefWindowProcW(window, message, wParam, lParam);
    default:
      return ::DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
#ifdef DAYMARKER_STARTUP_PROBE
  const LARGE_INTEGER probeStart = daymarker::startup_probe::Now();
#endif
  WNDCLASSEXW windowClass{sizeof(windowClass)};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kClassName;
  if (::RegisterClassExW(&windowClass) == 0) {
    return 1;
  }
  BareWindow state;
  HWND window = ::CreateWindowExW(0, kClassName, L"Bare window", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 400, 100, nullptr, nullptr, instance, &state);
  if (window == nullptr) {
    return 1;
  }
  ::ShowWindow(window, SW_SHOWNORMAL);
#ifdef DAYMARKER_STARTUP_PROBE
  ::UpdateWindow(window);
  daymarker::startup_probe::Finish(probeStart);
#endif
  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}
