#include <windows.h>

#include <string>

#include "resources/resource.h"
#include "ui/main/tray/tray.h"
#include "window_test_support.h"

namespace daymarker::testing {
namespace {

using namespace main_ids;

TEST(TrayRecord, IsTheFirstFormWithATipOfAtMost63Characters) {
  const TrayOwner owner{reinterpret_cast<HWND>(0x1234), reinterpret_cast<HICON>(0x5678)};
  const NOTIFYICONDATAW record = MakeTrayRecord(kTrayIconId, owner, std::wstring(80, L'a'));
  EXPECT_EQ(record.cbSize, static_cast<DWORD>(NOTIFYICONDATAW_V1_SIZE));
  EXPECT_EQ(record.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
  EXPECT_EQ(record.uCallbackMessage, 0x200u);
  EXPECT_EQ(std::wstring(record.szTip), std::wstring(63, L'a'));
  // A cut never leaves half of a character that needs two UTF-16 units.
  const std::wstring x61(61, L'x');
  EXPECT_EQ(std::wstring(MakeTrayRecord(1, owner, x61 + L"y\U0001F389").szTip), x61 + L"y");
  EXPECT_EQ(std::wstring(MakeTrayRecord(1, owner, x61 + L"\U0001F389").szTip), x61 + L"\U0001F389");
}

TEST(TrayAvailability, FindsTheShellsTaskbar) {
  EXPECT_GE(GetOSVersion(), 351);
  EXPECT_EQ(GetOSPlatform(), static_cast<DWORD>(VER_PLATFORM_WIN32_NT));
  EXPECT_TRUE(TrayAvailable()) << "the tests run in a desktop with a notification area";
}

class TrayTest : public MainWindowTest {
 protected:
  void SetUp() override {
    Start();
    window_->Show(SW_SHOWNORMAL);
    PumpMessages();
  }

  // Whether the shell holds our icon: modifying an icon that is not there fails.
  bool IconPresent() const {
    NOTIFYICONDATAW record =
        MakeTrayRecord(kTrayIconId, {window_->NotificationIcon().Window(), nullptr}, L"");
    record.uFlags = 0;
    return ::Shell_NotifyIconW(NIM_MODIFY, &record) != FALSE;
  }
  void Minimise() {
    ::ShowWindow(Window(), SW_MINIMIZE);
    PumpMessages();
  }
  void IconMouse(UINT mouseMessage) {
    ::SendMessageW(window_->NotificationIcon().Window(), kTrayCallbackMessage, kTrayIconId,
                   mouseMessage);
    PumpMessages();
  }
  std::wstring HideShowCaption() const {
    return MenuItemText(window_->NotificationIcon().Menu(), 0, true);
  }
};

TEST_F(TrayTest, MinimiseHidesBehindOneIconAndDoubleClickBringsItBack) {
  for (int round = 0; round < 2; ++round) {
    Minimise();
    EXPECT_TRUE(window_->NotificationIcon().HiddenInTray()) << round;
    EXPECT_FALSE(::IsWindowVisible(Window()));
    EXPECT_TRUE(IconPresent());
    EXPECT_EQ(HideShowCaption(), L"S&how");
    // A second add of the same icon is refused: there is never a second icon.
    EXPECT_FALSE(AddTrayIcon(kTrayIconId, {window_->NotificationIcon().Window(), nullptr}, L""));

    IconMouse(WM_LBUTTONDBLCLK);
    EXPECT_FALSE(window_->NotificationIcon().HiddenInTray());
    EXPECT_TRUE(::IsWindowVisible(Window()));
    EXPECT_FALSE(::IsIconic(Window())) << "restored in its normal state";
    EXPECT_FALSE(IconPresent());
    EXPECT_EQ(HideShowCaption(), L"&Hide");
  }
}

TEST_F(TrayTest, SingleClicksAndMovesDoNothing) {
  Minimise();
  for (UINT message : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN}) {
    IconMouse(message);
    EXPECT_TRUE(window_->NotificationIcon().HiddenInTray()) << message;
    EXPECT_FALSE(::IsWindowVisible(Window())) << message;
  }
}

// Closes the icon's menu from inside its own modal loop, noting what it showed.
struct MenuProbe {
  bool sawMenu = false;
  UINT defaultItem = static_cast<UINT>(-1);
};
MenuProbe* g_probe = nullptr;
HMENU g_probedMenu = nullptr;

void CALLBACK CloseMenu(HWND, UINT, UINT_PTR timer, DWORD) {
  if (::FindWindowW(L"#32768", nullptr) != nullptr) {
    g_probe->sawMenu = true;
    g_probe->defaultItem = ::GetMenuDefaultItem(g_probedMenu, TRUE, 0);
    ::EndMenu();
    ::KillTimer(nullptr, timer);
  }
}

// Bounds the wait should the menu never show.
void CALLBACK GiveUpOnMenu(HWND, UINT, UINT_PTR timer, DWORD) {
  ::EndMenu();
  ::KillTimer(nullptr, timer);
}

TEST_F(TrayTest, RightButtonUpOpensTheMenuWithShowAsDefault) {
  Minimise();
  MenuProbe probe;
  g_probe = &probe;
  g_probedMenu = window_->NotificationIcon().Menu();
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, CloseMenu);
  const UINT_PTR safety = ::SetTimer(nullptr, 0, 5000, GiveUpOnMenu);
  IconMouse(WM_RBUTTONUP);  // returns once the menu has closed
  ::KillTimer(nullptr, timer);
  ::KillTimer(nullptr, safety);
  EXPECT_TRUE(probe.sawMenu);
  EXPECT_EQ(probe.defaultItem, 0u);
  EXPECT_EQ(HideShowCaption(), L"S&how");
  EXPECT_TRUE(window_->NotificationIcon().HiddenInTray()) << "closing the menu changes nothing";
}

TEST_F(TrayTest, ShowFromTheMenuRestoresAndHideMinimises) {
  ::SendMessageW(window_->NotificationIcon().Window(), WM_COMMAND, IDM_TRAY_BASE + 0,
                 0);  // "&Hide"
  PumpMessages();
  EXPECT_TRUE(window_->NotificationIcon().HiddenInTray());
  ::SendMessageW(window_->NotificationIcon().Window(), WM_COMMAND, IDM_TRAY_BASE + 0,
                 0);  // "S&how"
  PumpMessages();
  EXPECT_FALSE(window_->NotificationIcon().HiddenInTray());
  EXPECT_TRUE(::IsWindowVisible(Window()));
  EXPECT_FALSE(IconPresent());
  EXPECT_EQ(::GetForegroundWindow(), Window());
}

TEST_F(TrayTest, PositionIsNotRecordedWhileHidden) {
  ::SetWindowPos(Window(), nullptr, 90, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  Tick();
  const std::int32_t left = settings_.WindowLeft;
  const std::int32_t top = settings_.WindowTop;
  Minimise();
  for (int i = 0; i < 3; ++i) {
    Tick();
  }
  EXPECT_EQ(settings_.WindowLeft, left);
  EXPECT_EQ(settings_.WindowTop, top);
}

TEST_F(TrayTest, ExitFromTheIconRemovesItSavesAndCloses) {
  ::SetWindowPos(Window(), nullptr, 90, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  Tick();
  const std::int32_t left = settings_.WindowLeft;
  Minimise();
  HWND trayWindow = window_->NotificationIcon().Window();
  ::SendMessageW(trayWindow, WM_COMMAND, IDM_TRAY_BASE + 2, 0);  // "E&xit"
  PumpMessages();
  EXPECT_EQ(window_->Window(), nullptr) << "the window is gone";
  EXPECT_FALSE(::IsWindow(trayWindow));
  NOTIFYICONDATAW record = MakeTrayRecord(kTrayIconId, {trayWindow, nullptr}, L"");
  EXPECT_FALSE(::Shell_NotifyIconW(NIM_MODIFY, &record)) << "the icon was removed";
  DWORD saved = 0;
  ASSERT_TRUE(ReadDword(L"WindowX", saved));
  EXPECT_EQ(static_cast<std::int32_t>(saved), left) << "the position from before hiding";
}

TEST_F(TrayTest, ShellRestartBringsBackTheIconOfAHiddenWindowOnly) {
  const UINT taskbarCreated = ::RegisterWindowMessageW(L"TaskbarCreated");
  ::SendMessageW(window_->NotificationIcon().Window(), taskbarCreated, 0, 0);
  EXPECT_FALSE(IconPresent()) << "a shown window has no icon to restore";

  Minimise();
  // What a restarted shell looks like: our icon is gone.
  RemoveTrayIcon(kTrayIconId, {window_->NotificationIcon().Window(), nullptr});
  ASSERT_FALSE(IconPresent());
  ::SendMessageW(window_->NotificationIcon().Window(), taskbarCreated, 0, 0);
  EXPECT_TRUE(IconPresent());
  IconMouse(WM_LBUTTONDBLCLK);
  EXPECT_TRUE(::IsWindowVisible(Window()));
  EXPECT_FALSE(IconPresent());
}

}  // namespace
}  // namespace daymarker::testing
