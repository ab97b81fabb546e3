#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <string>

#include "resources/resource.h"
#include "ui/main/one_copy.h"
#include "win/system_functions.h"
#include "window_test_support.h"

namespace daymarker::testing {
namespace {

// The BM_SETCHECK messages the buttons receive, in order: whose (kOptDisplay0 + i
// counts as option i), and to what.
std::vector<std::pair<int, WPARAM>> g_optionChecks;
LRESULT CALLBACK RecordOptionChecks(int code, WPARAM sent, LPARAM lParam) {
  const auto& call = *reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && call.message == BM_SETCHECK) {
    g_optionChecks.emplace_back(::GetDlgCtrlID(call.hwnd) - kOptDisplay0, call.wParam);
  }
  return ::CallNextHookEx(nullptr, code, sent, lParam);
}

// What a start shows from what the last one saved (or a hand-editor left).
TEST_F(MainWindowTest, StartUpShowsWhatWasSaved) {
  // The values a hand-editor left, each a REG_DWORD.
  const auto put = [](std::vector<std::pair<const wchar_t*, DWORD>> values) {
    return [=] { std::ranges::for_each(values, [](auto v) { PutDword(v.first, v.second); }); };
  };
  const auto options = [&](DWORD display, DWORD update, DWORD onlyUnits) {
    return put({{L"Display", display}, {L"Update", update}, {L"OnlyUnits", onlyUnits}});
  };
  // The only-units value is kept as saved, whether or not it ticks the box: 1
  // alone does (BST_CHECKED is 1, BST_UNCHECKED 0).
  const auto shown = [this](int option, LRESULT position, int level, int index, int units) {
    return [=, this] {
      int checked = 0;  // the option buttons that show as chosen, one bit each
      for (int i = 0; i < kOptDisplayCount; ++i) {
        checked |= Checked(kOptDisplay0 + i) == BST_CHECKED ? 1 << i : 0;
      }
      EXPECT_EQ(std::tuple(checked, ::SendMessageW(Control(kCboUpdate), CB_GETCURSEL, 0, 0),
                           Checked(kChkOnlyUnits), settings_.DisplayLevel, settings_.UpdateIndex,
                           settings_.OnlyUnitsFlag),
                std::tuple(1 << option, position, LRESULT{units == 1}, level, index, units));
      // Windows' BM_SETCHECK leaves the rest of the group as it is: the default
      // option (3) is cleared before a saved other one is checked.
      const auto saved = std::ranges::find(g_optionChecks, std::pair(option, WPARAM{BST_CHECKED}));
      EXPECT_EQ(std::count(g_optionChecks.begin(), saved, std::pair(3, WPARAM{BST_UNCHECKED})),
                option != 3 ? 1 : 0);
    };
  };
  const auto moment = [&](DWORD seconds) { return put({{L"DateNTime", seconds}}); };
  const auto target = [this](int seconds, bool ahead) {
    return [=, this] {
      EXPECT_EQ(std::pair(settings_.EventSeconds, ::IsWindowEnabled(Control(kTxtEvent)) != FALSE),
                std::pair(seconds, ahead));
    };
  };
  // A saved place, and where the window shows (in pixels) and records it (in twips).
  const auto place = [&](DWORD x, DWORD y) { return put({{L"WindowX", x}, {L"WindowY", y}}); };
  const auto placed = [this](LONG x, LONG y) {
    return [=, this] {
      const RECT frame = ChildRect(nullptr, Window());
      EXPECT_EQ(std::tuple(frame.left, frame.top, settings_.WindowLeft, settings_.WindowTop),
                std::tuple(x, y, x * 15, y * 15));
    };
  };
  const std::wstring longName(100'000, L'z');
  const std::tuple<const char*, std::function<void()>, std::function<void()>> rows[] = {
      {"options", options(6, 8, 1), shown(5, 7, 6, 8, 1)},
      {"other options", options(1, 1, 2), shown(0, 0, 1, 1, 2)},
      {"never ticked", options(2, 4, 0), shown(1, 3, 2, 4, 0)},
      // No such option or entry: the defaults stay, shown and used alike.
      {"just past the last", options(7, 9, 7), shown(3, 2, 4, 3, 7)},
      {"far past the last", options(32767, 12, 7), shown(3, 2, 4, 3, 7)},
      // None named: the defaults stay shown while the saved values are used.
      {"none", options(0, 0, 0xFFFFFFFF), shown(3, 2, 0, 0, -1)},
      {"below none", options(0xFFFFFFFF, 0xFFFFFFFF, 0), shown(3, 2, -1, -1, 0)},
      // Off the one monitor's edge, the place comes back onto it.
      {"left of the screen", place(static_cast<DWORD>(-300), 1200), placed(0, 80)},
      {"above the screen", place(1200, static_cast<DWORD>(-300)), placed(80, 0)},
      // A monitor 20,000 pixels to the right, since removed.
      {"off every monitor", place(15 * 20000, 15 * 20000),
       [this] {
         MONITORINFO monitor{sizeof(monitor)};
         ::GetMonitorInfoW(::MonitorFromWindow(Window(), MONITOR_DEFAULTTONULL), &monitor);
         const RECT frame = ChildRect(nullptr, Window());
         EXPECT_EQ(std::pair(frame.right, frame.bottom),
                   std::pair(monitor.rcWork.right, monitor.rcWork.bottom))
             << "flush with its corner";
       }},
      // The target the pickers show, as saved seconds, and whether it is ahead.
      {"no moment", moment(0), target(1'781'083'800, false)},
      {"a second ahead", moment(1'781'083'801), target(1'781'083'801, true)},
      {"the first second", moment(1), target(1, false)},
      // 2038-01-19 03:14:07, and its first second, show on the date picker's last day.
      {"the last second", moment(2'147'483'647), target(2'147'397'247, true)},
      {"the next day's first second", moment(2'147'472'000), target(2'147'385'600, true)},
      {"an empty name", [] { PutString(L"Event", L""); },
       [this] { EXPECT_EQ(Text(kTxtEvent), L"Enter event here..."); }},
      {"a long name", [&] { PutString(L"Event", longName); },
       [&, this] { EXPECT_EQ(Text(kTxtEvent), longName) << "the name box has no length limit"; }},
      // Just after the clocks went forward (03:01 is 01:01 UTC) the present reads
      // 03:01, not an hour behind as the offset of a few minutes before would make it.
      {"just after a daylight-saving change",
       [this] {
         clock_.SetLocal({2027, 3, 28, 3, 1, 0});
       },
       target(1'806'202'860, false)},
  };
  const HHOOK hook =
      ::SetWindowsHookExW(WH_CALLWNDPROC, RecordOptionChecks, nullptr, ::GetCurrentThreadId());
  for (const auto& [what, plant, shows] : rows) {
    SCOPED_TRACE(what);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software");
    plant();
    g_optionChecks.clear();
    Restart();
    shows();
  }
  ::UnhookWindowsHookEx(hook);
}

// Every end takes the window and picTray away, and the icon with them, even
// after an add that a busy shell answered with FALSE but made all the same:
// Windows would keep a dead program's icon until the pointer passes over it.
// Every close saves all seven values, once, and the next start shows them.
// The program's loop ends only with its last window, here an About window.
TEST_F(MainWindowTest, EveryEndTakesTheIconEveryCloseSavesAndTheLastWindowEndsTheLoop) {
  // How it ends, and whether from behind the icon.
  const std::tuple<const char*, bool, std::function<void()>> ends[] = {
      {"File, Exit", false, [this] { ::SendMessageW(Window(), WM_COMMAND, IDM_FILE_BASE, 0); }},
      {"the close box", false, [this] { ::SendMessageW(Window(), WM_CLOSE, 0, 0); }},
      {"log-off", false, [this] { LogOff(Window()); }},
      {"the icon's Exit", true,
       [this] { ::SendMessageW(Window(), WM_COMMAND, IDM_TRAY_BASE + kTrayExit, 0); }},
      {"a close from another program", true, [this] { ::PostMessageW(Window(), WM_CLOSE, 0, 0); }},
      // taskkill closes every window of the program
      {"a close of the icon's window", true, [] { ::PostMessageW(IconOwner(), WM_CLOSE, 0, 0); }},
  };
  for (const auto& [how, hidden, end] : ends) {
    // Hidden, also after an add that a busy shell answered late.
    for (int busy = 0; busy <= int{hidden}; ++busy) {
      SCOPED_TRACE(std::string(how) + (busy ? ", after an add the shell answered late" : ""));
      const system_functions::Shell_NotifyIconW::StandIn shell(RecordingShell);
      ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software");
      clock_.SetLocal({2026, 6, 10, 9, 30, 0});
      Restart();
      PickSecondsAhead(86'400 * 3);
      ::SetWindowTextW(Control(kTxtEvent), L"Праздник 🎉");
      Click(kOptDisplay0 + 2);
      Click(kChkOnlyUnits);
      ChooseUpdate(3);
      // Moved onto a monitor at 150 %: a shown window's close reads where it is,
      // in the desktop's one pixel space. Hidden behind the icon, its place is
      // not read, and the tick's record before it is saved; minimised on the
      // taskbar (the shell refused the icon), each tick reads its restored place.
      // (Wine moves no monitor's work area: the shift of a taskbar at the top or
      // left is tested in the core.)
      const POINT to{45, 30};
      EXPECT_TRUE(ChangeDpi(Window(), 144, &to)) << "the rectangle Windows suggests is taken";
      if (hidden) {
        Tick();
        g_refuseAdds = busy == 1;
        ::ShowWindow(Window(), SW_MINIMIZE);
        PumpMessages();
        ASSERT_EQ(::IsWindowVisible(Window()) != FALSE, busy == 1);
        if (busy) {
          EXPECT_EQ(g_shellCalls.back().message, static_cast<DWORD>(NIM_DELETE)) << "after the add";
          // The shell makes it after all.
          NOTIFYICONDATAW late{static_cast<DWORD>(NOTIFYICONDATAW_V1_SIZE), IconOwner(), 1};
          ::Shell_NotifyIconW(NIM_ADD, &late);
        }
        Tick();
      }
      // Help, About... or F1 opens the About window, which has no owner.
      MSG f1{Window(), WM_KEYDOWN, VK_F1, 0};
      EXPECT_TRUE(hidden ? ::SendMessageW(Window(), WM_COMMAND, IDM_HELP_BASE, 0) == 0
                         : internal::PreTranslateWindowMessage(f1));
      const HWND window = Window(), owner = IconOwner(), about = AboutWindowHandle();
      window_->HoldOneCopyClaim(*ClaimOneCopy());
      g_shellCalls.clear();
      g_quitsPumped = 0;
      end();
      PumpMessages();
      EXPECT_FALSE(::IsWindow(window) || ::IsWindow(owner)) << "the main window ended";
      // Saved, it lets a new copy start while its About window keeps the process.
      EXPECT_TRUE(ClaimOneCopy().has_value());
      // Icon 1's record, without flags, as the add's callback message (0x200) named it.
      const std::tuple deleted(DWORD{NIM_DELETE}, owner, 1u, 0u, 0x200u);
      const auto record = [](const ShellCall& c) {
        return std::tuple(c.message, c.owner, c.id, c.flags, c.callback);
      };
      EXPECT_EQ(std::ranges::count(g_shellCalls, deleted, record), hidden ? 1 : 0);
      EXPECT_EQ(g_quitsPumped, 0) << "the About window is still open";
      ::PostMessageW(about, WM_CLOSE, 0, 0);
      // Should the loop miss its end, this ends it, with another code.
      const UINT_PTR late = ::SetTimer(
          nullptr, 0, 5000, [](HWND, UINT, UINT_PTR, DWORD) CALLBACK { ::PostQuitMessage(1); });
      EXPECT_EQ(RunMessageLoop(), 0) << "the loop ends as the About window goes";
      ::KillTimer(nullptr, late);
      // 1,781,343,000 seconds: 2026-06-13 09:30 on the wall clock.
      const SettingValues saved = {675, 450, 1'781'343'000, L"Праздник 🎉", 3, 4, 1};
      EXPECT_EQ(ReadKey(HKEY_CURRENT_USER, kSettingsKey), SavedFor(saved));
      Restart();
      EXPECT_EQ(settings_, saved);
    }
  }
}

}  // namespace
}  // namespace daymarker::testing
