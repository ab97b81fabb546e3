// Shared by the main-window tests: a settable clock, a scratch registry in
// place of the user's own, and the window driven by the messages a user's
// actions send.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/calendar.h"
#include "settings/settings_store.h"
#include "tests/win32/support/registry_support.h"
#include "tests/win32/support/window_support.h"
#include "ui/main/main_window.h"
#include "ui/main/main_window_ids.h"
#include "win/clock.h"
#include "win/system_functions.h"

namespace daymarker::testing {

using namespace main_ids;
using namespace std::literals;

// The system's clock, set by the test while this lives.
class FakeClock {
 public:
  // Sets the present to a local wall-clock moment of the test's time zone.
  void SetLocal(const CivilDateTime& local) {
    const SYSTEMTIME localTime = SystemTimeFromCivil(local);
    SYSTEMTIME utcTime;
    FILETIME utc;
    ASSERT_TRUE(::TzSpecificLocalTimeToSystemTime(nullptr, &localTime, &utcTime));
    ASSERT_TRUE(::SystemTimeToFileTime(&utcTime, &utc));
    ticks_ = (std::uint64_t{utc.dwHighDateTime} << 32) | utc.dwLowDateTime;
  }
  static void Advance(std::int64_t seconds) {
    ticks_ += static_cast<std::uint64_t>(seconds) * 10'000'000;
  }

