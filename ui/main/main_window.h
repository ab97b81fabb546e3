// frmMain: the countdown window and its handlers.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "core/calendar.h"
#include "core/settings_values.h"
#include "ui/main/tray/tray.h"
#include "ui/top_level_window.h"
#include "win/clock.h"
#include "win/handles.h"

namespace daymarker {

// frmMain. Its handlers are the members named after a control and an event,
// from Form_Load to mnuTray_Click, and the routines they share: Unload,
// RefreshNow and UpdateEventTarget. Form_Shown is this program's own: a show
// of the window from behind its icon takes the icon away. Every other member
// is plumbing: it creates, places and colours the window and turns its
// messages into calls of those handlers. The controls' values are read and
// set in main_window_controls.cpp; their table is main_window_layout.h.
class MainWindow : public TopLevelWindow {
 public:
  MainWindow(HINSTANCE instance, SettingValues& settings);

  // Creates the window and runs its start-up; the window stays hidden until Show.
  bool Create();
  // Shows the window in its normal state, whatever the launcher asked for.
  void Show();
  // The claim to be the user's one copy of the program, let go once the
  // settings are saved: a copy started after that runs on its own.
  void HoldOneCopyClaim(ScopedKernelHandle claim) { oneCopy_ = std::move(claim); }

 private:
  SIZE ClientTwips() const override;
  bool MakeControls() override;
  HWND FirstFocus() const override;
  void RescaleControls() override;
  void OnCommand(int id, int code) override;
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  static LRESULT CALLBACK EventBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR subclassId, DWORD_PTR refData);
  void OnNotify(const NMHDR& header);
  LRESULT OnCtlColorStatic(HDC dc, HWND control);

  // Start-up, resize and shutdown.
  void Form_Load();
  void Form_Resize();
  void Form_Shown();
  void Form_Unload();
  void Unload();
  // Back from behind the icon or the taskbar button, or to the front for a
  // second start: in its normal state, on a monitor, with the focus.
  void BringBack();

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

  // Menus.
  void mnuFile_Click(int index);
  void mnuHelp_Click(int index);
  void mnuTray_Click(int index);

  // Control values as the handlers read and set them.
  CivilDateTime TargetDateTime() const;
  void SetPickers(const CivilDateTime& time);
  void SelectDisplayOption(int index);
  void SelectUpdatePosition(int position);
  void SetOnlyUnitsBox(bool ticked);
  std::wstring ControlText(int id) const;
  void ShowStatusLine(const std::wstring& line);

  // The window's place on screen, kept in the settings in twips.
  void PlaceAtSavedPosition();
  void RecordPosition();

  SettingValues& settings_;
  ScopedFont font_;
  OwnedWindow<Tray> tray_;  // picTray
  // frmAbout, once asked for: held past this window's end, as it may outlive it.
  std::unique_ptr<ObjectWindow> about_;

  // Sent by a second start of the program.
  const UINT secondStart_;
  ScopedKernelHandle oneCopy_;

  std::int32_t secondsToRefresh_ = 0;
  bool unloaded_ = false;
};

}  // namespace daymarker
