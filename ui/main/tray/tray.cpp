#include "ui/main/tray/tray.h"

#include <shellapi.h>

#include <algorithm>
#include <cstdint>

#include "core/tray_tip.h"
#include "resources/resource.h"
#include "ui/dpi.h"
#include "ui/fonts_icons.h"
#include "win/system_functions.h"

namespace daymarker {

// The window that receives the icon's messages, the image it shows, and
// whether the notification area takes & in its tip as a prefix.
struct TrayOwner {
  HWND window = nullptr;
  HICON icon = nullptr;
  bool ampersandIsPrefix = false;
};

namespace {

constexpr const wchar_t* kWindowClass = L"DaymarkerTrayOwner";
constexpr std::int16_t kFirstTrayVersion = 351;
constexpr const wchar_t* kHideCaption = L"&Hide";
constexpr const wchar_t* kShowCaption = L"S&how";
// Windows 11, whose notification area shows a tip as it stands.
constexpr DWORD kFirstPlainTipBuild = 22000;

// Deprecated, and from Windows 8.1 on it reports no later version than the
// manifest names: the manifest names Windows 10, which covers 11, so the
// real build comes back. The availability test asks only for NT 3.51 or
// later, which every answer meets, so it is kept as the test has always been.
OSVERSIONINFOW QueryVersion() {
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof(info);
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif
  ::GetVersionExW(&info);
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
  return info;
}

// The shell is loaded the first time the window goes to the notification area.
BOOL NotifyIcon(DWORD message, NOTIFYICONDATAW& record) {
  const auto notify = system_functions::Shell_NotifyIconW::Get();
  return notify != nullptr ? notify(message, &record) : FALSE;
}

// The record in its first form, which every Windows takes: message, icon and
// a tooltip of at most 63 characters, where users have always seen it cut
// (later forms hold 127).
NOTIFYICONDATAW MakeTrayRecord(UINT id, const TrayOwner& owner, std::wstring_view tip) {
  NOTIFYICONDATAW record{};
  record.cbSize = NOTIFYICONDATAW_V1_SIZE;
  record.hWnd = owner.window;
  record.uID = id;
  record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  record.uCallbackMessage = kTrayCallbackMessage;
  record.hIcon = owner.icon;
  const std::wstring text = TrayTipText(tip, owner.ampersandIsPrefix);
  std::copy_n(text.data(), text.size(), record.szTip);
  return record;
}

BOOL AddTrayIcon(UINT id, const TrayOwner& owner, std::wstring_view tip) {
  NOTIFYICONDATAW record = MakeTrayRecord(id, owner, tip);
  return NotifyIcon(NIM_ADD, record);
}

BOOL SetTrayTip(UINT id, const TrayOwner& owner, std::wstring_view tip) {
  NOTIFYICONDATAW record = MakeTrayRecord(id, owner, tip);
  return NotifyIcon(NIM_MODIFY, record);
}

// After its menu, the notification area takes the keyboard focus back, so
// that a keyboard user goes on from the icon (Win+B, the arrow keys).
BOOL ReturnTrayFocus(UINT id, const TrayOwner& owner) {
  NOTIFYICONDATAW record{};
  record.cbSize = NOTIFYICONDATAW_V1_SIZE;
  record.hWnd = owner.window;
  record.uID = id;
  return NotifyIcon(NIM_SETFOCUS, record);
}

BOOL RemoveTrayIcon(UINT id, const TrayOwner& owner) {
  NOTIFYICONDATAW record{};
  record.cbSize = NOTIFYICONDATAW_V1_SIZE;
  record.hWnd = owner.window;
  record.uID = id;
  record.uCallbackMessage = kTrayCallbackMessage;
  return NotifyIcon(NIM_DELETE, record);
}

DWORD GetOSPlatform() {
  return QueryVersion().dwPlatformId;
}

std::int16_t GetOSVersion() {
  const OSVERSIONINFOW info = QueryVersion();
  return static_cast<std::int16_t>(info.dwMajorVersion * 100 + info.dwMinorVersion);
}

bool TrayAvailable() {
  const DWORD platform = GetOSPlatform();
  if (platform == VER_PLATFORM_WIN32_NT) {
    if (GetOSVersion() < kFirstTrayVersion) {
      return false;
    }
  } else if (platform != VER_PLATFORM_WIN32_WINDOWS) {
    return false;
  }
  const auto appBarMessage = system_functions::SHAppBarMessage::Get();
  APPBARDATA bar{};
  bar.cbSize = sizeof(bar);
  return appBarMessage != nullptr && appBarMessage(ABM_GETTASKBARPOS, &bar) == 1;
}

}  // namespace

Tray::Tray(HINSTANCE instance)
    : instance_(instance),
      // The notification area before Windows 11 treats & in a tooltip as a
      // prefix; the answer holds while the program runs.
      ampersandIsPrefix_(QueryVersion().dwBuildNumber < kFirstPlainTipBuild) {}

TrayOwner Tray::Owner() const {
  return {Window(), icon_.Get(), ampersandIsPrefix_};
}

bool Tray::Create(HWND mainWindow) {
  menu_.Reset(::CreatePopupMenu());
  ::AppendMenuW(menu_.Get(), MF_STRING, IDM_TRAY_BASE + kTrayHideShow, kHideCaption);
  ::AppendMenuW(menu_.Get(), MF_SEPARATOR, IDM_TRAY_BASE + 1, nullptr);
  ::AppendMenuW(menu_.Get(), MF_STRING, IDM_TRAY_BASE + kTrayExit, L"E&xit");
  // Top-level, though never shown: a message-only window would not hear
  // TaskbarCreated. Owned by the main window, so it goes when that one does.
  if (!CreateObjectWindow(instance_, kWindowClass, 0, WS_POPUP, {}, mainWindow, nullptr)) {
    return false;
  }
  // Windows holds back registered messages, TaskbarCreated among them, that a
  // program run as administrator gets from a shell that is not (Windows 7 on).
  if (const auto allow = system_functions::ChangeWindowMessageFilterEx::Get()) {
    allow(Window(), taskbarCreated_, MSGFLT_ALLOW, nullptr);
  }
  return true;
}

bool Tray::Add(HWND mainWindow, std::wstring_view tip) {
  if (!TrayAvailable() || (Window() == nullptr && !Create(mainWindow))) {
    return false;
  }
  if (!icon_) {
    // Small, at the DPI of the taskbar (the system's, whatever monitor the
    // main window is on), so that the shell does not scale it blurry.
    icon_.Reset(LoadIconForDpi(instance_, IDI_DAYMARKER, SM_CXSMICON, SM_CYSMICON, SystemDpi()));
  }
  if (!AddIcon(tip)) {
    // A timed-out Shell_NotifyIconW answers FALSE, yet the busy shell may still add the icon.
    DeleteIcon();
    return false;
  }
  tip_ = tip;
  hiddenInTray_ = true;
  SetMenuCaption(kShowCaption);
  return true;
}

void Tray::Remove() {
  DeleteIcon();
  hiddenInTray_ = false;
  SetMenuCaption(kHideCaption);
}

bool Tray::AddIcon(std::wstring_view tip) {
  iconMayExist_ = true;
  return AddTrayIcon(kTrayIconId, Owner(), tip) != FALSE;
}

void Tray::DeleteIcon() {
  if (iconMayExist_ && RemoveTrayIcon(kTrayIconId, Owner()) != FALSE) {
    iconMayExist_ = false;
  }
}

void Tray::SetTip(std::wstring_view tip) {
  // Without an icon the shell would refuse the change anyway, after a costly round trip.
  if (hiddenInTray_) {
    tip_ = tip;
    SetTrayTip(kTrayIconId, Owner(), tip);
  }
}

LRESULT Tray::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kTrayCallbackMessage) {
    picTray_MouseMove(LOWORD(lParam));
    return 0;
  }
  if (message == WM_CLOSE) {
    // taskkill closes every top-level window of the program: closing only
    // this one would take the icon from a window still hidden.
    ::PostMessageW(CommandTarget(), WM_CLOSE, 0, 0);
    return 0;
  }
  if (message == taskbarCreated_ && taskbarCreated_ != 0) {
    OnTaskbarCreated();
    return 0;
  }
  if (message == WM_DESTROY) {
    // Windows keeps the icon of a window that is gone until the pointer passes
    // over it: a close from another program or a log-off while hidden, or an
    // icon a busy shell added late.
    DeleteIcon();
  }
  return ::DefWindowProcW(Window(), message, wParam, lParam);
}

