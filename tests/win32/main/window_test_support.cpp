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

BOOL WINAPI RecordingShell(DWORD message, PNOTIFYICONDATAW record) {
  g_shellCalls.push_back({message, record->hWnd, record->szTip, record->hIcon});
  if (message == NIM_ADD && g_refuseAdds) {
    return FALSE;
  }
  if (message == NIM_DELETE && g_onDelete) {
    g_onDelete();
  }
  return ::Shell_NotifyIconW(message, record);
}

std::wstring MenuItemText(HMENU menu, UINT position) {
  wchar_t text[256] = {};
  ::GetMenuStringW(menu, position, text, 256, MF_BYPOSITION);
  return text;
}

std::pair<DWORD, DWORD> MainWindowTest::Selection(int id) const {
  DWORD start = 0;
  DWORD end = 0;
  ::SendMessageW(Control(id), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
  return {start, end};
}

void MainWindowTest::PickDateTime(int pickerId, const CivilDateTime& value) {
  HWND picker = Control(pickerId);
  const SYSTEMTIME time = SystemTimeFromCivil(value);
  ASSERT_NE(::SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time)),
            0);
  NMDATETIMECHANGE change{
      {picker, static_cast<UINT_PTR>(pickerId), static_cast<UINT>(DTN_DATETIMECHANGE)},
      GDT_VALID,
      time};
  ::SendMessageW(Window(), WM_NOTIFY, static_cast<WPARAM>(pickerId),
                 reinterpret_cast<LPARAM>(&change));
}

void MainWindowTest::ChooseUpdate(int position) {
  ::SendMessageW(Control(kCboUpdate), CB_SETCURSEL, static_cast<WPARAM>(position), 0);
  ::SendMessageW(Window(), WM_COMMAND, MAKEWPARAM(kCboUpdate, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(Control(kCboUpdate)));
}

}  // namespace daymarker::testing