 private:
  static void WINAPI UtcNow(FILETIME* now) {
    *now = {static_cast<DWORD>(ticks_), static_cast<DWORD>(ticks_ >> 32)};
  }
  static inline std::uint64_t ticks_ = 0;  // 100 ns since 1601, as a FILETIME counts
  system_functions::GetSystemTimeAsFileTime::StandIn standIn_{UtcNow};
};

// Where the program keeps its settings, spelled out here rather than taken from it.
constexpr const wchar_t* kSettingsKey = L"Software\\Tolvane\\Daymarker";

// The settings key's values, planted as a hand-editor would leave them and read back.
inline void PutDword(const wchar_t* name, DWORD value) {
  ASSERT_TRUE(Plant(HKEY_CURRENT_USER, kSettingsKey, name, REG_DWORD, DwordBytes(value)));
}
inline void PutString(const wchar_t* name, std::wstring_view value) {
  ASSERT_TRUE(Plant(HKEY_CURRENT_USER, kSettingsKey, name, REG_SZ, TextBytes(value)));
}
// A log-off: Windows asks first, then tells.
inline void LogOff(HWND window) {
  ::SendMessageW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
  ::SendMessageW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
}
// How a failed check shows a value: its type and its bytes.
inline void PrintTo(const RawValue& value, std::ostream* out) {
  const std::vector<int> bytes(value.bytes.begin(), value.bytes.end());
  *out << "type " << value.type << ": " << ::testing::PrintToString(bytes);
}

inline int IconWidth(HICON icon) {
  ICONINFO info{};
  ::GetIconInfo(icon, &info);
  BITMAP mask{};
  ::GetObjectW(info.hbmMask, sizeof(mask), &mask);
  ::DeleteObject(info.hbmMask);
  ::DeleteObject(info.hbmColor);
  return mask.bmWidth;
}
inline int IconWidth(HWND window, WPARAM which) {
  return IconWidth(reinterpret_cast<HICON>(::SendMessageW(window, WM_GETICON, which, 0)));
}
inline std::wstring MenuItemText(HMENU menu, UINT position) {
  wchar_t text[256] = {};
  ::GetMenuStringW(menu, position, text, 256, MF_BYPOSITION);
  return text;
}

// The shell's icon function with the calls seen on their way to it, a shell
// that can be made to refuse adds, and something to do as an icon goes.
struct ShellCall {
  DWORD message;
  HWND owner;
  UINT id;
  UINT flags;
  UINT callback;  // the message the icon's mouse messages come as
  std::wstring tip;
  HICON icon;
};
inline std::vector<ShellCall> g_shellCalls;
inline bool g_refuseAdds = false;
inline std::function<void()> g_onDelete;
inline BOOL WINAPI RecordingShell(DWORD message, PNOTIFYICONDATAW record) {
  NOTIFYICONDATAW seen{};  // Windows reads no more of the record than its size says
  std::memcpy(&seen, record, std::min<std::size_t>(record->cbSize, sizeof(seen)));
  g_shellCalls.push_back(
      {message, seen.hWnd, seen.uID, seen.uFlags, seen.uCallbackMessage, seen.szTip, seen.hIcon});
  if (message == NIM_ADD && g_refuseAdds) {
    return FALSE;
  }
  if (message == NIM_DELETE && g_onDelete) {
    g_onDelete();
  }
  return ::Shell_NotifyIconW(message, &seen);
}

// picTray, the window that owns the icon, as the shell knows it.
inline HWND IconOwner() {
  return ::FindWindowW(L"DaymarkerTrayOwner", nullptr);
}

// Refuses to make the windows of one class (the common controls' own, named
// after their version too, in any case), as a Windows out of handles would.
inline const wchar_t* g_refusedClass = L"";
inline LRESULT CALLBACK RefuseClass(int code, WPARAM wParam, LPARAM lParam) {
  const auto* made = reinterpret_cast<const CBT_CREATEWNDW*>(lParam);
  if (code != HCBT_CREATEWND || IS_INTRESOURCE(made->lpcs->lpszClass)) {
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
  }
  const std::wstring_view name = made->lpcs->lpszClass;
  const std::size_t length = std::wcslen(g_refusedClass);
  return name.size() >= length && ::lstrcmpiW(&name[name.size() - length], g_refusedClass) == 0;
}

// Each test starts with the window of a first run, shown, at 09:30 on 10 June
// 2026, on the test session's desktop at 96 DPI: 15 twips to a screen pixel.
class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_shellCalls.clear();
    g_refuseAdds = false;
    g_onDelete = nullptr;
    clock_.SetLocal({2026, 6, 10, 9, 30, 0});
    Start();
  }
  void TearDown() override { Stop(); }

  void Start() {
    g_quitsPumped = 0;
    window_ = std::make_unique<OwnedWindow<MainWindow>>(::GetModuleHandleW(nullptr), settings_);
    ASSERT_TRUE(window_->Create());
    window_->Show();
    PumpMessages();
    EXPECT_EQ(g_quitsPumped, 0) << "a start ends no message loop";
  }
  void Stop() {
    window_.reset();
    PumpMessages();
  }
  // Starts afresh from what is saved, as the next run of the program would.
  void Restart() {
    Stop();
    settings_ = {};
    Start();
  }
  HWND Window() const { return window_->Window(); }
  HWND Control(int id) const { return ::GetDlgItem(Window(), id); }
  std::wstring Text(int id) const { return WindowText(Control(id)); }
  std::wstring StatusLine() const { return Text(kTxtTimeLeft); }
  LRESULT Checked(int id) const { return ::SendMessageW(Control(id), BM_GETCHECK, 0, 0); }
  // An edit box's selection: where it starts and where it ends.
  std::pair<DWORD, DWORD> Selection(int id) const {
    DWORD start = 0, end = 0;
    ::SendMessageW(Control(id), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                   reinterpret_cast<LPARAM>(&end));
    return {start, end};
  }
  // One timer tick, the clock moved on by a second first.
  void Tick() {
    clock_.Advance(1);
    ::SendMessageW(Window(), WM_TIMER, kTimerId, 0);
  }
  // Sets a picker as a user would, which raises its change notification.
  void PickDateTime(int pickerId, const CivilDateTime& value) {
    HWND picker = Control(pickerId);
    const SYSTEMTIME time = SystemTimeFromCivil(value);
    ASSERT_TRUE(DateTime_SetSystemtime(picker, GDT_VALID, &time));
    const auto id = static_cast<UINT_PTR>(pickerId);  // a WPARAM too
    NMDATETIMECHANGE change{{picker, id, static_cast<UINT>(DTN_DATETIMECHANGE)}, GDT_VALID, time};
    ::SendMessageW(Window(), WM_NOTIFY, id, reinterpret_cast<LPARAM>(&change));
  }
  // Date and time set to the local present plus seconds.
  void PickSecondsAhead(std::int64_t seconds) {
    const CivilDateTime target = CivilFromWallSeconds(WallSecondsFromCivil(LocalNow()) + seconds);
    PickDateTime(kDtpEventDate, target);
    PickDateTime(kDtpEventTime, target);
  }
  void Click(int id) { ::SendMessageW(Control(id), BM_CLICK, 0, 0); }
  void ChooseUpdate(int position) {
    ::SendMessageW(Control(kCboUpdate), CB_SETCURSEL, static_cast<WPARAM>(position), 0);
    ::SendMessageW(Window(), WM_COMMAND, MAKEWPARAM(kCboUpdate, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(Control(kCboUpdate)));
  }

  ScratchUserKey registry_;  // before the window, so it is undone after it
  FakeClock clock_;
  SettingValues settings_;
  std::unique_ptr<MainWindow> window_;
};

}  // namespace daymarker::testing
