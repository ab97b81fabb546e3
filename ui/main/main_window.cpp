#include "ui/main/main_window.h"

#include <commctrl.h>

#include <array>
#include <vector>

#include "core/refresh_cycle.h"
#include "core/time_left.h"
#include "core/version.h"
#include "core/workspace.h"
#include "resources/resource.h"
#include "settings/settings_store.h"
#include "ui/about/about_window.h"
#include "ui/control_layout.h"
#include "ui/dpi.h"
#include "ui/fonts_icons.h"
#include "ui/main/accessible_name.h"
#include "ui/main/main_window_ids.h"
#include "ui/main/main_window_layout.h"
#include "ui/main/one_copy.h"
#include "win/system_functions.h"

namespace daymarker {
namespace {

using namespace main_ids;
using namespace main_layout;

constexpr UINT_PTR kEventBoxSubclass = 1;

constexpr const wchar_t* kDefaultEventName = L"Enter event here...";
constexpr const wchar_t* kReachedSuffix = L" - DISABLED";
// The option start-up selects before the saved settings: "(Years, Months,) &Days".
constexpr int kDefaultDisplayOption = 3;

// Enabling a window is a round trip to the window manager: this makes one
// only when the state is not already as asked.
void SetEnabled(HWND window, bool enabled) {
  if ((::IsWindowEnabled(window) != FALSE) != enabled) {
    ::EnableWindow(window, enabled ? TRUE : FALSE);
  }
}

}  // namespace

MainWindow::MainWindow(HINSTANCE instance, SettingValues& settings)
    : TopLevelWindow(instance, kFrame),
      settings_(settings),
      tray_(instance),
      secondStart_(SecondStartMessage()) {}

bool MainWindow::Create() {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_DATE_CLASSES | ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&controls);
  if (!CreateFrame(nullptr, BuildMenuBar(), CW_USEDEFAULT, CW_USEDEFAULT)) {
    return false;
  }
  Form_Load();
  return true;
}

void MainWindow::Show() {
  // Windows swaps the first show of a main window for the launcher's STARTUPINFO
  // command (a shortcut's "Minimised", start /min); hiding the hidden window spends it.
  ::ShowWindow(Window(), SW_HIDE);
  ::ShowWindow(Window(), SW_SHOWNORMAL);
  ::SetFocus(FirstFocus());
}

SIZE MainWindow::ClientTwips() const {
  return kClientTwips;
}

HWND MainWindow::FirstFocus() const {
  return Control(kDtpEventDate);
}

LRESULT MainWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
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
    case WM_WINDOWPOSCHANGED:
      // WM_SHOWWINDOW is not sent for SW_SHOWNORMAL or SetWindowPos; every show passes here.
      if ((reinterpret_cast<const WINDOWPOS*>(lParam)->flags & SWP_SHOWWINDOW) != 0) {
        Form_Shown();
      }
      break;  // DefWindowProc raises WM_SIZE and WM_MOVE from it
    case WM_CTLCOLORSTATIC:
      return OnCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_TIMECHANGE:
      RefreshNow();
      return 0;
    case WM_POWERBROADCAST:
      if (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND) {
        RefreshNow();
      }
      break;
    case WM_CLOSE:
      Unload();
      return 0;
    case WM_ENDSESSION:
      // At log-off a window is not destroyed for us: save now, the process
      // ends after this. (The query before it is never refused.)
      if (wParam != FALSE) {
        Unload();
      }
      return 0;
    default:
      if (message == secondStart_ && secondStart_ != 0) {
        BringBack();
        return 0;
      }
      break;
  }
  return TopLevelWindow::OnMessage(message, wParam, lParam);
}

