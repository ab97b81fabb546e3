#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "ui/main/one_copy.h"
#include "ui/main/tray/tray.h"
#include "win/system_functions.h"
#include "window_test_support.h"

// The program's import of the version query, which the tray asks for the build.
using VersionQuery = BOOL(WINAPI*)(OSVERSIONINFOW*);
#if defined(_WIN64)
extern VersionQuery g_importedGetVersion __asm__("__imp_GetVersionExW");
#else
extern VersionQuery g_importedGetVersion __asm__("__imp__GetVersionExW@4");
#endif

namespace daymarker::testing {
namespace {

// Closes the icon's menu from inside its own modal loop, noting what it held
// (its first item, its default item, its item count and its second item's
// kind) and where it was: with the key g_menuKey, an item's access key or
// Escape, which chooses none.
std::tuple<std::wstring, UINT, int, UINT> g_menuSeen;
RECT g_menuPlace;
WPARAM g_menuKey = VK_ESCAPE;

void CALLBACK CloseMenu(HWND, UINT, UINT_PTR timer, DWORD) {
  if (HWND popup = ::FindWindowW(L"#32768", nullptr); popup != nullptr) {
    auto* menu = reinterpret_cast<HMENU>(::SendMessageW(popup, MN_GETHMENU, 0, 0));
    g_menuSeen = {MenuItemText(menu, 0), ::GetMenuDefaultItem(menu, TRUE, 0),
                  ::GetMenuItemCount(menu), ::GetMenuState(menu, 1, MF_BYPOSITION) & MF_SEPARATOR};
    ::GetWindowRect(popup, &g_menuPlace);
    ::PostMessageW(popup, WM_KEYDOWN, g_menuKey, 0);
    ::KillTimer(nullptr, timer);
  }
}

class TrayTest : public MainWindowTest {
 protected:
  // What the shell answers a call about our icon, made as another program would.
  static bool Shell(DWORD message) {
    // The program's one icon is number 1 to the shell.
    NOTIFYICONDATAW record{static_cast<DWORD>(NOTIFYICONDATAW_V1_SIZE), IconOwner(), 1};
    return ::Shell_NotifyIconW(message, &record) != FALSE;
  }
  // Whether the shell holds our icon: only an icon that is there can be changed.
  static bool IconPresent() { return Shell(NIM_MODIFY); }
  void Minimise() {
    ::ShowWindow(Window(), SW_MINIMIZE);
    PumpMessages();
  }
  static void IconMouse(UINT mouseMessage) {
    ::SendMessageW(IconOwner(), WM_MOUSEMOVE, 1, mouseMessage);  // as the icon's record asks
    PumpMessages();
  }
  // The icon's menu as a right-click opens it, closed with an item's access
  // key or with none, as CloseMenu notes it.
  static std::tuple<std::wstring, UINT, int, UINT> OpenedMenu(WPARAM key = VK_ESCAPE) {
    g_menuSeen = {L"(no menu)", static_cast<UINT>(-1), 0, 0};
    g_menuKey = key;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 20, CloseMenu);
    IconMouse(WM_RBUTTONUP);  // returns once the menu has closed
    ::KillTimer(nullptr, timer);
    return g_menuSeen;
  }

