#include "ui/main/main_window.h"

#include <commctrl.h>
#include <windowsx.h>

#include <array>

#include "core/calendar.h"
#include "core/refresh_cycle.h"
#include "core/time_left.h"
#include "core/version.h"
#include "resources/resource.h"
#include "settings/settings_store.h"
#include "ui/control_layout.h"
#include "ui/dpi.h"
#include "ui/main/main_window_ids.h"
#include "ui/message_loop.h"
#include "ui/window_class.h"

namespace daymarker {
namespace {

using namespace main_ids;

constexpr wchar_t kWindowClass[] = L"DaymarkerMainWindow";
constexpr wchar_t kTrayWindowClass[] = L"DaymarkerTrayOwner";
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kWindowExStyle = 0;
constexpr int kClientWidthTwips = 5055;
constexpr int kClientHeightTwips = 6015;
constexpr UINT_PTR kEventBoxSubclass = 1;

constexpr wchar_t kDefaultEventName[] = L"Enter event here...";
constexpr wchar_t kReachedSuffix[] = L" - DISABLED";
constexpr wchar_t kHideCaption[] = L"&Hide";
constexpr wchar_t kShowCaption[] = L"S&how";
constexpr int kTrayHideShow = 0;
constexpr int kTrayExit = 2;

constexpr DWORD kGroupBox = BS_GROUPBOX;
constexpr DWORD kRadio = BS_AUTORADIOBUTTON;
constexpr DWORD kEditBox = ES_AUTOHSCROLL | WS_TABSTOP;

// Rows are in tab order; positions inside a group box are measured from it.
constexpr int kRowFraEvent = 0;
constexpr int kRowFraDisplay = 4;
constexpr int kRowFraTimeLeft = 12;
constexpr int kRowFraUpdate = 14;
constexpr std::array<ControlSpec, 16> kLayout = {{
    {kFraEvent, WC_BUTTONW, L"&Event:", kGroupBox, 0, kNoContainer, 120, 120, 4815, 1215},
    {kDtpEventDate, DATETIMEPICK_CLASSW, L"", DTS_SHORTDATEFORMAT | WS_TABSTOP | WS_GROUP, 0,
     kRowFraEvent, 120, 240, 2175, 315},
    {kDtpEventTime, DATETIMEPICK_CLASSW, L"", DTS_TIMEFORMAT | DTS_UPDOWN | WS_TABSTOP, 0,
     kRowFraEvent, 2520, 240, 2175, 315},
    {kTxtEvent, WC_EDITW, L"", kEditBox, WS_EX_CLIENTEDGE, kRowFraEvent, 120, 720, 4575, 285},
    {kFraDisplay, WC_BUTTONW, L"&Display:", kGroupBox, 0, kNoContainer, 120, 1440, 4815, 2895},
    {kOptDisplay0 + 0, WC_BUTTONW, L"(Years, Months, Days, Hours, Minutes,) &Seconds",
     kRadio | WS_GROUP | WS_TABSTOP, 0, kRowFraDisplay, 240, 360, 4455, 255},
    {kOptDisplay0 + 1, WC_BUTTONW, L"(Years, Months, Days, Hours,) Mi&nutes", kRadio, 0,
     kRowFraDisplay, 240, 720, 4455, 255},
    {kOptDisplay0 + 2, WC_BUTTONW, L"(Years, Months, Days,) &Hours", kRadio, 0, kRowFraDisplay, 240,
     1080, 4455, 255},
    {kOptDisplay0 + 3, WC_BUTTONW, L"(Years, Months,) &Days", kRadio, 0, kRowFraDisplay, 240, 1440,
     4455, 255},
    {kOptDisplay0 + 4, WC_BUTTONW, L"(Years,) &Months", kRadio, 0, kRowFraDisplay, 240, 1800, 4455,
     255},
    {kOptDisplay0 + 5, WC_BUTTONW, L"&Years", kRadio, 0, kRowFraDisplay, 240, 2160, 4455, 255},
    {kChkOnlyUnits, WC_BUTTONW, L"&Only display the units selected",
     BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP, 0, kRowFraDisplay, 480, 2520, 4215, 255},
    {kFraTimeLeft, WC_BUTTONW, L"&Time Left:", kGroupBox, 0, kNoContainer, 120, 4440, 4815, 675},
    {kTxtTimeLeft, WC_EDITW, L"", kEditBox | ES_READONLY | WS_GROUP, WS_EX_CLIENTEDGE,
     kRowFraTimeLeft, 120, 240, 4575, 285},
    {kFraUpdate, WC_BUTTONW, L"&Update:", kGroupBox, 0, kNoContainer, 120, 5160, 4815, 735},
    {kCboUpdate, WC_COMBOBOXW, L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP, 0,
     kRowFraUpdate, 120, 240, 4575, 315},
}};

HMENU BuildMenuBar() {
  HMENU bar = ::CreateMenu();
  HMENU file = ::CreatePopupMenu();
  ::AppendMenuW(file, MF_STRING, IDM_FILE_BASE, L"E&xit");
  HMENU help = ::CreatePopupMenu();
  ::AppendMenuW(help, MF_STRING, IDM_HELP_BASE, L"&About...\tF1");
  ::AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
  ::AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(help), L"&Help");
  return bar;
}

// The notification-area icon's menu; it is never part of the menu bar.
HMENU BuildTrayMenu() {
  HMENU menu = ::CreatePopupMenu();
  ::AppendMenuW(menu, MF_STRING, IDM_TRAY_BASE + kTrayHideShow, kHideCaption);
  ::AppendMenuW(menu, MF_SEPARATOR, IDM_TRAY_BASE + 1, nullptr);
  ::AppendMenuW(menu, MF_STRING, IDM_TRAY_BASE + kTrayExit, L"E&xit");
  return menu;
}

}  // namespace