bool MainWindow::MakeControls() {
  font_.Reset(CreateTahomaFont(Dpi()));
  if (!CreateControls(Window(), kLayout, Dpi(), font_.Get())) {
    return false;
  }
  // A second start run as a standard user may still reach a copy run as administrator.
  if (const auto allow = system_functions::ChangeWindowMessageFilterEx::Get()) {
    allow(Window(), secondStart_, MSGFLT_ALLOW, nullptr);
  }
  ::SetWindowSubclass(Control(kTxtEvent), EventBoxProc, kEventBoxSubclass,
                      reinterpret_cast<DWORD_PTR>(this));
  // Windows' accessibility layer names no date-time picker from the label before it.
  NameAfterLabelWhenAsked(Control(kDtpEventDate));
  NameAfterLabelWhenAsked(Control(kDtpEventTime));
  // The name and the status line have no length limit of their own.
  ::SendMessageW(Control(kTxtEvent), EM_SETLIMITTEXT, 0, 0);
  ::SendMessageW(Control(kTxtTimeLeft), EM_SETLIMITTEXT, 0, 0);
  std::array<SYSTEMTIME, 2> range = {SystemTimeFromCivil(kEarliestEventDate),
                                     SystemTimeFromCivil(kLatestEventDate)};
  ::SendMessageW(Control(kDtpEventDate), DTM_SETRANGE, GDTR_MIN | GDTR_MAX,
                 reinterpret_cast<LPARAM>(range.data()));
  ::SendMessageW(Control(kCboUpdate), CB_SETMINVISIBLE,
                 static_cast<WPARAM>(kUpdateIntervals.size()), 0);
  return true;
}

void MainWindow::RescaleControls() {
  ScopedFont font(CreateTahomaFont(Dpi()));
  PlaceControls(Window(), kLayout, Dpi());
  SetControlsFont(Window(), kLayout, font.Get());
  font_ = std::move(font);  // the controls let go of the old one first
}