  // Windows holds back from an elevated program the messages of a shell that is not.
  static BOOL WINAPI Allow(HWND window, UINT message, DWORD action, PCHANGEFILTERSTRUCT) {
    allowed = {window, message, action};
    return TRUE;
  }
  static inline std::tuple<HWND, UINT, DWORD> allowed;
  system_functions::Shell_NotifyIconW::StandIn shell_{RecordingShell};
  system_functions::ChangeWindowMessageFilterEx::StandIn filter_{Allow};
};

// Whatever shows the window, the icon goes (a restarted shell brings none
// back) and the next hide puts it back. While hidden, moves and single clicks
// on the icon change nothing, nor does a second minimise or a new DPI (the
// frame takes it when shown), a restarted shell gets the icon back, and a
// right-click opens its menu at the pointer with S&how as the default; closed
// with no command, the menu gives the notification area its focus back.
// Brought back by the program, a window left where no monitor is any more
// comes into the work area. Hidden where a restarted shell takes no icon, the
// window returns to the taskbar.
TEST_F(TrayTest, EveryHideAddsOneIconAndEveryShowTakesItAway) {
  const UINT taskbarCreated = ::RegisterWindowMessageW(L"TaskbarCreated");
  EXPECT_EQ(allowed, std::tuple(Window(), SecondStartMessage(), DWORD{MSGFLT_ALLOW}));
  ChangeDpi(Window(), 144);  // the window went to another monitor; the taskbar did not
  const std::function<void()> minimise = [this] { Minimise(); };
  const std::function<void()> hideShow = [] { OpenedMenu('H'); };  // "&Hide" and "S&how"
  const std::tuple<const char*, std::function<void()>, std::function<void()>, bool> rounds[] = {
      {"a double-click on the icon", minimise, [] { IconMouse(WM_LBUTTONDBLCLK); }, true},
      {"another program's show", minimise, [this] { ::ShowWindow(Window(), SW_RESTORE); }, false},
      {"&Hide, then S&how on the icon's menu", hideShow, hideShow, true},
      {"a second start of the program", minimise,
       [] {
         const auto claim = ClaimOneCopy();  // the running copy's
         EXPECT_FALSE(ClaimOneCopy().has_value()) << "the second start ends";
         PumpMessages();
       },
       true},
  };
  for (const auto& [how, hide, show, broughtBack] : rounds) {
    SCOPED_TRACE(how);
    // Where a monitor since unplugged was, on a desktop of one.
    ::SetWindowPos(Window(), nullptr, 3000, 2000, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    hide();
    for (const UINT message : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN}) {
      IconMouse(message);
    }
    ::SendMessageW(Window(), WM_SIZE, SIZE_MINIMIZED, 0);
    ChangeDpi(Window(), 120);
    EXPECT_TRUE(!::IsWindowVisible(Window()) && IconPresent());
    // A shell remade for other reasons may keep the icon, and refuse it a
    // second time; a restarted one has lost it.
    ::SendMessageW(IconOwner(), taskbarCreated, 0, 0);
    Shell(NIM_DELETE);
    ASSERT_FALSE(IconPresent());
    ::SendMessageW(IconOwner(), taskbarCreated, 0, 0);
    EXPECT_TRUE(!::IsWindowVisible(Window()) && IconPresent());
    EXPECT_EQ(allowed, std::tuple(IconOwner(), taskbarCreated, DWORD{MSGFLT_ALLOW}));
    EXPECT_EQ(IconWidth(g_shellCalls.back().icon), ::GetSystemMetrics(SM_CXSMICON));
    ::SetCursorPos(300, 200);
    EXPECT_EQ(OpenedMenu(), std::tuple(L"S&how"s, 0u, 3, UINT{MF_SEPARATOR})) << "a line, Exit";
    const ShellCall& focus = g_shellCalls.back();
    EXPECT_EQ(std::tuple(g_menuPlace.left, g_menuPlace.top, focus.message, focus.owner, focus.id),
              std::tuple(300L, 200L, DWORD{NIM_SETFOCUS}, IconOwner(), 1u))
        << "at the pointer, and the focus back to the icon after";

    show();
    EXPECT_TRUE(::IsWindowVisible(Window()) && !::IsIconic(Window())) << "restored, not minimised";
    EXPECT_EQ(g_shellCalls.back().message, DWORD{NIM_DELETE}) << "nothing after the icon went";
    RECT client;
    ::GetClientRect(Window(), &client);
    EXPECT_EQ(client.right, 421) << "sized for the DPI it took while hidden";
    EXPECT_EQ(::GetForegroundWindow(), Window());
    if (broughtBack) {
      const RECT frame = ChildRect(nullptr, Window());
      // As far towards where it was as the one monitor's work area allows.
      MONITORINFO monitor{sizeof(monitor)};
      ::GetMonitorInfoW(::MonitorFromWindow(Window(), MONITOR_DEFAULTTONEAREST), &monitor);
      EXPECT_EQ(std::pair(frame.right, frame.bottom),
                std::pair(monitor.rcWork.right, monitor.rcWork.bottom));
    }
    ::SendMessageW(IconOwner(), taskbarCreated, 0, 0);
    EXPECT_FALSE(IconPresent());
    EXPECT_EQ(std::get<0>(OpenedMenu()), L"&Hide");
  }
  // Hidden with no icon, nothing could bring the window back.
  Minimise();
  Shell(NIM_DELETE);
  g_refuseAdds = true;
  ::SendMessageW(IconOwner(), taskbarCreated, 0, 0);
  EXPECT_TRUE(::IsWindowVisible(Window()) && ::IsIconic(Window())) << "minimised on the taskbar";
  OpenedMenu('X');  // E&xit
  EXPECT_EQ(IconOwner(), nullptr) << "the main window, which owns picTray, ended";
}

// Where the system has no taskbar or notification call, or picTray cannot be
// made (a Windows out of window handles), the window stays minimised on the
// taskbar: an icon would have nowhere to show, or tell no window of its clicks.
TEST_F(TrayTest, WithoutATaskbarOrTheIconsOwnerTheWindowStaysOnTheTaskbar) {
  {
    const system_functions::SHAppBarMessage::StandIn noTaskbar([](DWORD, PAPPBARDATA)
                                                                   WINAPI { return UINT_PTR{0}; });
    Minimise();
    EXPECT_TRUE(::IsWindowVisible(Window()) && ::IsIconic(Window()) && g_shellCalls.empty());
  }
  ::SendMessageW(Window(), SecondStartMessage(), 0, 0);
  EXPECT_FALSE(::IsIconic(Window())) << "a second start brings it back from the taskbar too";
  ::ShowWindow(Window(), SW_HIDE);  // by another program
  ::SendMessageW(Window(), SecondStartMessage(), 0, 0);
  EXPECT_TRUE(::IsWindowVisible(Window())) << "and from a hide not behind the icon";
  g_refusedClass = L"DaymarkerTrayOwner";
  const HHOOK hook = ::SetWindowsHookExW(WH_CBT, RefuseClass, nullptr, ::GetCurrentThreadId());
  Minimise();
  ::UnhookWindowsHookEx(hook);
  EXPECT_TRUE(::IsWindowVisible(Window()) && ::IsIconic(Window()) && g_shellCalls.empty());
  // Nor where the shell has no notification call.
  ::ShowWindow(Window(), SW_RESTORE);
  const system_functions::Shell_NotifyIconW::StandIn noShell(nullptr);
  Minimise();
  EXPECT_TRUE(::IsWindowVisible(Window()) && ::IsIconic(Window()));
}

// The tip is the status line, cut to 63 characters, with each & as the
// notification area of the system shows it: as the icon is added, and as the
// line changes while hidden. The icon is number 1, its mouse messages come as
// WM_MOUSEMOVE (0x200), and the add and each change give its message, icon and tip
// (the delete's record is checked with every end).
TEST_F(TrayTest, TheTipIsTheStatusLineForTheShellOfTheSystemAndAClosingWindowSavesOnce) {
  // Before Windows 11 (build 22000) the notification area shows "&&&" as one
  // &; from it on, a tip as it stands. Each add starts the program anew with
  // the build as its own import of GetVersionExW answers it; the change comes
  // while hidden, on the build of the start before it.
  static const VersionQuery kGetVersion = g_importedGetVersion;
  const std::tuple<DWORD, std::wstring, DWORD, std::wstring> rows[] = {
      {21999, L"A & B", NIM_ADD, L"A &&& B - 1 day"},
      {0, L"Tom & Jerry", NIM_MODIFY, L"Tom &&& Jerry - 1 day"},
      {22000, L"A & B", NIM_ADD, L"A & B - 1 day"}};
  for (const auto& [build, name, message, tip] : rows) {
    if (message == NIM_ADD) {
      static DWORD posedBuild;
      posedBuild = build;
      g_importedGetVersion = [](OSVERSIONINFOW* info) WINAPI {
        const BOOL read = kGetVersion(info);
        info->dwBuildNumber = posedBuild;
        return read;
      };
      Restart();
      g_importedGetVersion = kGetVersion;
      PickSecondsAhead(86'400);
    }
    g_shellCalls.clear();
    ::SetWindowTextW(Control(kTxtEvent), name.c_str());
    if (message == NIM_ADD) {
      Minimise();
    }
    ASSERT_FALSE(g_shellCalls.empty());
    const ShellCall& call = g_shellCalls.back();
    EXPECT_EQ(std::tuple(call.message, call.id, call.flags, call.callback, call.tip),
              std::tuple(message, 1u, 7u, 0x200u, tip));
    EXPECT_TRUE(StatusLine().starts_with(name)) << "the line shows the name as typed";
  }

  // A close that arrives while the window is going (the shell call that takes
  // the icon away lets other programs' messages in) saves nothing a second time.
  HWND window = Window();
  g_onDelete = [window] {
    g_onDelete = nullptr;
    PutDword(L"Display", 6);  // what a second save would overwrite
    ::SendMessageW(window, WM_CLOSE, 0, 0);
  };
  ::SendMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, kSettingsKey, L"Display"), Dword(6));
}

}  // namespace
}  // namespace daymarker::testing
