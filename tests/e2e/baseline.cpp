// A trivial program that the end-to-end test puts through the same steps as
// Daymarker (start, type into a box, minimise into the notification area,
// restore with a double-click, close with Alt+F4). It stores nothing, so any
// registry change seen around it is Wine's own.
#include <windows.h>

#include <shellapi.h>

namespace {

constexpr wchar_t kClass[] = L"E2eBaselineWindow";
constexpr UINT kTrayMessage = WM_APP + 1;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  NOTIFYICONDATAW icon{sizeof(icon), window, 1, NIF_MESSAGE | NIF_ICON | NIF_TIP, kTrayMessage};
  icon.hIcon = ::LoadIconW(nullptr, IDI_APPLICATION);  // a shared icon: nothing to destroy
  ::lstrcpynW(icon.szTip, L"Baseline", ARRAYSIZE(icon.szTip));
  // Deleting an icon that is not there does no harm, so no state is kept.
  if (message == WM_SIZE && wParam == SIZE_MINIMIZED && ::Shell_NotifyIconW(NIM_ADD, &icon)) {
    ::ShowWindow(window, SW_HIDE);
  } else if (message == kTrayMessage && LOWORD(lParam) == WM_LBUTTONDBLCLK) {
    ::Shell_NotifyIconW(NIM_DELETE, &icon);
    ::ShowWindow(window, SW_RESTORE);
    ::SetForegroundWindow(window);
  } else if (message == WM_SETFOCUS) {
    // Restored from the notification area, a window that keeps the focus
    // itself gets no keys from Wine; a child that holds it does.
    ::SetFocus(::GetWindow(window, GW_CHILD));
  } else if (message == WM_DESTROY) {
    ::Shell_NotifyIconW(NIM_DELETE, &icon);
    ::PostQuitMessage(0);
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  const WNDCLASSW windowClass{.lpfnWndProc = WindowProc,
                              .hInstance = instance,
                              .hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1),
                              .lpszClassName = kClass};
  ::RegisterClassW(&windowClass);
  HWND window = ::CreateWindowExW(0, kClass, L"Baseline", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100,
                                  100, 320, 200, nullptr, nullptr, instance, nullptr);
  if (window == nullptr) {
    return 1;
  }
  ::CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 10, 10, 200, 24, window,
                    nullptr, instance, nullptr);
  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  return 0;
}