MainWindow::MainWindow(HINSTANCE instance, SettingValues& settings, const Clock& clock)
    : instance_(instance), settings_(settings), clock_(clock) {}

MainWindow::~MainWindow() {
  if (window_ != nullptr) {
    ::DestroyWindow(window_);
  }
}

RECT MainWindow::FrameRect(UINT dpi) const {
  RECT frame{0, 0, TwipsToPixels(kClientWidthTwips, dpi), TwipsToPixels(kClientHeightTwips, dpi)};
  AdjustWindowRectForDpi(&frame, kWindowStyle, TRUE, kWindowExStyle, dpi);
  return frame;
}

void MainWindow::LoadIcons() {
  const auto load = [this](int metric, int metricY) {
    return static_cast<HICON>(::LoadImageW(instance_, MAKEINTRESOURCEW(IDI_DAYMARKER), IMAGE_ICON,
                                           SystemMetricForDpi(metric, dpi_),
                                           SystemMetricForDpi(metricY, dpi_), LR_DEFAULTCOLOR));
  };
  largeIcon_.Reset(load(SM_CXICON, SM_CYICON));
  smallIcon_.Reset(load(SM_CXSMICON, SM_CYSMICON));
  // The notification area shows small icons; loading that size avoids a blurry scale-down.
  trayIcon_.Reset(load(SM_CXSMICON, SM_CYSMICON));
  ::SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(largeIcon_.Get()));
  ::SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.Get()));
}

bool MainWindow::Create() {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_DATE_CLASSES | ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&controls);
  if (!RegisterWindowClass(instance_, kWindowClass, WindowProc) ||
      !RegisterWindowClass(instance_, kTrayWindowClass, TrayWindowProc)) {
    return false;
  }
  dpi_ = WindowDpi(nullptr);
  const RECT frame = FrameRect(dpi_);
  ::CreateWindowExW(kWindowExStyle, kWindowClass, L"", kWindowStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                    frame.right - frame.left, frame.bottom - frame.top, nullptr, BuildMenuBar(),
                    instance_, this);
  if (window_ == nullptr) {
    return false;
  }
  Form_Load();
  return true;
}

