#include <windows.h>

#include <string>

#include "resources/resource.h"
#include "ui/main/tray/tray.h"
#include "window_test_support.h"

namespace daymarker::testing {
namespace {

// The tip holds 63 characters; a cut never leaves half of a character that needs two.
TEST(TrayRecord, CutsTheTipAtAWholeCharacter) {
  const std::wstring x61(61, L'x');
  const auto tip = [](const std::wstring& text) {
    return std::wstring(MakeTrayRecord(kTrayIconId, {}, text).szTip);
  };
  EXPECT_EQ(tip(std::wstring(80, L'a')), std::wstring(63, L'a'));
  EXPECT_EQ(tip(x61 + L"y\U0001F389"), x61 + L"y");
  EXPECT_EQ(tip(x61 + L"\U0001F389"), x61 + L"\U0001F389");
}

class TrayTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    Start();
    window_->Show(SW_SHOWNORMAL);
    PumpMessages();
  }

  const Tray& Icon() const { return window_->NotificationIcon(); }
  // Whether the shell holds our icon, and its tip: only an icon that is there can be changed.
  bool IconPresent() const {
    NOTIFYICONDATAW record = MakeTrayRecord(kTrayIconId, {Icon().Window(), nullptr}, L"");
    record.uFlags = 0;
    return ::Shell_NotifyIconW(NIM_MODIFY, &record) != FALSE;
  }
  void Minimise() {
    ::ShowWindow(Window(), SW_MINIMIZE);
    PumpMessages();
  }
  void IconMouse(UINT mouseMessage) {
    ::SendMessageW(Icon().Window(), kTrayCallbackMessage, kTrayIconId, mouseMessage);
    PumpMessages();
  }
  void TrayCommand(int item) {
    ::SendMessageW(Icon().Window(), WM_COMMAND, IDM_TRAY_BASE + item, 0);
    PumpMessages();
  }
  std::wstring HideShowCaption() const { return MenuItemText(Icon().Menu(), 0); }
};

TEST_F(TrayTest, MinimiseHidesBehindOneIconAndDoubleClickBringsItBack) {
  for (int round = 0; round < 2; ++round) {
    Minimise();
    EXPECT_TRUE(Icon().HiddenInTray()) << round;
    EXPECT_FALSE(::IsWindowVisible(Window()));
    EXPECT_TRUE(IconPresent());
    EXPECT_EQ(HideShowCaption(), L"S&how");
    // A second add of the same icon is refused: there is never a second icon.
    EXPECT_FALSE(AddTrayIcon(kTrayIconId, {Icon().Window(), nullptr}, L""));

    IconMouse(WM_LBUTTONDBLCLK);
    EXPECT_FALSE(Icon().HiddenInTray());
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
    EXPECT_TRUE(Icon().HiddenInTray()) << message;
    EXPECT_FALSE(::IsWindowVisible(Window())) << message;
  }
}

// Closes the icon's menu from inside its own modal loop, noting its default item.
UINT g_defaultItem = 0;
HMENU g_probedMenu = nullptr;

void CALLBACK CloseMenu(HWND, UINT, UINT_PTR timer, DWORD) {
  if (::FindWindowW(L"#32768", nullptr) != nullptr) {
    g_defaultItem = ::GetMenuDefaultItem(g_probedMenu, TRUE, 0);
    ::EndMenu();
    ::KillTimer(nullptr, timer);
  }
}

TEST_F(TrayTest, RightButtonUpOpensTheMenuWithShowAsDefault) {
  Minimise();
  g_defaultItem = static_cast<UINT>(-1);
  g_probedMenu = Icon().Menu();
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, CloseMenu);
  IconMouse(WM_RBUTTONUP);  // returns once the menu has closed
  ::KillTimer(nullptr, timer);
  EXPECT_EQ(g_defaultItem, 0u) << "no menu, or no default item";
  EXPECT_TRUE(Icon().HiddenInTray()) << "closing the menu changes nothing";
}

TEST_F(TrayTest, ShowAndHideFromTheMenu) {
  Minimise();
  TrayCommand(kTrayHideShow);  // "S&how"
  EXPECT_FALSE(Icon().HiddenInTray());
  EXPECT_TRUE(::IsWindowVisible(Window()));
  EXPECT_FALSE(IconPresent());
  EXPECT_EQ(::GetForegroundWindow(), Window());
  TrayCommand(kTrayHideShow);  // "&Hide"
  EXPECT_TRUE(Icon().HiddenInTray());
  EXPECT_FALSE(::IsWindowVisible(Window()));
}

TEST_F(TrayTest, PositionIsNotRecordedWhileHidden) {
  ::SetWindowPos(Window(), nullptr, 90, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  Tick();
  const std::pair position(settings_.WindowLeft, settings_.WindowTop);
  Minimise();
  for (int i = 0; i < 3; ++i) {
    Tick();
  }
  EXPECT_EQ(std::pair(settings_.WindowLeft, settings_.WindowTop), position);

  TrayCommand(kTrayExit);
  EXPECT_EQ(window_->Window(), nullptr) << "the window is gone";
  EXPECT_FALSE(IconPresent()) << "the icon was removed";
  EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, SettingsKeyPath(), L"WindowX"),
            (RawValue{REG_DWORD, DwordBytes(static_cast<DWORD>(position.first))}))
      << "the position from before hiding";
}

TEST_F(TrayTest, ShellRestartBringsBackTheIconOfAHiddenWindowOnly) {
  const UINT taskbarCreated = ::RegisterWindowMessageW(L"TaskbarCreated");
  Minimise();
  IconMouse(WM_LBUTTONDBLCLK);
  ::SendMessageW(Icon().Window(), taskbarCreated, 0, 0);
  EXPECT_FALSE(IconPresent()) << "a shown window has no icon to restore";

  Minimise();
  // What a restarted shell looks like: our icon is gone.
  RemoveTrayIcon(kTrayIconId, {Icon().Window(), nullptr});
  ASSERT_FALSE(IconPresent());
  ::SendMessageW(Icon().Window(), taskbarCreated, 0, 0);
  EXPECT_TRUE(IconPresent());
  IconMouse(WM_LBUTTONDBLCLK);
  EXPECT_TRUE(::IsWindowVisible(Window()));
  EXPECT_FALSE(IconPresent());
}

}  // namespace
}  // namespace daymarker::testing
