// Shared by the main-window tests: a settable clock, a scratch registry in
// place of the user's own, and helpers that drive the window by messages.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>

#include "core/calendar.h"
#include "settings/settings_store.h"
#include "tests/win32/support/registry_support.h"
#include "tests/win32/support/window_support.h"
#include "ui/main/clock.h"
#include "ui/main/main_window.h"
#include "ui/main/main_window_ids.h"

namespace daymarker::testing {

class FakeClock final : public Clock {
 public:
  FILETIME UtcNow() const override { return FileTimeFromUnixSeconds(utcSeconds); }
  // Sets the present to a local wall-clock moment of the test's time zone.
  void SetLocal(const CivilDateTime& local);
  void Advance(std::int64_t seconds) { utcSeconds += seconds; }

  std::int64_t utcSeconds = 1'780'000'000;
};

// Values of the settings key, as a hand-editor would leave them.
void PutDword(const wchar_t* name, DWORD value);
void PutString(const wchar_t* name, std::wstring_view value);
bool ReadDword(const wchar_t* name, DWORD& value);
bool ReadString(const wchar_t* name, std::wstring& value);
bool SettingsKeyExists();

std::wstring MenuItemText(HMENU menu, UINT item, bool byPosition);

class MainWindowTest : public ::testing::Test {
 protected:
  void TearDown() override;

  void Start();
  HWND Window() const { return window_->Window(); }
  HWND Control(int id) const { return ::GetDlgItem(Window(), id); }
  std::wstring Text(int id) const { return WindowText(Control(id)); }
  std::wstring StatusLine() const { return Text(main_ids::kTxtTimeLeft); }
  // One timer tick, the clock moved on by a second first.
  void Tick();
  // Sets a picker as a user would and raises its change notification.
  void PickDateTime(int pickerId, const CivilDateTime& value);
  // Date and time set to the local present plus seconds.
  void PickSecondsAhead(std::int64_t seconds);
  CivilDateTime PickerValue(int pickerId) const;
  void Click(int id);
  void SendCommand(int id);

  ScratchUserKey registry_;  // before the window, so it is undone after it
  FakeClock clock_;
  SettingValues settings_;
  std::unique_ptr<MainWindow> window_;
};

}  // namespace daymarker::testing
