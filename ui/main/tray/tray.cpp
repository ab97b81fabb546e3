#include "ui/main/tray/tray.h"

#include <algorithm>

#include "win/system_library.h"

namespace daymarker {
namespace {

constexpr std::int16_t kFirstTrayVersion = 351;

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
  using ShellNotifyIconFn = BOOL(WINAPI*)(DWORD, PNOTIFYICONDATAW);
  // Found once; only the window's thread calls here.
  static ShellNotifyIconFn shellNotifyIcon = nullptr;
  if (shellNotifyIcon == nullptr) {
    shellNotifyIcon = SystemFunction<ShellNotifyIconFn>(L"shell32.dll", "Shell_NotifyIconW");
  }
  return shellNotifyIcon != nullptr ? shellNotifyIcon(message, &record) : FALSE;
}

}  // namespace

NOTIFYICONDATAW MakeTrayRecord(UINT id, const TrayOwner& owner, std::wstring_view tip) {
  NOTIFYICONDATAW record{};
  record.cbSize = NOTIFYICONDATAW_V1_SIZE;
  record.hWnd = owner.window;
  record.uID = id;
  record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  record.uCallbackMessage = kTrayCallbackMessage;
  record.hIcon = owner.icon;
  std::size_t length = std::min(tip.size(), kTrayTipLength);
  // Never leave half of a surrogate pair at the end of a cut tooltip.
  if (length < tip.size() && length > 0 && IS_HIGH_SURROGATE(tip[length - 1])) {
    --length;
  }
  std::copy_n(tip.data(), length, record.szTip);
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
  using AppBarMessageFn = UINT_PTR(WINAPI*)(DWORD, PAPPBARDATA);
  const auto appBarMessage = SystemFunction<AppBarMessageFn>(L"shell32.dll", "SHAppBarMessage");
  APPBARDATA bar{};
  bar.cbSize = sizeof(bar);
  return appBarMessage != nullptr && appBarMessage(ABM_GETTASKBARPOS, &bar) == 1;
}

}  // namespace daymarker
