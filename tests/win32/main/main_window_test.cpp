#include <windows.h>

#include <commctrl.h>
#include <oleacc.h>

#include <array>
#include <map>
#include <string_view>
#include <tuple>
#include <vector>

#include "resources/resource.h"
#include "ui/dpi.h"
#include "win/system_functions.h"
#include "window_test_support.h"

namespace daymarker::testing {
namespace {

const std::wstring kReached = L"Daymarker v1.03 - DISABLED";

// Windows as the DPI functions and the icon loader could answer, each a stand-in.
struct Answers {
  static inline HWND scaledFrame = nullptr;
  static inline std::vector<int> iconsAsked;
  static BOOL WINAPI ScaleFrame(HWND window) { return (scaledFrame = window) != nullptr; }
  static UINT WINAPI WindowAt120(HWND) { return 120; }
  static HRESULT WINAPI MonitorAt168(HMONITOR monitor, MONITOR_DPI_TYPE type, UINT* x, UINT* y) {
    *x = *y = 168;
    return monitor != nullptr && type == MDT_EFFECTIVE_DPI ? S_OK : E_INVALIDARG;
  }
  static HRESULT WINAPI MonitorFails(HMONITOR, MONITOR_DPI_TYPE, UINT* x, UINT* y) {
    *x = *y = 168;  // what a failed call leaves is no answer
    return E_FAIL;
  }
  static HRESULT WINAPI RefuseToScaleDown(HINSTANCE, PCWSTR, int cx, int cy, HICON*) {
    iconsAsked.push_back(cx == cy ? cx : -1);
    return E_FAIL;
  }
};

TEST_F(MainWindowTest, ShowsTheDefaultsTheMenusAndTheFrame) {
  EXPECT_EQ(::GetFocus(), Control(kDtpEventDate));
  EXPECT_EQ(::SendMessageW(Control(kCboUpdate), CB_GETCOUNT, 0, 0), 8);
  EXPECT_EQ(Text(kCboUpdate), L"Every 30 Seconds");
  EXPECT_EQ(WindowText(Window()), L"Daymarker v1.03");
  EXPECT_EQ(StatusLine(), kReached) << "the start-up moment is not ahead of itself";
  // The defaults reached the setting variables through the controls' handlers
  // (the options shown are checked with the saved ones at start-up); the
  // position is the one a tick records. 1,781,083,800 seconds is the start's
  // 2026-06-10 09:30, the date of one picker at the time of the other.
  ::SetWindowPos(Window(), nullptr, 96, 48, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  Tick();
  EXPECT_EQ(settings_, (SettingValues{1440, 720, 1'781'083'800, L"Enter event here...", 4, 3, 0}));

  HMENU bar = ::GetMenu(Window());
  EXPECT_EQ(::GetMenuItemCount(bar), 2);
  EXPECT_EQ(MenuItemText(bar, 0) + MenuItemText(bar, 1), L"&File&Help");
  EXPECT_EQ(MenuItemText(::GetSubMenu(bar, 0), 0), L"E&xit\tAlt+F4");
  EXPECT_EQ(MenuItemText(::GetSubMenu(bar, 1), 0), L"&About...\tF1");
  const LONG_PTR style = ::GetWindowLongPtrW(Window(), GWL_STYLE);
  EXPECT_EQ(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME), WS_MINIMIZEBOX);
  // The pointer over the window is the arrow; the window's own face is the buttons'.
  EXPECT_EQ(std::pair(::GetClassLongPtrW(Window(), GCLP_HCURSOR),
                      ::GetClassLongPtrW(Window(), GCLP_HBRBACKGROUND)),
            std::pair(reinterpret_cast<ULONG_PTR>(::LoadCursorW(nullptr, IDC_ARROW)),
                      ULONG_PTR{COLOR_BTNFACE + 1}));
  // The read-only status line and the name box, disabled once the moment is
  // reached, sit on that face too, the disabled one's text greyed.
  const ScopedHandle<HDC, &::DeleteDC> dc(::CreateCompatibleDC(nullptr));
  for (const auto& [id, text] :
       {std::pair{kTxtTimeLeft, COLOR_WINDOWTEXT}, {kTxtEvent, COLOR_GRAYTEXT}}) {
    const LRESULT brush =
        ::SendMessageW(Window(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.Get()),
                       reinterpret_cast<LPARAM>(Control(id)));
    EXPECT_EQ(std::tuple(brush, ::GetBkColor(dc.Get()), ::GetTextColor(dc.Get())),
              std::tuple(reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE)),
                         ::GetSysColor(COLOR_BTNFACE), ::GetSysColor(text)))
        << id;
  }
}

TEST_F(MainWindowTest, LaysTheControlsOutAsDesignedAtEveryDpi) {
  // Every control, from the client area's corner: a control in a group box is
  // placed from the box, and all are children of the window itself. Its edges
  // in pixels at 96 DPI, as the window starts; at 144, where halves round up,
  // the font's 16.5 pixels too; and at 1440, where a pixel is a twip and no slip
  // of the layout hides in the rounding: every place is a whole number of
  // pixels at 96. All write in Tahoma 8.25 pt, regular, Western, at the window's DPI.
  // The group boxes, the options and the check box show their captions, each
  // with its access key. The icons come at the sizes the DPI asks for: shrunk
  // from a larger image where the common controls can (as at the start), else
  // as LoadImageW makes them.
  const wchar_t* const units[] = {L"(Years, Months, Days, Hours, Minutes,) &Seconds",
                                  L"(Years, Months, Days, Hours,) Mi&nutes",
                                  L"(Years, Months, Days,) &Hours", L"(Years, Months,) &Days",
                                  L"&Only display the units selected"};
  const auto controls = {
      Placed{kFraEvent, {8, 8, 329, 89}, {12, 12, 494, 134}, 'n', L"&Event:"},
      Placed{kDtpEventDate, {16, 24, 161, 45}, {24, 36, 242, 68}},
      Placed{kDtpEventTime, {176, 24, 321, 45}, {264, 36, 482, 68}},
      Placed{kTxtEvent, {16, 56, 321, 75}, {24, 84, 482, 113}},
      Placed{kFraDisplay, {8, 96, 329, 289}, {12, 144, 494, 434}, 'n', L"&Display:"},
      Placed{kOptDisplay0, {24, 120, 321, 137}, {36, 180, 482, 206}, 'n', units[0]},
      Placed{kOptDisplay0 + 1, {24, 144, 321, 161}, {36, 216, 482, 242}, 'n', units[1]},
      Placed{kOptDisplay0 + 2, {24, 168, 321, 185}, {36, 252, 482, 278}, 'n', units[2]},
      Placed{kOptDisplay0 + 3, {24, 192, 321, 209}, {36, 288, 482, 314}, 'n', units[3]},
      Placed{kOptDisplay0 + 4, {24, 216, 321, 233}, {36, 324, 482, 350}, 'n', L"(Years,) &Months"},
      Placed{kOptDisplay0 + 5, {24, 240, 321, 257}, {36, 360, 482, 386}, 'n', L"&Years"},
      Placed{kChkOnlyUnits, {40, 264, 321, 281}, {60, 396, 482, 422}, 'n', units[4]},
      Placed{kFraTimeLeft, {8, 296, 329, 341}, {12, 444, 494, 512}, 'n', L"&Time Left:"},
      Placed{kTxtTimeLeft, {16, 312, 321, 331}, {24, 468, 482, 497}},
      Placed{kFraUpdate, {8, 344, 329, 393}, {12, 516, 494, 590}, 'n', L"&Update:"},
      Placed{kCboUpdate, {16, 360, 321, 0}, {24, 540, 482, 0}},
  };
  // The client area at the start only: Wine's menu bar keeps its height at another DPI.
  RECT rect;
  ::GetClientRect(Window(), &rect);
  EXPECT_EQ(EdgesOf(rect), (Edges{0, 0, 337, 401}));
  const std::tuple<UINT, LONG, system_functions::LoadIconWithScaleDown::Type> dpis[] = {
      {96, -11, nullptr}, {144, -17, Answers::RefuseToScaleDown}, {1440, -165, nullptr}};
  for (const auto& [dpi, fontHeight, loadIcon] : dpis) {
    const system_functions::LoadIconWithScaleDown::StandIn loader(loadIcon);
    if (dpi != WindowDpi(Window())) {
      ChangeDpi(Window(), dpi);
    }
    ::UpdateWindow(Window());
    // The Event box's edge at 96 DPI lies inside the box at 144, where the window paints it over.
    const HDC dc = ::GetDC(Window());
    EXPECT_EQ(::GetPixel(dc, 18, 88) == ::GetSysColor(COLOR_BTNFACE), dpi != 96) << dpi;
    ::ReleaseDC(Window(), dc);
    EXPECT_EQ(std::pair(IconWidth(Window(), ICON_BIG), IconWidth(Window(), ICON_SMALL)),
              std::pair(::MulDiv(32, dpi, 96), ::MulDiv(16, dpi, 96)));
    // No control has a frame or an edge of its own beyond the one its kind draws.
    ExpectPlaced(Window(), dpi, fontHeight, WS_EX_DLGMODALFRAME | WS_EX_STATICEDGE, controls);
  }
  EXPECT_EQ(Answers::iconsAsked, (std::vector<int>{48, 24}));
  // Back at a lower DPI, the whole window is painted afresh.
  ::UpdateWindow(Window());
  ChangeDpi(Window(), 96);
  ::GetUpdateRect(Window(), &rect, FALSE);
  EXPECT_EQ(EdgesOf(rect), (Edges{0, 0, 337, 401}));
  EXPECT_EQ(::GetWindowLongPtrW(Control(kCboUpdate), GWL_STYLE) & 3, CBS_DROPDOWNLIST);
  EXPECT_TRUE(::GetWindowLongPtrW(Control(kTxtTimeLeft), GWL_STYLE) & ES_READONLY);
}

TEST_F(MainWindowTest, ScalesItsFrameWithTheDpiOfTheWindowElseOfItsMonitorElseOfTheScreen) {
  // The frame asks to scale with the DPI as it is made. The DPI is the window's
  // where Windows knows it; else (Windows 8.1) its monitor's; else the screen's
  // (with neither function, as ScreenDpi.IsReadAtAnyDpi checks).
  using namespace system_functions;
  const EnableNonClientDpiScaling::StandIn scaling(Answers::ScaleFrame);
  Restart();
  EXPECT_EQ(Answers::scaledFrame, Window());
  const std::tuple<GetDpiForWindow::Type, GetDpiForMonitor::Type, UINT> rows[] = {
      {Answers::WindowAt120, Answers::MonitorAt168, 120},
      {nullptr, Answers::MonitorAt168, 168},
      {nullptr, Answers::MonitorFails, 96}};  // the test session's screen
  for (const auto& [forWindow, forMonitor, dpi] : rows) {
    const GetDpiForWindow::StandIn window(forWindow);
    const GetDpiForMonitor::StandIn monitor(forMonitor);
    EXPECT_EQ(WindowDpi(Window()), dpi);
  }
}

TEST_F(MainWindowTest, EditsShowAtOnceAndRebuildsKeepTheSelectionOfTheFocusedStatusLine) {
  // The phrase is the core's; here each edit reaches it at once.
  Click(kOptDisplay0);  // level 1, seconds
  PickSecondsAhead(90'061);
  ::SetWindowTextW(Control(kTxtEvent), L"");
  EXPECT_EQ(StatusLine(), L" - 1 day, 1 hour, 1 minute, 1 second");
  ::SetWindowTextW(Control(kTxtEvent), L"Праздник 🎉");
  Click(kOptDisplay0 + 2);
  Click(kChkOnlyUnits);
  EXPECT_EQ(settings_.OnlyUnitsFlag, 1);
  EXPECT_EQ(StatusLine(), L"Праздник 🎉 - 25 hours");
  Click(kChkOnlyUnits);
  EXPECT_EQ(settings_.OnlyUnitsFlag, 2);
  for (int option = 0; option < kOptDisplayCount; ++option) {
    Click(kOptDisplay0 + option);
    EXPECT_EQ(settings_.DisplayLevel, option + 1);
  }
  EXPECT_EQ(StatusLine(), L"Праздник 🎉 - ") << "no whole year left";

  PickSecondsAhead(0);
  EXPECT_EQ(StatusLine(), kReached) << "the present second is not ahead";

  // The user can read a long line to its end, and select and copy it, while it refreshes.
  Click(kOptDisplay0);
  PickSecondsAhead(90'050);
  ::SetWindowTextW(Control(kTxtEvent), std::wstring(200, L'x').c_str());
  ChooseUpdate(0);  // "Every Second"
  HWND status = Control(kTxtTimeLeft);
  ::SetFocus(status);
  const auto end = static_cast<DWORD>(StatusLine().size());
  ::SendMessageW(status, EM_SETSEL, end - 8, end);
  Tick();
  EXPECT_EQ(StatusLine(), std::wstring(200, L'x') + L" - 1 day, 1 hour, 49 seconds");
  EXPECT_EQ(Selection(kTxtTimeLeft), std::pair(end - 8, end)) << "as long as before";
  EXPECT_GT(::SendMessageW(status, EM_GETFIRSTVISIBLELINE, 0, 0), 100) << "scrolled to the end";
}

TEST_F(MainWindowTest, KeysRebuildFocusSelectsTheWholeNameAndTabAndAccessKeysMoveInOrder) {
  PickSecondsAhead(3600);  // the name box takes part in the tab order only while enabled
  const std::wstring name(32'767, L'x');  // an edit box's default limit (Wine's: 30,000)
  ::SetWindowTextW(Control(kTxtEvent), name.c_str());
  // Enter and Esc change nothing in the box; the key itself still rebuilds the
  // line, through the message loop, which has no dialog buttons to give them to.
  for (const WPARAM key : {VK_RETURN, VK_ESCAPE}) {
    settings_.EventName = L"stale";
    ::PostMessageW(Control(kTxtEvent), WM_KEYDOWN, key, 0);
    PumpMessages();
    EXPECT_TRUE(settings_.EventName == name) << key;  // not printed: 32,767 characters
  }
  // A typed character goes in past that: the box has no length limit of its own.
  // It comes through the message loop's key handling, once.
  ::SendMessageW(Control(kTxtEvent), EM_SETSEL, 32'767, 32'767);
  ::PostMessageW(Control(kTxtEvent), WM_CHAR, L'!', 0);
  PumpMessages();
  EXPECT_EQ(Text(kTxtEvent).substr(32'765), L"xx!");

  // Coming back from another window, the focus returns to the name, all
  // selected, whatever was selected while it was away.
  ::SetFocus(Control(kTxtEvent));
  HWND other = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr,
                                 nullptr, nullptr, nullptr);
  ::SetActiveWindow(other);
  ::SendMessageW(Control(kTxtEvent), EM_SETSEL, 1, 2);
  ::DestroyWindow(other);  // which gives the activation back
  EXPECT_EQ(::GetFocus(), Control(kTxtEvent));
  EXPECT_EQ(Selection(kTxtEvent), std::pair(0ul, 32'768ul));

  // Through the real message loop, as the keyboard sends them: the access key
  // of a group box moves the focus to the first control inside it ("&Display:"
  // comes before "(Years, Months,) &Days" from the time picker). Tab visits
  // the controls in order, landing on the selected option.
  const std::tuple<wchar_t, int, int> cases[] = {{L'e', kCboUpdate, kDtpEventDate},
                                                 {L't', kDtpEventDate, kTxtTimeLeft},
                                                 {L'u', kDtpEventDate, kCboUpdate},
                                                 {L'd', kDtpEventTime, kOptDisplay0 + 3}};
  for (const auto& [key, from, to] : cases) {
    ::SetFocus(Control(from));
    ::PostMessageW(::GetFocus(), WM_SYSCHAR, key, 1 << 29);  // bit 29: Alt is down
    EXPECT_TRUE(PumpUntil([&] { return ::GetFocus() == Control(to); }, 1s))
        << static_cast<char>(key) << " left the focus on " << ::GetDlgCtrlID(::GetFocus());
  }
  const int order[] = {kDtpEventTime, kTxtEvent,  kOptDisplay0 + 3, kChkOnlyUnits,
                       kTxtTimeLeft,  kCboUpdate, kDtpEventDate};
  HWND current = Control(kDtpEventDate);
  for (int id : order) {
    current = ::GetNextDlgTabItem(Window(), current, FALSE);
    EXPECT_EQ(::GetDlgCtrlID(current), id);
  }
  // A disabled name box is skipped.
  Click(kOptDisplay0 + 1);
  PickSecondsAhead(-60);
  EXPECT_EQ(::GetDlgCtrlID(::GetNextDlgTabItem(Window(), Control(kDtpEventTime), FALSE)),
            kOptDisplay0 + 1);
}

// The target is one picker's date at the other's time, saved as wall-clock
// seconds with no zone, never wrapping or going below zero. The line counts real
// seconds: in Berlin daylight saving starts at 02:00 on 28 March 2027, a day of
// 23 hours, and ends on 31 October, a day of 25.
TEST_F(MainWindowTest, TargetIsSavedAsWallClockSecondsAndCountedInRealOnes) {
  TIME_ZONE_INFORMATION zone;
  ::GetTimeZoneInformation(&zone);
  ASSERT_EQ(zone.Bias * 100 + zone.DaylightBias, -6060) << "needs TZ=Europe/Berlin";
  Click(kOptDisplay0);
  // The saved seconds and the line after the clock and the pickers are set.
  const auto pick = [this](const CivilDateTime& now, const CivilDateTime& date,
                           const CivilDateTime& time) {
    clock_.SetLocal(now);
    PickDateTime(kDtpEventTime, time);
    PickDateTime(kDtpEventDate, date);  // last, so that its own change must show
    return std::pair(settings_.EventSeconds, StatusLine());
  };
  const CivilDateTime start = {2026, 6, 10, 9, 30, 0};
  EXPECT_EQ(pick(start, {2026, 6, 11, 23, 59, 59}, {1999, 1, 1, 9, 30, 5}),
            std::pair(1'781'170'205, L"Enter event here... - 1 day, 5 seconds"s));
  const auto last = pick(start, {2038, 1, 18, 0, 0, 0}, {2038, 1, 18, 23, 59, 59});
  EXPECT_EQ(last, std::pair(2'147'471'999,
                            L"Enter event here... - 12 years, 7 months, "
                            L"12 days, 15 hours, 29 minutes, 59 seconds"s));
  EXPECT_EQ(pick(start, {2038, 1, 19, 0, 0, 0}, {2038, 1, 18, 23, 59, 59}), last)
      << "the date picker refuses a day past its last";
  // Its range starts at the earliest moment a FILETIME holds, read back as Wine's calendar
  // offers no day of 1601 to pick.
  SYSTEMTIME range[2] = {};
  ::SendMessageW(Control(kDtpEventDate), DTM_GETRANGE, 0, reinterpret_cast<LPARAM>(range));
  EXPECT_EQ(CivilFromSystemTime(range[0]), (CivilDateTime{1601, 1, 1, 0, 0, 0}));
  EXPECT_EQ(pick(start, {1900, 1, 1, 0, 0, 0}, {1900, 1, 1, 0, 0, 0}), std::pair(0, kReached));
  EXPECT_EQ(pick({2027, 3, 27, 12, 0, 0}, {2027, 3, 28, 0, 0, 0}, {2027, 3, 28, 12, 0, 0}),
            std::pair(1'806'235'200, L"Enter event here... - 23 hours, "s));
  EXPECT_EQ(pick({2027, 10, 30, 12, 0, 0}, {2027, 10, 31, 0, 0, 0}, {2027, 10, 31, 12, 0, 0}),
            std::pair(1'824'984'000, L"Enter event here... - 1 day, 1 hour, "s));

  // A target before the zone rules' first moment (00:30 on 1 January 1601 in
  // Berlin is still 1600 in UTC) counts with the present offset, two hours in June.
  // The pickers and the zone rules are handed each date with its day of the week.
  EXPECT_EQ(SystemTimeFromCivil({1601, 1, 1, 0, 30, 0}).wDayOfWeek, 1) << "a Monday";
  clock_.SetLocal(start);  // 07:30 UTC, 1,781,076,600 s after 1970
  EXPECT_EQ(SecondsUntil({1601, 1, 1, 0, 30, 0}),
            -11'644'473'600LL + 1800 - 7200 - 1'781'076'600LL);
}

// Once per interval, the start's own tick counted, and at once after a
// choice, a clock change or a resume; at "Every Second" by itself too.
TEST_F(MainWindowTest, RebuildsOncePerIntervalAndAtOnceAfterAChange) {
  PutDword(L"Display", 1);
  PutDword(L"DateNTime", 1'781'084'800);  // 1000 seconds ahead; "Every 30 Seconds" stays
  Restart();
  for (int tick = 1; tick <= 30; ++tick) {
    const std::wstring before = StatusLine();
    Tick();
    EXPECT_EQ(StatusLine() != before, tick == 29) << "rebuilt at tick " << tick;
  }
  clock_.Advance(-3600);  // the user set the clock back an hour
  ::SendMessageW(Window(), WM_TIMECHANGE, 0, 0);
  EXPECT_EQ(StatusLine(), L"Enter event here... - 1 hour, 16 minutes, 10 seconds");

  Tick();
  for (const int position : {-1, 0}) {  // -1: no entry chosen
    ChooseUpdate(position);
    EXPECT_EQ(settings_.UpdateIndex, position + 1);
  }
  EXPECT_EQ(StatusLine(), L"Enter event here... - 1 hour, 16 minutes, 9 seconds");
  // Of the power events only a resume, of either kind, rebuilds at once; the
  // list's other notices rebuild nothing.
  clock_.Advance(60);
  ::SendMessageW(Window(), WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE, 0);
  for (const int notice : {CBN_DROPDOWN, CBN_CLOSEUP, CBN_SETFOCUS}) {
    ::SendMessageW(Window(), WM_COMMAND, MAKEWPARAM(kCboUpdate, static_cast<WORD>(notice)),
                   reinterpret_cast<LPARAM>(Control(kCboUpdate)));
  }
  EXPECT_EQ(StatusLine(), L"Enter event here... - 1 hour, 16 minutes, 9 seconds");
  ::SendMessageW(Window(), WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0);
  EXPECT_EQ(StatusLine(), L"Enter event here... - 1 hour, 15 minutes, 9 seconds");
  clock_.Advance(7200);
  ::SendMessageW(Window(), WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
  EXPECT_EQ(StatusLine(), kReached);

  // The real timer through the program's loop, for 4.5 s from before the timer
  // starts: a period of 1000 ms ticks 4 times, one tick lost or gained on a
  // loaded machine still fits, while 2000 ms ticks twice and no timer never.
  // Each tick the loop takes moves the clock on a second first.
  static int ticks = 0;
  PutDword(L"Update", 1);
  clock_.SetLocal({2026, 6, 10, 9, 30, 0});
  const UINT_PTR end = ::SetTimer(
      nullptr, 0, 4500, [](HWND, UINT, UINT_PTR, DWORD) CALLBACK { ::PostQuitMessage(7); });
  Restart();
  const auto count = [](int code, WPARAM removed, LPARAM lParam) CALLBACK {
    const MSG& message = *reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && removed == PM_REMOVE &&
        message.hwnd == ::FindWindowW(L"DaymarkerMainWindow", nullptr) &&
        message.message == WM_TIMER && message.wParam == kTimerId) {
      ++ticks;
      FakeClock::Advance(1);
    }
    return ::CallNextHookEx(nullptr, code, removed, lParam);
  };
  const HHOOK hook = ::SetWindowsHookExW(WH_GETMESSAGE, count, nullptr, ::GetCurrentThreadId());
  // The loop also takes a key for a window the program did not register to
  // it, made a character.
  const HWND other = ::CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                       nullptr, nullptr);
  const UINT scanCode = ::MapVirtualKeyW('K', MAPVK_VK_TO_VSC);
  ::PostMessageW(other, WM_KEYDOWN, 'K', static_cast<LPARAM>(scanCode << 16 | 1));
  EXPECT_EQ(RunMessageLoop(), 7) << "the quit's code";
  EXPECT_EQ(WindowText(other), L"k");
  ::DestroyWindow(other);
  ::UnhookWindowsHookEx(hook);
  ::KillTimer(nullptr, end);
  EXPECT_TRUE(ticks >= 3 && ticks <= 6) << ticks;
  EXPECT_EQ(StatusLine(),
            L"Enter event here... - 16 minutes, " + std::to_wstring(40 - ticks) + L" seconds");
}

// What a screen reader says for the controls that have no text of their own.

// The name the system's accessibility layer gives a window, as a screen reader asks for it.
std::wstring AccessibleName(HWND window) {
  IAccessible* accessible = nullptr;
  if (FAILED(::AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT),
                                          IID_PPV_ARGS(&accessible)))) {
    return L"(no accessible object)";
  }
  VARIANT self{{{VT_I4}}};  // its lVal 0: CHILDID_SELF
  BSTR name = nullptr;
  const std::wstring text =
      accessible->get_accName(self, &name) == S_OK && name != nullptr ? name : L"(no name)";
  ::SysFreeString(name);
  accessible->Release();
  return text;
}

// The annotation service as Windows runs it, down to what the program asks of
// it: the name each window was given, taken back by a one-name clear. Wine's
// is a stub that names nothing.
class Annotations final : public IAccPropServices {
 public:
  static inline Annotations* service = nullptr;
  static HRESULT WINAPI Create(REFCLSID type, IUnknown*, DWORD, REFIID of, void** object) {
    *object = type == CLSID_AccPropServices && of == IID_IAccPropServices ? service : nullptr;
    return *object != nullptr ? (service->AddRef(), S_OK) : E_NOINTERFACE;
  }
  std::map<HWND, std::wstring> names;
  ULONG given = 0, references = 0;  // names given; references held

  HRESULT STDMETHODCALLTYPE SetHwndPropStr(HWND window, DWORD object, DWORD child, MSAAPROPID id,
                                           LPCWSTR text) override {
    ++given;
    const bool name = object == static_cast<DWORD>(OBJID_CLIENT) && child == CHILDID_SELF &&
                      id == PROPID_ACC_NAME;
    return name ? (names[window] = text, S_OK) : E_INVALIDARG;
  }
  HRESULT STDMETHODCALLTYPE ClearHwndProps(HWND window, DWORD object, DWORD child,
                                           const MSAAPROPID* ids, int count) override {
    const bool name = object == static_cast<DWORD>(OBJID_CLIENT) && child == CHILDID_SELF &&
                      count == 1 && ids[0] == PROPID_ACC_NAME;
    return name && names.erase(window) == 1 ? S_OK : E_INVALIDARG;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
  ULONG STDMETHODCALLTYPE Release() override { return --references; }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
  // clang-format off
#define NOT_ASKED(m, ...) HRESULT STDMETHODCALLTYPE m(__VA_ARGS__) override { return E_NOTIMPL; }
  // clang-format on
  NOT_ASKED(SetPropValue, const BYTE*, DWORD, MSAAPROPID, VARIANT)
  NOT_ASKED(SetPropServer, const BYTE*, DWORD, const MSAAPROPID*, int, IAccPropServer*, AnnoScope)
  NOT_ASKED(ClearProps, const BYTE*, DWORD, const MSAAPROPID*, int)
  NOT_ASKED(SetHwndProp, HWND, DWORD, DWORD, MSAAPROPID, VARIANT)
  NOT_ASKED(SetHwndPropServer, HWND, DWORD, DWORD, const MSAAPROPID*, int, IAccPropServer*,
            AnnoScope)
  NOT_ASKED(ComposeHwndIdentityString, HWND, DWORD, DWORD, BYTE**, DWORD*)
  NOT_ASKED(DecomposeHwndIdentityString, const BYTE*, DWORD, HWND*, DWORD*, DWORD*)
  NOT_ASKED(SetHmenuProp, HMENU, DWORD, MSAAPROPID, VARIANT)
  NOT_ASKED(SetHmenuPropStr, HMENU, DWORD, MSAAPROPID, LPCWSTR)
  NOT_ASKED(SetHmenuPropServer, HMENU, DWORD, const MSAAPROPID*, int, IAccPropServer*, AnnoScope)
  NOT_ASKED(ClearHmenuProps, HMENU, DWORD, const MSAAPROPID*, int)
  NOT_ASKED(ComposeHmenuIdentityString, HMENU, DWORD, BYTE**, DWORD*)
  NOT_ASKED(DecomposeHmenuIdentityString, const BYTE*, DWORD, HMENU*, DWORD*)
#undef NOT_ASKED
};

// Whether this thread has COM already, from someone other than this call.
bool ThreadHasCom() {
  const HRESULT hr = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  if (SUCCEEDED(hr)) {
    ::CoUninitialize();
  }
  return hr == S_FALSE;
}

TEST_F(MainWindowTest, ControlsWithoutTextAreNamedByAHiddenLabelBeforeThem) {
  EXPECT_FALSE(ThreadHasCom()) << "nothing of COM at start-up";
  EXPECT_EQ(AccessibleName(Control(kTxtEvent)), L"Event name");
  EXPECT_EQ(AccessibleName(Control(kTxtTimeLeft)), L"Time left");
  // Wine names pickers and lists by their value; Windows reads the labels for lists, and the
  // pickers are given theirs when first asked for.
  for (const auto& [id, name] :
       {std::pair{kDtpEventDate, L"Event date"}, std::pair{kDtpEventTime, L"Event time"},
        std::pair{kTxtEvent, L"Event name"}, std::pair{kTxtTimeLeft, L"Time left"},
        std::pair{kCboUpdate, L"Update interval"}}) {
    HWND label = ::GetWindow(Control(id), GW_HWNDPREV);
    EXPECT_EQ(WindowText(label), name) << id;
    wchar_t className[64] = {};
    ::GetClassNameW(label, className, 64);
    EXPECT_STREQ(className, L"Static") << id;
    EXPECT_FALSE(::IsWindowVisible(label)) << "the window looks as it did: " << id;
  }
  // Asked twice each, as a screen reader asks: named once after the label, holding COM and
  // the service until the pickers go, which take their names back. What the reader then
  // hears is the system's to say (Wine's own service names nothing).
  Annotations service;
  Annotations::service = &service;
  const system_functions::CoCreateInstance::StandIn create(Annotations::Create);
  for (int request = 0; request < 4; ++request) {
    AccessibleName(Control(request % 2 == 0 ? kDtpEventDate : kDtpEventTime));
  }
  EXPECT_EQ(service.names, (std::map<HWND, std::wstring>{{Control(kDtpEventDate), L"Event date"},
                                                         {Control(kDtpEventTime), L"Event time"}}));
  EXPECT_EQ(service.given, 2u);
  EXPECT_TRUE(ThreadHasCom());
  window_.reset();
  EXPECT_FALSE(ThreadHasCom()) << "COM let go with the pickers, as often as it was taken";
  EXPECT_TRUE(service.names.empty()) << "names taken back";
  EXPECT_EQ(service.references, 0u);
}

// Windows 7 gives no window or monitor a DPI of its own: each window takes the
// screen's, as here without the functions that ask for theirs. Wine reads the
// screen's DPI as a program starts, so a copy of this one started at 144 reports that.
TEST(ScreenDpi, IsReadAtAnyDpi) {
  if (std::wstring_view(::GetCommandLineW()).ends_with(L" report-dpi")) {
    const system_functions::GetDpiForWindow::StandIn noWindowDpi(nullptr);
    const system_functions::GetDpiForMonitor::StandIn noMonitorDpi(nullptr);
    ::ExitProcess(WindowDpi(::GetDesktopWindow()));
  }
  constexpr wchar_t kDesktop[] = L"Control Panel\\Desktop";
  const std::optional<RawValue> was = ReadValue(HKEY_CURRENT_USER, kDesktop, L"LogPixels");
  ASSERT_TRUE(Plant(HKEY_CURRENT_USER, kDesktop, L"LogPixels", REG_DWORD, DwordBytes(144)));
  const DWORD reported = ExitCodeOf(BesideThisProgram(L"main_window_tests.exe"),
                                    L"--gtest_filter=ScreenDpi.* report-dpi");
  ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kDesktop, L"LogPixels");
  if (was) {
    Plant(HKEY_CURRENT_USER, kDesktop, L"LogPixels", was->type, was->bytes);
  }
  EXPECT_EQ(reported, 144u);
}

// A window whose frame or any control cannot be made does not start.
TEST(TopLevelWindow, ControlsThatCannotBeMadeLeaveNoWindow) {
  const HHOOK hook = ::SetWindowsHookExW(WH_CBT, RefuseClass, nullptr, ::GetCurrentThreadId());
  for (const wchar_t* refusedClass : {L"DaymarkerMainWindow", L"ComboBox"}) {
    g_refusedClass = refusedClass;
    SettingValues settings;
    OwnedWindow<MainWindow> window(::GetModuleHandleW(nullptr), settings);
    EXPECT_FALSE(window.Create()) << refusedClass;
    EXPECT_EQ(::FindWindowW(L"DaymarkerMainWindow", nullptr), nullptr);
  }
  ::UnhookWindowsHookEx(hook);
}

}  // namespace
}  // namespace daymarker::testing
