#include "window_test_support.h"

#include <commctrl.h>

namespace daymarker::testing {

void FakeClock::SetLocal(const CivilDateTime& local) {
  const SYSTEMTIME localTime = SystemTimeFromCivil(local);
  SYSTEMTIME utcTime;
  FILETIME utc;
  ASSERT_TRUE(::TzSpecificLocalTimeToSystemTime(nullptr, &localTime, &utcTime));
  ASSERT_TRUE(::SystemTimeToFileTime(&utcTime, &utc));
  ticks_ = (std::uint64_t{utc.dwHighDateTime} << 32) | utc.dwLowDateTime;
}

void PutDword(const wchar_t* name, DWORD value) {
  ASSERT_TRUE(Plant(HKEY_CURRENT_USER, SettingsKeyPath(), name, REG_DWORD, DwordBytes(value)));
}

void PutString(const wchar_t* name, std::wstring_view value) {
  ASSERT_TRUE(Plant(HKEY_CURRENT_USER, SettingsKeyPath(), name, REG_SZ, TextBytes(value)));
}

std::optional<KeyContents> SavedSettings() {
  return ReadKey(HKEY_CURRENT_USER, SettingsKeyPath());
}

std::wstring MenuItemText(HMENU menu, UINT position) {
  wchar_t text[256] = {};
  ::GetMenuStringW(menu, position, text, 256, MF_BYPOSITION);
  return text;
}

void MainWindowTest::TearDown() {
  window_.reset();
  PumpMessages();
}

void MainWindowTest::Start() {
  window_ =
      std::make_unique<OwnedWindow<MainWindow>>(::GetModuleHandleW(nullptr), settings_, clock_);
  ASSERT_TRUE(window_->Create());
}

void MainWindowTest::Restart() {
  window_.reset();
  PumpMessages();
  settings_ = {};
  Start();
}

void MainWindowTest::Tick() {
  clock_.Advance(1);
  ::SendMessageW(Window(), WM_TIMER, kTimerId, 0);
}

void MainWindowTest::PickDateTime(int pickerId, const CivilDateTime& value) {
  HWND picker = Control(pickerId);
  const SYSTEMTIME time = SystemTimeFromCivil(value);
  ASSERT_NE(::SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time)),
            0);
  NMDATETIMECHANGE change{};
  change.nmhdr.hwndFrom = picker;
  change.nmhdr.idFrom = static_cast<UINT_PTR>(pickerId);
  change.nmhdr.code = DTN_DATETIMECHANGE;
  change.dwFlags = GDT_VALID;
  change.st = time;
  ::SendMessageW(Window(), WM_NOTIFY, static_cast<WPARAM>(pickerId),
                 reinterpret_cast<LPARAM>(&change));
}

void MainWindowTest::PickSecondsAhead(std::int64_t seconds) {
  const CivilDateTime target =
      CivilFromWallSeconds(WallSecondsFromCivil(LocalNow(clock_)) + seconds);
  PickDateTime(kDtpEventDate, target);
  PickDateTime(kDtpEventTime, target);
}

CivilDateTime MainWindowTest::PickerValue(int pickerId) const {
  SYSTEMTIME time{};
  ::SendMessageW(Control(pickerId), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time));
  return CivilFromSystemTime(time);
}

void MainWindowTest::ChooseUpdate(int position) {
  ::SendMessageW(Control(kCboUpdate), CB_SETCURSEL, static_cast<WPARAM>(position), 0);
  ::SendMessageW(Window(), WM_COMMAND, MAKEWPARAM(kCboUpdate, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(Control(kCboUpdate)));
}

}  // namespace daymarker::testing
