// The notification-area icon: one icon, built afresh for every call.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <cstdint>
#include <string_view>

namespace daymarker {

inline constexpr UINT kTrayIconId = 1;
// The icon's mouse messages arrive at the owner as this message, with the
// mouse message that happened over the icon in the low word of lParam.
inline constexpr UINT kTrayCallbackMessage = WM_MOUSEMOVE;
inline constexpr std::size_t kTrayTipLength = 63;

// The window that receives the icon's messages, and the image it shows.
struct TrayOwner {
  HWND window = nullptr;
  HICON icon = nullptr;
};

// The record in its first form: message, icon and a tooltip of at most 63 characters.
NOTIFYICONDATAW MakeTrayRecord(UINT id, const TrayOwner& owner, std::wstring_view tip);

BOOL AddTrayIcon(UINT id, const TrayOwner& owner, std::wstring_view tip);
BOOL SetTrayTip(UINT id, const TrayOwner& owner, std::wstring_view tip);
BOOL RemoveTrayIcon(UINT id, const TrayOwner& owner);

// True when the system has a taskbar to hold the icon.
bool TrayAvailable();
DWORD GetOSPlatform();
// Major version * 100 + minor version: 3.51 gives 351.
std::int16_t GetOSVersion();

}  // namespace daymarker
