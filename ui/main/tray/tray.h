// The notification-area icon: the Tray that stands for the main window while
// it is hidden behind its icon.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "ui/object_window.h"
#include "win/handles.h"

namespace daymarker {

inline constexpr UINT kTrayIconId = 1;

struct TrayOwner;
// The icon's mouse messages arrive at the owner as this message, with the
// mouse message that happened over the icon in the low word of lParam. A
// WM_APP message is the usual choice; this one is safe because picTray is
// never shown, so no real mouse move ever reaches it.
inline constexpr UINT kTrayCallbackMessage = WM_MOUSEMOVE;
// The items of the icon's menu: "&Hide" or "S&how", a separator, "E&xit".
inline constexpr int kTrayHideShow = 0;
inline constexpr int kTrayExit = 2;

// picTray: a hidden window that owns the icon and hears the shell, with the
// icon's menu, made the first time the main window goes to the notification
// area. The icon's commands (a menu item, or a double-click as the first
// item) reach the main window as WM_COMMAND with IDM_TRAY_BASE + item.
// Whatever ends the program, the icon goes with picTray's window. Its one
// handler is picTray_MouseMove; every other member is plumbing.
class Tray : public ObjectWindow {
 public:
  explicit Tray(HINSTANCE instance);

  // Adds the icon with the tip where the system has a taskbar to hold it;
  // only then does the main window count as hidden behind it.
  bool Add(HWND mainWindow, std::wstring_view tip);
  // Removes the icon; the main window is no longer hidden behind it.
  void Remove();
  // The tip follows the status line while the icon is there.
  void SetTip(std::wstring_view tip);

  bool HiddenInTray() const { return hiddenInTray_; }

 private:
  bool Create(HWND mainWindow);
  // picTray as the shell's calls name it.
  TrayOwner Owner() const;
  // The main window, which owns picTray and takes its commands.
  HWND CommandTarget() const { return ::GetWindow(Window(), GW_OWNER); }
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void picTray_MouseMove(UINT mouseMessage);
  bool AddIcon(std::wstring_view tip);
  void DeleteIcon();
  void OnTaskbarCreated();
  void ShowMenu();
  void SetMenuCaption(const wchar_t* caption);

  HINSTANCE instance_;
  const bool ampersandIsPrefix_;
  // Sent to every top-level window when the notification area is made anew.
  const UINT taskbarCreated_ = ::RegisterWindowMessageW(L"TaskbarCreated");
  ScopedMenu menu_;
  ScopedIcon icon_;
  std::wstring tip_;  // to add the icon again should the shell lose it
  bool hiddenInTray_ = false;
  // Set by every add, whatever its answer; cleared by a delete the shell
  // confirms, which it handles after every call made before it.
  bool iconMayExist_ = false;
};

}  // namespace daymarker
