// Prints what the end-to-end test and the screenshots read of Daymarker, its
// About window and the desktop's notification area, as key=value records.
// Another process's windows answer WM_GETTEXT and the messages that return
// their answer directly; the rest answer through a copy placed inside the
// process that owns the window.
#include <windows.h>

#include <commctrl.h>

#include <string>
#include <tuple>

#include "ui/dpi.h"
#include "ui/main/main_window_ids.h"
#include "win/handles.h"

namespace {

namespace ids = daymarker::main_ids;

// What is read of a control that is not a message to it.
enum : UINT { kPlace = WM_APP, kEnabled, kFocus };

// Key, control, and what to ask of it.
constexpr std::tuple<const wchar_t*, int, UINT> kReads[] = {
    {L"date.rect", ids::kDtpEventDate, kPlace},
    {L"date.value", ids::kDtpEventDate, DTM_GETSYSTEMTIME},
    {L"date.focus", ids::kDtpEventDate, kFocus},
    {L"time.rect", ids::kDtpEventTime, kPlace},
    {L"time.value", ids::kDtpEventTime, DTM_GETSYSTEMTIME},
    {L"name.text", ids::kTxtEvent, WM_GETTEXT},
    {L"name.rect", ids::kTxtEvent, kPlace},
    {L"name.enabled", ids::kTxtEvent, kEnabled},
    {L"opt0.check", ids::kOptDisplay0 + 0, BM_GETCHECK},
    {L"opt1.check", ids::kOptDisplay0 + 1, BM_GETCHECK},
    {L"opt2.check", ids::kOptDisplay0 + 2, BM_GETCHECK},
    {L"opt3.check", ids::kOptDisplay0 + 3, BM_GETCHECK},
    {L"opt4.check", ids::kOptDisplay0 + 4, BM_GETCHECK},
    {L"opt5.check", ids::kOptDisplay0 + 5, BM_GETCHECK},
    {L"only.check", ids::kChkOnlyUnits, BM_GETCHECK},
    {L"status.text", ids::kTxtTimeLeft, WM_GETTEXT},
    {L"update.text", ids::kCboUpdate, WM_GETTEXT},
};

std::wstring g_report;

// Each record ends with a NUL, which no window text holds, so nothing needs escaping.
void Put(const std::wstring& key, const std::wstring& value) {
  g_report += key + L'=' + value + L'\0';
}

template <typename... Number>
std::wstring Numbers(Number... numbers) {
  std::wstring text;
  ((text += std::to_wstring(numbers) + L','), ...);
  text.pop_back();
  return text;
}

std::wstring Numbers(const RECT& r) {
  return Numbers(r.left, r.top, r.right, r.bottom);
}

// A hung window must not stop the poll: every question has a time limit.
LRESULT Ask(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  DWORD_PTR answer = 0;
  const LRESULT sent =
      ::SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 2000, &answer);
  return sent != 0 ? static_cast<LRESULT>(answer) : -1;
}

// Sends a message whose lParam points at a copy of data placed inside the
// process that owns the window, and reads the copy back into data. Before the
// copy is made, aim(the copy's address) may point data's pointers into it.
template <typename Data, typename Aim>
LRESULT AskThroughCopy(HWND window, UINT message, WPARAM wParam, Data& data, Aim aim) {
  DWORD processId = 0;
  ::GetWindowThreadProcessId(window, &processId);
  const daymarker::ScopedKernelHandle process(
      ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId));
  void* copy = ::VirtualAllocEx(process.Get(), nullptr, sizeof(data), MEM_COMMIT, PAGE_READWRITE);
  if (copy == nullptr) {
    return -1;
  }
  aim(static_cast<Data*>(copy));
  SIZE_T moved = 0;
  const bool written = ::WriteProcessMemory(process.Get(), copy, &data, sizeof(data), &moved);
  const LRESULT answer =
      written ? Ask(window, message, wParam, reinterpret_cast<LPARAM>(copy)) : -1;
  const bool read = ::ReadProcessMemory(process.Get(), copy, &data, sizeof(data), &moved);
  ::VirtualFreeEx(process.Get(), copy, 0, MEM_RELEASE);
  return read ? answer : -1;
}

std::wstring Text(HWND window) {
  wchar_t text[512] = {};
  Ask(window, WM_GETTEXT, ARRAYSIZE(text), reinterpret_cast<LPARAM>(text));
  return text;
}

RECT WindowRect(HWND window) {
  RECT rect{};
  ::GetWindowRect(window, &rect);
  return rect;
}

std::wstring Answer(HWND control, UINT message, HWND focus) {
  switch (message) {
    case kPlace:
      return Numbers(WindowRect(control));
    case kEnabled:
      return Numbers(::IsWindowEnabled(control));
    case kFocus:  // a picker may keep the focus in a child of its own
      return Numbers(focus == control || ::GetParent(focus) == control);
    case WM_GETTEXT:
      return Text(control);
    case DTM_GETSYSTEMTIME: {
      SYSTEMTIME t{};
      const bool set = AskThroughCopy(control, message, 0, t, [](SYSTEMTIME*) {}) == GDT_VALID;
      return set ? Numbers(t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond) : L"";
    }
    default:
      return Numbers(Ask(control, message));
  }
}