void MainWindow::Show(int showCommand) {
  ::ShowWindow(window_, showCommand);
  ::SetFocus(Control(kDtpEventDate));
}

LRESULT CALLBACK MainWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = WindowObject<MainWindow>(window, message, lParam);
  if (self == nullptr) {
    return ::DefWindowProcW(window, message, wParam, lParam);
  }
  if (message == WM_NCCREATE) {
    self->window_ = window;
  } else if (message == WM_NCDESTROY) {
    self->window_ = nullptr;
    return ::DefWindowProcW(window, message, wParam, lParam);
  }
  return self->HandleMessage(message, wParam, lParam);
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      return OnCreate() ? 0 : -1;
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_NOTIFY:
      OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
      return 0;
    case WM_TIMER:
      if (wParam == kTimerId) {
        tmrTimer_Timer();
      }
      return 0;
    case WM_SIZE:
      Form_Resize();
      return 0;
    case WM_CTLCOLORSTATIC:
      return OnCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_ACTIVATE:
      OnActivate(wParam);
      return ::DefWindowProcW(window_, message, wParam, lParam);
    case WM_SETFOCUS:
      OnSetFocus();
      return 0;
    case WM_DPICHANGED:
      OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_TIMECHANGE:
      RefreshNow();
      return 0;
    case WM_POWERBROADCAST:
      if (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND) {
        RefreshNow();
      }
      return TRUE;
    case WM_CLOSE:
      Unload();
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      // At log-off a window is not destroyed for us: save now, the process ends after this.
      if (wParam != FALSE) {
        Unload();
      }
      return 0;
    case WM_DESTROY:
      OnDestroy();
      return 0;
    default:
      return ::DefWindowProcW(window_, message, wParam, lParam);
  }
}

