#include "window_test_support.h"

#include <commctrl.h>

namespace daymarker::testing {

void FakeClock::SetLocal(const CivilDateTime& local) {
  const SYSTEMTIME localTime = SystemTimeFromCivil(local);
  SYSTEMTIME utcTime;
  FILETIME utc;
  ASSERT_TRUE(::TzSpecificLocalTimeToSystemTime(nullptr, &localTime, &utcTime));
  ASSERT_TRUE(::SystemTimeToFileTime(&utcTime, &utc));
  utcSeconds = UnixSeconds(utc);
}

ScratchUserKey::ScratchUserKey() {
  path_ = L"Software\\DaymarkerTests\\" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
          std::to_wstring(::GetTickCount());
  EXPECT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key_, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(::RegOverridePredefKey(HKEY_CURRENT_USER, key_), ERROR_SUCCESS);
}

ScratchUserKey::~ScratchUserKey() {
  ::RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
  ::RegCloseKey(key_);
  ::RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
}

namespace {

LONG OpenSettingsKey(REGSAM access, HKEY& key) {
  return ::RegOpenKeyExW(HKEY_CURRENT_USER, SettingsKeyPath().c_str(), 0, access, &key);
}

}  // namespace

void PutDword(const wchar_t* name, DWORD value) {
  HKEY key;
  ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, SettingsKeyPath().c_str(), 0, nullptr, 0,
                              KEY_SET_VALUE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  ::RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
  ::RegCloseKey(key);
}

void PutString(const wchar_t* name, const std::wstring& value) {
  HKEY key;
  ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, SettingsKeyPath().c_str(), 0, nullptr, 0,
                              KEY_SET_VALUE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  ::RegCloseKey(key);
}

bool ReadDword(const wchar_t* name, DWORD& value) {
  HKEY key;
  if (OpenSettingsKey(KEY_QUERY_VALUE, key) != ERROR_SUCCESS) {
    return false;
  }
  DWORD type = 0;
  DWORD size = sizeof(value);
  const LONG result =
      ::RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
  ::RegCloseKey(key);
  return result == ERROR_SUCCESS && type == REG_DWORD && size == sizeof(value);
}

bool ReadString(const wchar_t* name, std::wstring& value) {
  HKEY key;
  if (OpenSettingsKey(KEY_QUERY_VALUE, key) != ERROR_SUCCESS) {
    return false;
  }
  DWORD type = 0;
  DWORD size = 0;
  LONG result = ::RegQueryValueExW(key, name, nullptr, &type, nullptr, &size);
  std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
  if (result == ERROR_SUCCESS) {
    size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    result =
        ::RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &size);
  }
  ::RegCloseKey(key);
  text.resize(text.find(L'\0') == std::wstring::npos ? text.size() : text.find(L'\0'));
  value = text;
  return result == ERROR_SUCCESS && type == REG_SZ;
}

bool SettingsKeyExists() {
  HKEY key;
  if (OpenSettingsKey(KEY_QUERY_VALUE, key) != ERROR_SUCCESS) {
    return false;
  }
  ::RegCloseKey(key);
  return true;
}

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      ::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

std::wstring MenuItemText(HMENU menu, UINT item, bool byPosition) {
  wchar_t text[256] = {};
  ::GetMenuStringW(menu, item, text, 256, byPosition ? MF_BYPOSITION : MF_BYCOMMAND);
  return text;
}

void PumpMessages() {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      continue;  // the last window of a test closing; the next test opens another
    }
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
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