void PutWindow(const std::wstring& key, HWND window) {
  if (window == nullptr) {
    return;
  }
  // Shown is asked first: a window seen shown has been put in its place, and
  // the title waits for its thread, which may be busy placing it still.
  Put(key + L".visible", Numbers(::IsWindowVisible(window)));
  Put(key + L".title", Text(window));
  const RECT frame = WindowRect(window);
  RECT client{};
  ::GetClientRect(window, &client);
  ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
  Put(key + L".foreground", Numbers(::GetForegroundWindow() == window));
  Put(key + L".rect", Numbers(frame));
  Put(key + L".client", Numbers(client));
  Put(key + L".dpi", Numbers(daymarker::WindowDpi(window)));
  // The middle of the title bar's minimise button: the system knows the title
  // bar's rows, and the window what lies under each point of the middle one,
  // so that no metric of the theme or the DPI is guessed here.
  TITLEBARINFO bar{sizeof(bar)};
  ::GetTitleBarInfo(window, &bar);
  const int row = (bar.rcTitleBar.top + bar.rcTitleBar.bottom) / 2;
  int first = -1;
  int last = -1;
  for (int x = frame.left; x < frame.right; ++x) {
    if (Ask(window, WM_NCHITTEST, 0, MAKELPARAM(x, row)) == HTMINBUTTON) {
      first = first < 0 ? x : first;
      last = x;
    }
  }
  Put(key + L".minimise", Numbers((first + last) / 2, row));
}

// The tooltips shown, and the notification-area icons. Wine 8's explorer
// paints the icons on the taskbar itself: each is known only as the one tool
// of a tooltip window the taskbar owns, whose rectangle is the icon's place.
void PutTaskbar(HWND taskbar) {
  Put(L"taskbar.rect", Numbers(WindowRect(taskbar)));
  int icons = 0;
  int shown = 0;
  for (HWND tip = ::FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr); tip != nullptr;
       tip = ::FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr)) {
    if (::IsWindowVisible(tip)) {
      const std::wstring key = L"tooltip" + std::to_wstring(shown++);
      Put(key + L".text", Text(tip));
      Put(key + L".rect", Numbers(WindowRect(tip)));
    }
    const LRESULT tools = ::GetWindow(tip, GW_OWNER) == taskbar ? Ask(tip, TTM_GETTOOLCOUNT) : 0;
    for (LRESULT i = 0; i < tools; ++i) {
      struct {
        TTTOOLINFOW info{sizeof(TTTOOLINFOW)};
        wchar_t text[1024]{};  // far more than a notification-area tip holds
      } tool;
      auto aim = [&tool](decltype(&tool) copy) { tool.info.lpszText = copy->text; };
      const bool found = AskThroughCopy(tip, TTM_ENUMTOOLSW, i, tool, aim) == TRUE;
      tool.text[ARRAYSIZE(tool.text) - 1] = L'\0';
      RECT place = tool.info.rect;
      ::MapWindowPoints(tool.info.hwnd, nullptr, reinterpret_cast<POINT*>(&place), 2);
      // A removed icon can leave its tooltip behind for a while, with no place.
      if (found && !::IsRectEmpty(&place)) {
        const std::wstring key = L"tray" + std::to_wstring(icons++);
        Put(key + L".rect", Numbers(place));
        Put(key + L".tip", tool.text);
      }
    }
  }
}

}  // namespace

int wmain() {
  // Aware of the DPI, this process sees the same pixels as Daymarker and X.
  ::SetProcessDPIAware();
  HWND main = ::FindWindowW(L"DaymarkerMainWindow", nullptr);
  PutWindow(L"main", main);
  int copies = 0;  // main windows, one a running copy
  for (HWND window = nullptr;
       (window = ::FindWindowExW(nullptr, window, L"DaymarkerMainWindow", nullptr)) != nullptr;) {
    ++copies;
  }
  Put(L"main.copies", std::to_wstring(copies));
  PutWindow(L"about", ::FindWindowW(nullptr, L"About Daymarker"));
  GUITHREADINFO thread{sizeof(thread)};
  ::GetGUIThreadInfo(::GetWindowThreadProcessId(main, nullptr), &thread);
  for (const auto& [key, id, message] : kReads) {
    if (HWND control = ::GetDlgItem(main, id); control != nullptr) {
      Put(key, Answer(control, message, thread.hwndFocus));
    }
  }
  if (HWND taskbar = ::FindWindowW(L"Shell_TrayWnd", nullptr); taskbar != nullptr) {
    PutTaskbar(taskbar);
  }
  // UTF-16 as it is, written as bytes so that Wine's console leaves it alone.
  DWORD written = 0;
  ::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), g_report.data(),
              static_cast<DWORD>(g_report.size() * sizeof(wchar_t)), &written, nullptr);
  return 0;
}