bool MainWindow::OnCreate() {
  const UINT dpi = WindowDpi(window_);
  if (dpi != dpi_) {
    dpi_ = dpi;
    const RECT frame = FrameRect(dpi_);
    ::SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  font_.Reset(CreateTahomaFont(dpi_));
  if (!CreateControls(window_, kLayout, dpi_, font_.Get())) {
    return false;
  }
  ::SetWindowSubclass(Control(kTxtEvent), EventBoxProc, kEventBoxSubclass,
                      reinterpret_cast<DWORD_PTR>(this));
  // The name and the status line have no length limit of their own.
  ::SendMessageW(Control(kTxtEvent), EM_SETLIMITTEXT, 0, 0);
  ::SendMessageW(Control(kTxtTimeLeft), EM_SETLIMITTEXT, 0, 0);
  std::array<SYSTEMTIME, 2> range = {SystemTimeFromCivil(kEarliestEventDate),
                                     SystemTimeFromCivil(kLatestEventDate)};
  ::SendMessageW(Control(kDtpEventDate), DTM_SETRANGE, GDTR_MIN | GDTR_MAX,
                 reinterpret_cast<LPARAM>(range.data()));
  ::SendMessageW(Control(kCboUpdate), CB_SETMINVISIBLE,
                 static_cast<WPARAM>(kUpdateIntervals.size()), 0);
  LoadIcons();
  trayMenu_.Reset(BuildTrayMenu());
  accelerators_.Reset(::LoadAcceleratorsW(instance_, MAKEINTRESOURCEW(IDA_MAIN)));
  taskbarCreatedMessage_ = ::RegisterWindowMessageW(L"TaskbarCreated");
  trayWindow_ = ::CreateWindowExW(0, kTrayWindowClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                  instance_, this);
  RegisterTopLevelWindow(window_, accelerators_.Get());
  return trayWindow_ != nullptr;
}

// Read-only and disabled boxes, labels and buttons sit on the button-face colour.
LRESULT MainWindow::OnCtlColorStatic(HDC dc, HWND control) {
  ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
  ::SetTextColor(dc, ::GetSysColor(::IsWindowEnabled(control) ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
  return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
}

void MainWindow::OnSetFocus() {
  if (focusOnDeactivate_ != nullptr && ::IsWindow(focusOnDeactivate_) &&
      ::IsWindowEnabled(focusOnDeactivate_)) {
    ::SetFocus(focusOnDeactivate_);
  } else {
    ::SetFocus(Control(kDtpEventDate));
  }
}

void MainWindow::OnDestroy() {
  ::KillTimer(window_, kTimerId);
  if (trayWindow_ != nullptr) {
    ::DestroyWindow(trayWindow_);
    trayWindow_ = nullptr;
  }
  UnregisterTopLevelWindow(window_);
}

LRESULT CALLBACK MainWindow::TrayWindowProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
  auto* self = WindowObject<MainWindow>(window, message, lParam);
  if (self == nullptr || message == WM_NCCREATE || message == WM_NCDESTROY) {
    return ::DefWindowProcW(window, message, wParam, lParam);
  }
  return self->HandleTrayMessage(window, message, wParam, lParam);
}

LRESULT MainWindow::HandleTrayMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kTrayCallbackMessage) {
    picTray_MouseMove(LOWORD(lParam));
    return 0;
  }
  if (message == WM_COMMAND) {
    const int id = LOWORD(wParam);
    if (id >= IDM_TRAY_BASE && id <= IDM_TRAY_BASE + kTrayExit) {
      mnuTray_Click(id - IDM_TRAY_BASE);
    }
    return 0;
  }
  if (message == taskbarCreatedMessage_ && taskbarCreatedMessage_ != 0) {
    // The shell's notification area was made anew (its process restarted):
    // a hidden window would be out of reach without its icon.
    if (hiddenInTray_) {
      AddTrayIcon(kTrayIconId, Tray(), ControlText(kTxtTimeLeft));
    }
    return 0;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK MainWindow::EventBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam,
                                          UINT_PTR subclassId, DWORD_PTR refData) {
  if (message == WM_CHAR) {
    auto key = static_cast<wchar_t>(wParam);
    reinterpret_cast<MainWindow*>(refData)->txtEvent_KeyPress(key);
  } else if (message == WM_NCDESTROY) {
    ::RemoveWindowSubclass(box, EventBoxProc, subclassId);
  }
  return ::DefSubclassProc(box, message, wParam, lParam);
}

void MainWindow::OnCommand(int id, int code) {
  if (id >= kOptDisplay0 && id < kOptDisplay0 + kOptDisplayCount) {
    if (code == BN_CLICKED) {
      optDisplay_Click(id - kOptDisplay0);
    }
    return;
  }
  switch (id) {
    case kTxtEvent:
      if (code == EN_CHANGE) {
        txtEvent_Change();
      } else if (code == EN_SETFOCUS) {
        txtEvent_GotFocus();
      }
      break;
    case kChkOnlyUnits:
      if (code == BN_CLICKED) {
        chkOnlyUnits_Click();
      }
      break;
    case kCboUpdate:
      if (code == CBN_SELCHANGE) {
        cboUpdate_Click();
      } else if (code == CBN_EDITCHANGE) {
        cboUpdate_Change();
      }
      break;
    case IDM_FILE_BASE:
      mnuFile_Click(0);
      break;
    case IDM_HELP_BASE:
      mnuHelp_Click(0);
      break;
    default:
      if (id >= IDM_TRAY_BASE && id <= IDM_TRAY_BASE + kTrayExit) {
        mnuTray_Click(id - IDM_TRAY_BASE);
      }
      break;
  }
}

void MainWindow::OnNotify(const NMHDR& header) {
  if (header.code != DTN_DATETIMECHANGE) {
    return;
  }
  if (header.idFrom == kDtpEventDate) {
    dtpEventDate_Change();
  } else if (header.idFrom == kDtpEventTime) {
    dtpEventTime_Change();
  }
}

// Remembers the focused control, so that coming back to the window (WM_SETFOCUS) returns to it.
void MainWindow::OnActivate(WPARAM wParam) {
  if (LOWORD(wParam) != WA_INACTIVE) {
    return;
  }
  HWND focus = ::GetFocus();
  if (focus != nullptr && ::IsChild(window_, focus)) {
    focusOnDeactivate_ = focus;
  }
}

void MainWindow::OnDpiChanged(UINT dpi, const RECT& suggested) {
  dpi_ = dpi;
  font_.Reset(CreateTahomaFont(dpi_));
  const RECT frame = FrameRect(dpi_);
  ::SetWindowPos(window_, nullptr, suggested.left, suggested.top, frame.right - frame.left,
                 frame.bottom - frame.top, SWP_NOZORDER | SWP_NOACTIVATE);
  PlaceControls(window_, kLayout, dpi_, font_.Get());
  LoadIcons();
  if (hiddenInTray_) {
    SetTrayTip(kTrayIconId, Tray(), ControlText(kTxtTimeLeft));
  }
}

// ---------------------------------------------------------------------------
// Start-up, resize and shutdown

void MainWindow::Form_Load() {
  HWND updateList = Control(kCboUpdate);
  ::SendMessageW(updateList, CB_RESETCONTENT, 0, 0);
  for (const UpdateInterval& interval : kUpdateIntervals) {
    const std::wstring text(interval.text);
    ::SendMessageW(updateList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }

  ::SetWindowTextW(Control(kTxtEvent), kDefaultEventName);  // raises txtEvent_Change

  const SYSTEMTIME now = SystemTimeFromCivil(LocalNow(clock_));
  ::SendMessageW(Control(kDtpEventDate), DTM_SETSYSTEMTIME, GDT_VALID,
                 reinterpret_cast<LPARAM>(&now));
  const SYSTEMTIME nowAgain = SystemTimeFromCivil(LocalNow(clock_));
  ::SendMessageW(Control(kDtpEventTime), DTM_SETSYSTEMTIME, GDT_VALID,
                 reinterpret_cast<LPARAM>(&nowAgain));

  SelectDisplayOption(3);
  SelectUpdatePosition(kDefaultUpdatePosition);
  SetOnlyUnitsBox(false);

  if (LoadSettings(settings_)) {
    const int left = std::max(settings_.WindowLeft, 0);
    const int top = std::max(settings_.WindowTop, 0);
    settings_.WindowLeft = left;
    settings_.WindowTop = top;
    RECT frame;
    ::GetWindowRect(window_, &frame);
    const int x = TwipsToPixels(left, dpi_);
    const int y = TwipsToPixels(top, dpi_);
    const RECT placed{x, y, x + frame.right - frame.left, y + frame.bottom - frame.top};
    // A position saved on a monitor that is gone would open the window out of reach.
    if (::MonitorFromRect(&placed, MONITOR_DEFAULTTONULL) != nullptr) {
      ::SetWindowPos(window_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }

  if (settings_.EventSeconds > 0) {
    SetPickers(CivilFromWallSeconds(settings_.EventSeconds));
  }
  if (settings_.DisplayLevel > 0) {
    SelectDisplayOption(settings_.DisplayLevel - 1);
  }
  if (settings_.UpdateIndex > 0) {
    SelectUpdatePosition(settings_.UpdateIndex - 1);
  }
  if (settings_.OnlyUnitsFlag > 0) {
    SetOnlyUnitsBox(settings_.OnlyUnitsFlag == 1);
  }
  if (!settings_.EventName.empty()) {
    ::SetWindowTextW(Control(kTxtEvent), settings_.EventName.c_str());
  }

  HMENU fileMenu = ::GetSubMenu(::GetMenu(window_), 0);
  ::ModifyMenuW(fileMenu, IDM_FILE_BASE, MF_BYCOMMAND | MF_STRING, IDM_FILE_BASE, L"E&xit\tAlt+F4");
  // picTray's picture is trayIcon_, loaded with the window's icons.
  ::SetWindowTextW(window_, VersionCaption().c_str());
  ::SetTimer(window_, kTimerId, kTimerInterval, nullptr);
  tmrTimer_Timer();
  UpdateEventTarget();
}

void MainWindow::Form_Resize() {
  if (!::IsIconic(window_) || !TrayAvailable()) {
    return;
  }
  if (AddTrayIcon(kTrayIconId, Tray(), ControlText(kTxtTimeLeft)) == 1) {
    hiddenInTray_ = true;
    SetTrayMenuCaption(kShowCaption);
    ::ShowWindow(window_, SW_HIDE);
  }
}

void MainWindow::Form_Unload() {
  if (!::IsIconic(window_)) {
    RecordPosition();
  }
  SaveSettings(settings_);  // a failed save is not reported and never stops the close
}

void MainWindow::Unload() {
  if (unloaded_ || window_ == nullptr) {
    return;
  }
  unloaded_ = true;
  Form_Unload();
  ::DestroyWindow(window_);
}

void MainWindow::mnuFile_Click(int index) {
  if (index == 0) {
    Unload();
  }
}

void MainWindow::mnuHelp_Click(int /*index*/) {
  if (aboutHandler_) {
    aboutHandler_(window_);
  }
}

// ---------------------------------------------------------------------------
// Refresh cycle

void MainWindow::RecordPosition() {
  RECT frame;
  if (::IsIconic(window_)) {
    // A minimised window sits at a parking position; its place on screen is the restored one.
    WINDOWPLACEMENT placement{sizeof(placement)};
    ::GetWindowPlacement(window_, &placement);
    frame = placement.rcNormalPosition;
    if ((::GetWindowLongPtrW(window_, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) == 0) {
      MONITORINFO monitor{sizeof(monitor)};
      if (::GetMonitorInfoW(::MonitorFromRect(&frame, MONITOR_DEFAULTTOPRIMARY), &monitor)) {
        ::OffsetRect(&frame, monitor.rcWork.left - monitor.rcMonitor.left,
                     monitor.rcWork.top - monitor.rcMonitor.top);
      }
    }
  } else {
    ::GetWindowRect(window_, &frame);
  }
  settings_.WindowLeft = PixelsToTwips(frame.left, dpi_);
  settings_.WindowTop = PixelsToTwips(frame.top, dpi_);
}

void MainWindow::tmrTimer_Timer() {
  if (!hiddenInTray_) {
    RecordPosition();
  }
  if (!CountTick(secondsToRefresh_, settings_.UpdateIndex)) {
    return;
  }
  // The count the ahead test just made is the one the phrase shows: both read
  // the same pickers within the same tick.
  const std::int64_t secondsLeft = UpdateEventTarget();
  std::wstring line;
  if (::IsWindowEnabled(Control(kTxtEvent))) {
    const bool onlyUnits =
        ::SendMessageW(Control(kChkOnlyUnits), BM_GETCHECK, 0, 0) != BST_UNCHECKED;
    line = settings_.EventName;
    line += L" - ";
    line += TimeLeftText(secondsLeft, settings_.DisplayLevel, onlyUnits);
  } else {
    line = VersionCaption();
    line += kReachedSuffix;
  }
  ::SetWindowTextW(Control(kTxtTimeLeft), line.c_str());
  // Only an icon in the notification area shows the tip: without one the
  // shell would refuse the change anyway, after a costly round trip.
  if (hiddenInTray_) {
    SetTrayTip(kTrayIconId, Tray(), line);
  }
}

void MainWindow::RefreshNow() {
  secondsToRefresh_ = 0;
  tmrTimer_Timer();
}

std::int64_t MainWindow::UpdateEventTarget() {
  const CivilDateTime target = TargetDateTime();
  settings_.EventSeconds = EventSecondsFromWall(WallSecondsFromCivil(target));
  const std::int64_t secondsLeft = SecondsUntil(target, clock_);
  ::EnableWindow(Control(kTxtEvent), secondsLeft > 0 ? TRUE : FALSE);
  return secondsLeft;
}

void MainWindow::cboUpdate_Click() {
  const LRESULT position = ::SendMessageW(Control(kCboUpdate), CB_GETCURSEL, 0, 0);
  settings_.UpdateIndex = static_cast<std::int16_t>(position == CB_ERR ? 0 : position + 1);
  RefreshNow();
}

void MainWindow::cboUpdate_Change() {
  cboUpdate_Click();
}

// ---------------------------------------------------------------------------
// Editing

void MainWindow::txtEvent_Change() {
  settings_.EventName = ControlText(kTxtEvent);
  RefreshNow();
}

void MainWindow::txtEvent_GotFocus() {
  const int length = ::GetWindowTextLengthW(Control(kTxtEvent));
  ::SendMessageW(Control(kTxtEvent), EM_SETSEL, 0, length);
}

void MainWindow::txtEvent_KeyPress(wchar_t& /*keyAscii*/) {
  // Runs before the key reaches the box, so this rebuild still shows the old text.
  txtEvent_Change();
}

void MainWindow::dtpEventDate_Change() {
  UpdateEventTarget();
  RefreshNow();
}

void MainWindow::dtpEventTime_Change() {
  UpdateEventTarget();
  RefreshNow();
}

void MainWindow::optDisplay_Click(int index) {
  settings_.DisplayLevel = static_cast<std::int16_t>(index + 1);
  // Tab lands on the selected button of the group.
  for (int i = 0; i < kOptDisplayCount; ++i) {
    HWND option = Control(kOptDisplay0 + i);
    const LONG_PTR style = ::GetWindowLongPtrW(option, GWL_STYLE);
    ::SetWindowLongPtrW(option, GWL_STYLE, i == index ? style | WS_TABSTOP : style & ~WS_TABSTOP);
  }
  RefreshNow();
}

void MainWindow::chkOnlyUnits_Click() {
  const LRESULT state = ::SendMessageW(Control(kChkOnlyUnits), BM_GETCHECK, 0, 0);
  settings_.OnlyUnitsFlag = static_cast<std::int16_t>(state == BST_CHECKED ? 1 : 2);
  RefreshNow();
}

// ---------------------------------------------------------------------------
// Control values

std::wstring MainWindow::ControlText(int id) const {
  HWND control = Control(id);
  std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(control)), L'\0');
  if (!text.empty()) {
    const int copied = ::GetWindowTextW(control, text.data(), static_cast<int>(text.size() + 1));
    text.resize(static_cast<std::size_t>(std::max(copied, 0)));
  }
  return text;
}

CivilDateTime MainWindow::TargetDateTime() const {
  SYSTEMTIME date{};
  SYSTEMTIME time{};
  ::SendMessageW(Control(kDtpEventDate), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&date));
  ::SendMessageW(Control(kDtpEventTime), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time));
  CivilDateTime target = CivilFromSystemTime(date);
  target.hour = time.wHour;
  target.minute = time.wMinute;
  target.second = time.wSecond;
  return target;
}

void MainWindow::SetPickers(const CivilDateTime& time) {
  // A saved moment past the last day the date picker offers shows as that day.
  CivilDateTime date = time;
  if (WallSecondsFromCivil(date) > WallSecondsFromCivil(kLatestEventDate)) {
    date.year = kLatestEventDate.year;
    date.month = kLatestEventDate.month;
    date.day = kLatestEventDate.day;
  }
  const SYSTEMTIME value = SystemTimeFromCivil(date);
  ::SendMessageW(Control(kDtpEventDate), DTM_SETSYSTEMTIME, GDT_VALID,
                 reinterpret_cast<LPARAM>(&value));
  ::SendMessageW(Control(kDtpEventTime), DTM_SETSYSTEMTIME, GDT_VALID,
                 reinterpret_cast<LPARAM>(&value));
}

// Setting a control in code raises no notification in Win32, so these run the
// handler themselves when the value really changes, as a user's click would.
void MainWindow::SelectDisplayOption(int index) {
  if (index < 0 || index >= kOptDisplayCount) {
    return;
  }
  HWND option = Control(kOptDisplay0 + index);
  if (::SendMessageW(option, BM_GETCHECK, 0, 0) == BST_CHECKED) {
    return;
  }
  for (int i = 0; i < kOptDisplayCount; ++i) {
    ::SendMessageW(Control(kOptDisplay0 + i), BM_SETCHECK, i == index ? BST_CHECKED : BST_UNCHECKED,
                   0);
  }
  optDisplay_Click(index);
}

void MainWindow::SelectUpdatePosition(int position) {
  if (position < 0 || position >= static_cast<int>(kUpdateIntervals.size())) {
    return;
  }
  HWND list = Control(kCboUpdate);
  if (::SendMessageW(list, CB_GETCURSEL, 0, 0) == position) {
    return;
  }
  ::SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(position), 0);
  cboUpdate_Click();
}

