// frmMain: the countdown window, its notification-area icon and its handlers.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "core/settings_values.h"
#include "ui/main/clock.h"
#include "ui/main/tray/tray.h"
#include "win/handles.h"

namespace daymarker {

class MainWindow {
 public:
  MainWindow(HINSTANCE instance, SettingValues& settings, const Clock& clock);
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Creates the window and runs its start-up; the window stays hidden until Show.
  bool Create();
  void Show(int showCommand);

  // What Help, About (and F1) runs.
  void SetAboutHandler(std::function<void(HWND)> handler) { aboutHandler_ = std::move(handler); }

  HWND Window() const { return window_; }
  HWND TrayWindow() const { return trayWindow_; }
  HMENU TrayMenu() const { return trayMenu_.Get(); }
  bool HiddenInTray() const { return hiddenInTray_; }
  std::int32_t SecondsToRefresh() const { return secondsToRefresh_; }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK TrayWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK EventBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR subclassId, DWORD_PTR refData);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleTrayMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  bool OnCreate();
  void OnCommand(int id, int code);
  LRESULT OnCtlColorStatic(HDC dc, HWND control);
  void OnSetFocus();
  void OnDestroy();
  void OnNotify(const NMHDR& header);
  void OnDpiChanged(UINT dpi, const RECT& suggested);
  void OnActivate(WPARAM wParam);

  // Start-up, resize and shutdown.
  void Form_Load();
  void Form_Resize();
  void Form_Unload();
  void Unload();

  // Refresh cycle.
  void tmrTimer_Timer();
  void RefreshNow();
  // Re-reads the target, enables the name box while it lies ahead, and
  // returns the seconds left.
  std::int64_t UpdateEventTarget();
  void cboUpdate_Click();
  void cboUpdate_Change();

  // Editing.
  void txtEvent_Change();
  void txtEvent_GotFocus();
  void txtEvent_KeyPress(wchar_t& keyAscii);
  void dtpEventDate_Change();
  void dtpEventTime_Change();
  void optDisplay_Click(int index);
  void chkOnlyUnits_Click();

  // Menus and the notification-area icon.
  void mnuFile_Click(int index);
  void mnuHelp_Click(int index);
  void mnuTray_Click(int index);
  void picTray_MouseMove(UINT mouseMessage);
  void ShowTrayMenu();
  void SetTrayMenuCaption(const wchar_t* caption);

  // Control values as the handlers read and set them.
  HWND Control(int id) const { return ::GetDlgItem(window_, id); }
  CivilDateTime TargetDateTime() const;
  void SetPickers(const CivilDateTime& time);
  void SelectDisplayOption(int index);
  void SelectUpdatePosition(int position);
  void SetOnlyUnitsBox(bool ticked);
  std::wstring ControlText(int id) const;
  void RecordPosition();
  TrayOwner Tray() const { return {trayWindow_, trayIcon_.Get()}; }
  // Loads the window's and the notification area's icons at the window's DPI.
  void LoadIcons();
  RECT FrameRect(UINT dpi) const;

  HINSTANCE instance_;
  SettingValues& settings_;
  const Clock& clock_;
  std::function<void(HWND)> aboutHandler_;

  HWND window_ = nullptr;
  HWND trayWindow_ = nullptr;  // picTray: hidden, top-level so it hears TaskbarCreated
  UINT dpi_ = 96;
  UINT taskbarCreatedMessage_ = 0;
  ScopedFont font_;
  ScopedMenu trayMenu_;
  ScopedAccel accelerators_;
  ScopedIcon largeIcon_;
  ScopedIcon smallIcon_;
  ScopedIcon trayIcon_;
  HWND focusOnDeactivate_ = nullptr;

  std::int32_t secondsToRefresh_ = 0;
  bool hiddenInTray_ = false;
  bool unloaded_ = false;
};

}  // namespace daymarker
