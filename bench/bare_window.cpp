// The floors for a program of Daymarker's kind, built with the same options
// and manifest: one window with a one-second timer, and either one edit
// control or (with BARE_CONTROLS) the main window's own set of controls, so
// that the common-controls library is paid for in the floor too.
#include <windows.h>

#ifdef BARE_CONTROLS
#include <commctrl.h>
#endif

#ifdef DAYMARKER_STARTUP_PROFILE
#include "bench/startup_profile.h"
#elif defined(DAYMARKER_STARTUP_PROBE)
#include "bench/startup_probe.h"
#endif

namespace {

constexpr wchar_t kClassName[] = L"DaymarkerBareWindow";
constexpr UINT_PTR kTimerId = 1;
constexpr int kStatusId = 100;

struct Control {
  const wchar_t* className;
  const wchar_t* text;
  DWORD style;
  DWORD exStyle;
  int x, y, width, height;  // pixels at 96 DPI
};

#ifdef BARE_CONTROLS
// Daymarker's frame style and client size.
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr SIZE kClient = {337, 401};
constexpr DWORD kRadio = BS_AUTORADIOBUTTON;
constexpr Control kControls[] = {
    {WC_BUTTONW, L"Event:", BS_GROUPBOX, 0, 8, 8, 321, 81},
    {DATETIMEPICK_CLASSW, L"", DTS_SHORTDATEFORMAT | WS_TABSTOP, 0, 16, 24, 145, 21},
    {DATETIMEPICK_CLASSW, L"", DTS_TIMEFORMAT | DTS_UPDOWN | WS_TABSTOP, 0, 176, 24, 145, 21},
    {WC_EDITW, L"", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, 16, 56, 305, 19},
    {WC_BUTTONW, L"Display:", BS_GROUPBOX, 0, 8, 96, 321, 193},
    {WC_BUTTONW, L"Seconds", kRadio | WS_GROUP | WS_TABSTOP, 0, 16, 120, 297, 17},
    {WC_BUTTONW, L"Minutes", kRadio, 0, 16, 144, 297, 17},
    {WC_BUTTONW, L"Hours", kRadio, 0, 16, 168, 297, 17},
    {WC_BUTTONW, L"Days", kRadio, 0, 16, 192, 297, 17},
    {WC_BUTTONW, L"Months", kRadio, 0, 16, 216, 297, 17},
    {WC_BUTTONW, L"Years", kRadio, 0, 16, 240, 297, 17},
    {WC_BUTTONW, L"Units only", BS_AUTOCHECKBOX | WS_TABSTOP, 0, 32, 264, 281, 17},
    {WC_BUTTONW, L"Time left:", BS_GROUPBOX, 0, 8, 296, 321, 45},
    {WC_EDITW, L"", ES_AUTOHSCROLL | ES_READONLY, WS_EX_CLIENTEDGE, 16, 312, 305, 19},
    {WC_BUTTONW, L"Update:", BS_GROUPBOX, 0, 8, 344, 321, 49},
    {WC_COMBOBOXW, L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0, 16, 360, 305, 150},
};
constexpr int kStatusRow = 13;
#else
constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW;
constexpr SIZE kClient = {384, 62};
constexpr Control kControls[] = {
    {L"EDIT", L"", ES_READONLY | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, 8, 8, 360, 24},
};
constexpr int kStatusRow = 0;
#endif

struct BareWindow {
  HWND status = nullptr;
  unsigned long ticks = 0;
};

bool CreateControls(HWND window, HINSTANCE instance, BareWindow& state) {
  const auto font = reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT));
  for (int row = 0; row < static_cast<int>(sizeof(kControls) / sizeof(kControls[0])); ++row) {
    const Control& control = kControls[row];
    const int id = row == kStatusRow ? kStatusId : kStatusId + 1 + row;
    HWND created = ::CreateWindowExW(
        control.exStyle, control.className, control.text, WS_CHILD | WS_VISIBLE | control.style,
        control.x, control.y, control.width, control.height, window,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    if (created == nullptr) {
      return false;
    }
    ::SendMessageW(created, WM_SETFONT, font, FALSE);
  }
  state.status = ::GetDlgItem(window, kStatusId);
  return true;
}

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
      ::SetTimer(window, kTimerId, 1000, nullptr);
      return CreateControls(window, reinterpret_cast<CREATESTRUCTW*>(lParam)->hInstance, *state)
                 ? 0
                 : -1;
    case WM_TIMER: {
      ++state->ticks;
      wchar_t line[64];  // wsprintfW writes at most 1024 characters; this line is far shorter
      ::wsprintfW(line, L"Bare - %lu seconds", state->ticks);
      ::SetWindowTextW(state->status, line);
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
#ifdef DAYMARKER_STARTUP_PROFILE
  daymarker::startup_profile::Install();
#endif
#ifdef DAYMARKER_STARTUP_PROBE
  const LARGE_INTEGER probeStart = daymarker::startup_probe::Now();
#endif
#ifdef BARE_CONTROLS
  INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_DATE_CLASSES | ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&classes);
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
  RECT frame{0, 0, kClient.cx, kClient.cy};
  ::AdjustWindowRectEx(&frame, kStyle, FALSE, 0);
  BareWindow state;
  HWND window = ::CreateWindowExW(0, kClassName, L"Bare window", kStyle, CW_USEDEFAULT,
                                  CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                                  nullptr, nullptr, instance, &state);
  if (window == nullptr) {
    return 1;
  }
  ::ShowWindow(window, SW_SHOWNORMAL);
#ifdef DAYMARKER_STARTUP_PROBE
  ::UpdateWindow(window);
  daymarker::startup_probe::Finish(probeStart);
#endif
#ifdef DAYMARKER_STARTUP_PROFILE
  daymarker::startup_profile::Report();
  return 0;
#endif
  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}