// Read-only and disabled boxes, labels and buttons sit on the button-face colour.
LRESULT MainWindow::OnCtlColorStatic(HDC dc, HWND control) {
  ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
  ::SetTextColor(dc, ::GetSysColor(::IsWindowEnabled(control) ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
  return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
}

LRESULT CALLBACK MainWindow::EventBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam,
                                          UINT_PTR subclassId, DWORD_PTR refData) {
  // Enter and Esc are the box's own: the dialog manager would take them for
  // default and cancel buttons this window does not have.
  const auto enterOrEsc = [](WPARAM key) { return key == VK_RETURN || key == VK_ESCAPE; };
  if (message == WM_GETDLGCODE) {
    const auto* keyMessage = reinterpret_cast<const MSG*>(lParam);
    const LRESULT code = ::DefSubclassProc(box, message, wParam, lParam);
    return keyMessage != nullptr && enterOrEsc(keyMessage->wParam) &&
                   (keyMessage->message == WM_KEYDOWN || keyMessage->message == WM_CHAR)
               ? code | DLGC_WANTMESSAGE
               : code;
  }
  if (message == WM_CHAR) {
    auto key = static_cast<wchar_t>(wParam);
    reinterpret_cast<MainWindow*>(refData)->txtEvent_KeyPress(key);
    // Windows' single-line edit box answers them with a beep and nothing else.
    if (enterOrEsc(wParam)) {
      return 0;
    }
  } else if (message == WM_NCDESTROY) {
    ::RemoveWindowSubclass(box, EventBoxProc, subclassId);
  }
  return ::DefSubclassProc(box, message, wParam, lParam);
}

// A button's click, and a menu item's command, arrive with code 0 (BN_CLICKED).
void MainWindow::OnCommand(int id, int code) {
  static_assert(kOptDisplayCount == 6, "a case for each option button");
  switch (id) {
    case kOptDisplay0 + 0:
    case kOptDisplay0 + 1:
    case kOptDisplay0 + 2:
    case kOptDisplay0 + 3:
    case kOptDisplay0 + 4:
    case kOptDisplay0 + 5:
      if (code == BN_CLICKED) {
        optDisplay_Click(id - kOptDisplay0);
      }
      break;
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
        // A drop-down list has no edit box and never sends this; the handler
        // is kept for the day the list takes typed entries.
        cboUpdate_Change();
      }
      break;
    case IDM_FILE_BASE:
      mnuFile_Click(0);
      break;
    case IDM_HELP_BASE:  // also F1, an accelerator's command
      mnuHelp_Click(0);
      break;
    case IDM_TRAY_BASE + kTrayHideShow:
    case IDM_TRAY_BASE + kTrayExit:
      mnuTray_Click(id - IDM_TRAY_BASE);
      break;
    default:
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

  const SYSTEMTIME now = SystemTimeFromCivil(LocalNow());
  ::SendMessageW(Control(kDtpEventDate), DTM_SETSYSTEMTIME, GDT_VALID,
                 reinterpret_cast<LPARAM>(&now));
  const SYSTEMTIME nowAgain = SystemTimeFromCivil(LocalNow());
  ::SendMessageW(Control(kDtpEventTime), DTM_SETSYSTEMTIME, GDT_VALID,
                 reinterpret_cast<LPARAM>(&nowAgain));

  SelectDisplayOption(kDefaultDisplayOption);
  SelectUpdatePosition(kDefaultUpdatePosition);
  SetOnlyUnitsBox(false);

  if (LoadSettings(settings_)) {
    PlaceAtSavedPosition();
  }
  if (settings_.EventSeconds > 0) {
    SetPickers(CivilFromWallSeconds(settings_.EventSeconds));
  }
  // A saved level or interval past the last option or entry names none: the
  // defaults stay, in the controls and in what the window does alike.
  if (settings_.DisplayLevel > kOptDisplayCount) {
    settings_.DisplayLevel = kDefaultDisplayOption + 1;
  } else if (settings_.DisplayLevel > 0) {
    SelectDisplayOption(settings_.DisplayLevel - 1);
  }
  if (settings_.UpdateIndex > static_cast<int>(kUpdateIntervals.size())) {
    settings_.UpdateIndex = kDefaultUpdatePosition + 1;
  } else if (settings_.UpdateIndex > 0) {
    SelectUpdatePosition(settings_.UpdateIndex - 1);
  }
  if (settings_.OnlyUnitsFlag > 0) {
    SetOnlyUnitsBox(settings_.OnlyUnitsFlag == 1);
  }
  if (!settings_.EventName.empty()) {
    ::SetWindowTextW(Control(kTxtEvent), settings_.EventName.c_str());
  }

  HMENU fileMenu = ::GetSubMenu(::GetMenu(Window()), 0);
  ::ModifyMenuW(fileMenu, IDM_FILE_BASE, MF_BYCOMMAND | MF_STRING, IDM_FILE_BASE, L"E&xit\tAlt+F4");
  // picTray's picture, the window's own icon, is loaded at the first minimise.
  ::SetWindowTextW(Window(), VersionCaption().c_str());
  ::SetTimer(Window(), kTimerId, kTimerInterval, nullptr);
  tmrTimer_Timer();
  UpdateEventTarget();
}

void MainWindow::PlaceAtSavedPosition() {
  RECT frame;
  ::GetWindowRect(Window(), &frame);
  const SIZE size{frame.right - frame.left, frame.bottom - frame.top};
  const ScreenPoint saved{TwipsToPixels(settings_.WindowLeft, SystemDpi()),
                          TwipsToPixels(settings_.WindowTop, SystemDpi())};
  const std::vector<Monitor> monitors = Monitors();
  const auto [x, y] = SavedWindowPlace(saved, size.cx, size.cy, monitors);
  // A position saved on a monitor that is gone would open the window out of reach.
  const auto [reachableX, reachableY] = ReachablePlace({x, y, x + size.cx, y + size.cy}, monitors);
  ::SetWindowPos(Window(), nullptr, reachableX, reachableY, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::RecordPosition() {
  RECT frame;
  if (::IsIconic(Window())) {
    // A minimised window sits at a parking position; its place on screen is
    // the restored one, which the placement gives in work-area coordinates.
    WINDOWPLACEMENT placement{sizeof(placement)};
    ::GetWindowPlacement(Window(), &placement);
    frame = placement.rcNormalPosition;
    MONITORINFO monitor{sizeof(monitor)};
    if (::GetMonitorInfoW(::MonitorFromRect(&frame, MONITOR_DEFAULTTOPRIMARY), &monitor)) {
      frame.left = WorkspaceToScreen(frame.left, monitor.rcWork.left, monitor.rcMonitor.left);
      frame.top = WorkspaceToScreen(frame.top, monitor.rcWork.top, monitor.rcMonitor.top);
    }
  } else {
    ::GetWindowRect(Window(), &frame);
  }
  // Screen coordinates are one pixel space for the whole desktop, whatever each monitor's DPI.
  settings_.WindowLeft = PixelsToTwips(frame.left, SystemDpi());
  settings_.WindowTop = PixelsToTwips(frame.top, SystemDpi());
}

void MainWindow::Form_Resize() {
  // WM_SIZE(SIZE_MINIMIZED) can reach a minimised window again while it is hidden.
  if (!::IsIconic(Window()) || tray_.HiddenInTray()) {
    return;
  }
  if (tray_.Add(Window(), ControlText(kTxtTimeLeft))) {
    ::ShowWindow(Window(), SW_HIDE);
  }
}

// Shown while hidden behind the icon, by "S&how" or by another program's
// ShowWindow: the icon goes, so that the state follows the window.
void MainWindow::Form_Shown() {
  if (tray_.HiddenInTray()) {
    tray_.Remove();
  }
}

void MainWindow::Form_Unload() {
  if (!::IsIconic(Window())) {
    RecordPosition();
  }
  SaveSettings(settings_);  // a failed save is not reported and never stops the close
}

// Saves once. A second close can reach the window while it is being
// destroyed: the shell call that takes the icon away runs other programs'
// messages, and a log-off's end or a taskkill may be among them.
void MainWindow::Unload() {
  if (unloaded_) {
    return;
  }
  unloaded_ = true;
  Form_Unload();
  oneCopy_.Reset();
  ::DestroyWindow(Window());
}

void MainWindow::BringBack() {
  if (!::IsWindowVisible(Window()) || ::IsIconic(Window())) {
    ::ShowWindow(Window(), SW_RESTORE);  // Form_Shown takes the icon away
  }
  MoveWithinReach(Window());
  ::SetForegroundWindow(Window());
  ::SetFocus(Window());
}

// ---------------------------------------------------------------------------
// Menus

void MainWindow::mnuFile_Click(int index) {
  if (index == 0) {
    Unload();
  }
}

void MainWindow::mnuHelp_Click(int /*index*/) {
  ShowAboutWindow(about_, Instance(), Window());
}

void MainWindow::mnuTray_Click(int index) {
  if (index == kTrayHideShow) {
    if (::IsWindowVisible(Window())) {
      ::ShowWindow(Window(), SW_MINIMIZE);  // Form_Resize moves it to the notification area
      return;
    }
    BringBack();
  } else if (index == kTrayExit) {
    tray_.Remove();
    Unload();
  }
}

// ---------------------------------------------------------------------------
// Refresh cycle

void MainWindow::tmrTimer_Timer() {
  if (!tray_.HiddenInTray()) {
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
  ShowStatusLine(line);
  tray_.SetTip(line);
}

void MainWindow::RefreshNow() {
  secondsToRefresh_ = 0;
  tmrTimer_Timer();
}

std::int64_t MainWindow::UpdateEventTarget() {
  const CivilDateTime target = TargetDateTime();
  settings_.EventSeconds = EventSecondsFromWall(WallSecondsFromCivil(target));
  const std::int64_t secondsLeft = SecondsUntil(target);
  SetEnabled(Control(kTxtEvent), secondsLeft > 0);
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
  RefreshNow();
}

void MainWindow::chkOnlyUnits_Click() {
  const LRESULT state = ::SendMessageW(Control(kChkOnlyUnits), BM_GETCHECK, 0, 0);
  settings_.OnlyUnitsFlag = static_cast<std::int16_t>(state == BST_CHECKED ? 1 : 2);
  RefreshNow();
}

}  // namespace daymarker
