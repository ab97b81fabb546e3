// The floors for a program of Daymarker's kind, built with the same options
// and manifest. Bare: one window with one edit control that a one-second timer
// rewrites. With SAME_CONTROLS, the floor Daymarker is measured against: its
// main window's common controls, controls and menu bar, none of its logic.
#include <windows.h>
// commctrl.h needs windows.h before it.
#include <commctrl.h>

namespace {

constexpr wchar_t kClassName[] = L"DaymarkerBareWindow";
constexpr UINT_PTR kTimerId = 1;
constexpr int kStatusId = 1;

struct Control {
  const wchar_t* className;
  const wchar_t* text;
  DWORD style, exStyle;
  int left, top, width, height;  // pixels at 96 DPI
};
constexpr DWORD kShown = WS_VISIBLE | WS_TABSTOP;
constexpr DWORD kStatus = WS_VISIBLE | ES_READONLY | ES_AUTOHSCROLL;
#ifdef SAME_CONTROLS
constexpr DWORD kRadio = kShown | BS_AUTORADIOBUTTON;
constexpr DWORD kGroupBox = WS_VISIBLE | BS_GROUPBOX;
// Daymarker's main window, hidden labels included; the status line first, as
// in the bare window.
constexpr Control kControls[] = {
    {WC_EDITW, L"", kStatus, WS_EX_CLIENTEDGE, 16, 312, 305, 19},
    {WC_BUTTONW, L"&Event:", kGroupBox, 0, 8, 8, 321, 81},
    {WC_STATICW, L"Event date", SS_LEFT, 0, 0, 0, 0, 0},
    {DATETIMEPICK_CLASSW, L"", kShown | DTS_SHORTDATEFORMAT, 0, 16, 24, 145, 21},
    {WC_STATICW, L"Event time", SS_LEFT, 0, 0, 0, 0, 0},
    {DATETIMEPICK_CLASSW, L"", kShown | DTS_TIMEFORMAT | DTS_UPDOWN, 0, 176, 24, 145, 21},
    {WC_STATICW, L"Event name", SS_LEFT, 0, 0, 0, 0, 0},
    {WC_EDITW, L"", kShown | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, 16, 56, 305, 19},
    {WC_BUTTONW, L"&Display:", kGroupBox, 0, 8, 96, 321, 193},
    {WC_BUTTONW, L"(Years, Months, Days, Hours, Minutes,) &Seconds", kRadio, 0, 24, 120, 297, 17},
    {WC_BUTTONW, L"(Years, Months, Days, Hours,) Mi&nutes", kRadio, 0, 24, 144, 297, 17},
    {WC_BUTTONW, L"(Years, Months, Days,) &Hours", kRadio, 0, 24, 168, 297, 17},
    {WC_BUTTONW, L"(Years, Months,) &Days", kRadio, 0, 24, 192, 297, 17},
    {WC_BUTTONW, L"(Years,) &Months", kRadio, 0, 24, 216, 297, 17},
    {WC_BUTTONW, L"&Years", kRadio, 0, 24, 240, 297, 17},
    {WC_BUTTONW, L"&Only display the units selected", kShown | BS_AUTOCHECKBOX, 0, 40, 264, 281,
     17},
    {WC_BUTTONW, L"&Time Left:", kGroupBox, 0, 8, 296, 321, 45},
    {WC_STATICW, L"Time left", SS_LEFT, 0, 0, 0, 0, 0},
    {WC_BUTTONW, L"&Update:", kGroupBox, 0, 8, 344, 321, 49},
    {WC_STATICW, L"Update interval", SS_LEFT, 0, 0, 0, 0, 0},
    {WC_COMBOBOXW, L"", kShown | CBS_DROPDOWNLIST | WS_VSCROLL, 0, 16, 360, 305, 21},
};
constexpr SIZE kClient = {337, 401};
#else
constexpr Control kControls[] = {{WC_EDITW, L"", kStatus, WS_EX_CLIENTEDGE, 8, 8, 360, 24}};
constexpr SIZE kClient = {384, 62};
#endif

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  static unsigned long ticks = 0;
  switch (message) {
    case WM_CREATE: {
      const HINSTANCE instance = reinterpret_cast<CREATESTRUCTW*>(lParam)->hInstance;
      const auto font = reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT));
      for (const Control& c : kControls) {
        const int id = &c == kControls ? kStatusId : 0;
        HWND control = ::CreateWindowExW(
            c.exStyle, c.className, c.text, WS_CHILD | c.style, c.left, c.top, c.width, c.height,
            window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
        if (control == nullptr) {
          return -1;
        }
        ::SendMessageW(control, WM_SETFONT, font, FALSE);
      }
      ::SetTimer(window, kTimerId, 1000, nullptr);
      return 0;
    }
    case WM_TIMER: {
      wchar_t line[64];  // wsprintfW writes at most 1024 characters; this line is far shorter
      ::wsprintfW(line, L"Bare - %lu seconds", ++ticks);
      ::SetDlgItemTextW(window, kStatusId, line);
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
  HMENU menu = nullptr;
#ifdef SAME_CONTROLS
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_DATE_CLASSES | ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&controls);
  menu = ::CreateMenu();
  HMENU file = ::CreatePopupMenu();
  ::AppendMenuW(file, MF_STRING, 1, L"E&xit");
  HMENU help = ::CreatePopupMenu();
  ::AppendMenuW(help, MF_STRING, 2, L"&About...\tF1");
  ::AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
  ::AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(help), L"&Help");
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
  constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW;
  RECT frame{0, 0, kClient.cx, kClient.cy};
  ::AdjustWindowRectEx(&frame, kStyle, menu != nullptr, 0);
  HWND window = ::CreateWindowExW(0, kClassName, L"Bare window", kStyle, CW_USEDEFAULT,
                                  CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                                  nullptr, menu, instance, nullptr);
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