void MainWindow::SetOnlyUnitsBox(bool ticked) {
  HWND box = Control(kChkOnlyUnits);
  const bool current = ::SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
  if (current == ticked) {
    return;
  }
  ::SendMessageW(box, BM_SETCHECK, ticked ? BST_CHECKED : BST_UNCHECKED, 0);
  chkOnlyUnits_Click();
}

// ---------------------------------------------------------------------------
// Notification-area icon

void MainWindow::picTray_MouseMove(UINT mouseMessage) {
  if (mouseMessage == WM_RBUTTONUP) {
    ShowTrayMenu();
  } else if (mouseMessage == WM_LBUTTONDBLCLK) {
    mnuTray_Click(kTrayHideShow);
  }
}

void MainWindow::ShowTrayMenu() {
  POINT cursor{};
  ::GetCursorPos(&cursor);
  ::SetMenuDefaultItem(trayMenu_.Get(), kTrayHideShow, TRUE);
  // Without the foreground the menu would not close when the user clicks elsewhere.
  ::SetForegroundWindow(trayWindow_);
  ::TrackPopupMenu(trayMenu_.Get(), 0, cursor.x, cursor.y, 0, trayWindow_, nullptr);
  ::PostMessageW(trayWindow_, WM_NULL, 0, 0);
}

void MainWindow::SetTrayMenuCaption(const wchar_t* caption) {
  ::ModifyMenuW(trayMenu_.Get(), IDM_TRAY_BASE + kTrayHideShow, MF_BYCOMMAND | MF_STRING,
                IDM_TRAY_BASE + kTrayHideShow, caption);
}

void MainWindow::mnuTray_Click(int index) {
  if (index == kTrayHideShow) {
    if (::IsWindowVisible(window_)) {
      ::ShowWindow(window_, SW_MINIMIZE);  // Form_Resize moves it to the notification area
      return;
    }
    ::ShowWindow(window_, SW_RESTORE);
    RemoveTrayIcon(kTrayIconId, Tray());
    hiddenInTray_ = false;
    SetTrayMenuCaption(kHideCaption);
    ::SetForegroundWindow(window_);
    ::SetFocus(window_);
  } else if (index == kTrayExit) {
    RemoveTrayIcon(kTrayIconId, Tray());
    hiddenInTray_ = false;
    SetTrayMenuCaption(kHideCaption);
    Unload();
  }
}

}  // namespace daymarker
