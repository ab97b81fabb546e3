#include "window_test_support.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

namespace daymarker::testing {

void FakeClock::SetLocal(const CivilDateTime& local) {
  const SYSTEMTIME localTime = SystemTimeFromCivil(local);
  SYSTEMTIME utcTime;
  FILETIME utc;
  ASSERT_TRUE(::TzSpecificLocalTimeToSystemTime(nullptr, &localTime, &utcTime));
  ASSERT_TRUE(::SystemTimeToFileTime(&utcTime, &utc));
  utcSeconds = UnixSeconds(utc);
}

void PutDword(const wchar_t* name, DWORD value) {
  ASSERT_TRUE(Plant(HKEY_CURRENT_USER, SettingsKeyPath(), name, REG_DWORD, DwordBytes(value)));
}

void PutString(const wchar_t* name, std::wstring_view value) {
  ASSERT_TRUE(Plant(HKEY_CURRENT_USER, SettingsKeyPath(), name, REG_SZ, TextBytes(value)));
}

bool ReadDword(const wchar_t* name, DWORD& value) {
  const auto stored = ReadValue(HKEY_CURRENT_USER, SettingsKeyPath(), name);
  if (!stored || stored->type != REG_DWORD || stored->bytes.size() != sizeof(value)) {
    return false;
  }
  std::memcpy(&value, stored->bytes.data(), sizeof(value));
  return true;
}

bool ReadString(const wchar_t* name, std::wstring& value) {
  const auto stored = ReadValue(HKEY_CURRENT_USER, SettingsKeyPath(), name);
  if (!stored || stored->type != REG_SZ) {
    return false;
  }
  value.assign(reinterpret_cast<const wchar_t*>(stored->bytes.data()),
               stored->bytes.size() / sizeof(wchar_t));
  value.resize(std::min(value.size(), value.find(L'\0')));  // the system may add a terminator
  return true;
}

bool SettingsKeyExists() {
  return ReadKey(HKEY_CURRENT_USER, SettingsKeyPath()).has_value();
}

std::wstring MenuItemText(HMENU menu, UINT item, bool byPosition) {
  wchar_t text[256] = {};
  ::GetMenuStringW(menu, item, text, 256, byPosition ? MF_BYPOSITION : MF_BYCOMMAND);
  return text;
}

void MainWindowTest::TearDown() {
  window_.reset();
  PumpMessages();
}

void MainWindowTest::Start() {
  window_ = std::make_unique<MainWindow>(::GetModuleHandleW(nullptr), settings_, clock_);
  ASSERT_TRUE(window_->Create());
}

void MainWindowTest::Tick() {
  clock_.Advance(1);
  ::SendMessageW(Window(), WM_TIMER, main_ids::kTimerId, 0);
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
  PickDateTime(main_ids::kDtpEventDate, target);
  PickDateTime(main_ids::kDtpEventTime, target);
}

CivilDateTime MainWindowTest::PickerValue(int pickerId) const {
  SYSTEMTIME time{};
  ::SendMessageW(Control(pickerId), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time));
  return CivilFromSystemTime(time);
}

void MainWindowTest::Click(int id) {
  ::SendMessageW(Control(id), BM_CLICK, 0, 0);
}

void MainWindowTest::SendCommand(int id) {
  ::SendMessageW(Window(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

}  // namespace daymarker::testing