// The notification area was made anew (the shell restarted) and lost the icon:
// a hidden window would be out of reach without it.
void Tray::OnTaskbarCreated() {
  if (!hiddenInTray_ || AddIcon(tip_)) {
    return;
  }
  // A shell that kept the icon refuses to add it twice, but takes a change to it.
  if (SetTrayTip(kTrayIconId, Owner(), tip_) != FALSE) {
    return;
  }
  // No icon to be had: the window comes back, minimised on the taskbar.
  Remove();
  ::ShowWindow(CommandTarget(), SW_SHOWMINNOACTIVE);
}

void Tray::picTray_MouseMove(UINT mouseMessage) {
  if (mouseMessage == WM_RBUTTONUP) {
    ShowMenu();
  } else if (mouseMessage == WM_LBUTTONDBLCLK) {
    ::SendMessageW(CommandTarget(), WM_COMMAND, IDM_TRAY_BASE + kTrayHideShow, 0);
  }
}

void Tray::ShowMenu() {
  POINT cursor{};
  ::GetCursorPos(&cursor);
  ::SetMenuDefaultItem(menu_.Get(), kTrayHideShow, TRUE);
  // Without the foreground the menu would not close when the user clicks elsewhere.
  ::SetForegroundWindow(Window());
  // The command comes back here, so that a menu closed without one is known.
  const auto command = static_cast<WPARAM>(
      ::TrackPopupMenu(menu_.Get(), TPM_RETURNCMD, cursor.x, cursor.y, 0, Window(), nullptr));
  ::PostMessageW(Window(), WM_NULL, 0, 0);
  if (command != 0) {
    ::SendMessageW(CommandTarget(), WM_COMMAND, command, 0);
  } else {
    ReturnTrayFocus(kTrayIconId, Owner());
  }
}

void Tray::SetMenuCaption(const wchar_t* caption) {
  ::ModifyMenuW(menu_.Get(), IDM_TRAY_BASE + kTrayHideShow, MF_BYCOMMAND | MF_STRING,
                IDM_TRAY_BASE + kTrayHideShow, caption);
}

}  // namespace daymarker
