#include "ui/about/about_window.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "about_test_support.h"
#include "ui/dpi.h"
#include "win/handles.h"

namespace daymarker {
namespace {

using namespace about_ids;
using namespace about_testing;

int TopTwips(HWND about, int id) {
  RECT rect;
  ::GetWindowRect(::GetDlgItem(about, id), &rect);
  ::MapWindowPoints(nullptr, about, reinterpret_cast<POINT*>(&rect), 2);
  return PixelsToTwips(rect.top, WindowDpi(about));
}

// The pixels at x and y - 1 to y + 1 of the client area, painted into a bitmap,
// which no other window can cover as on the screen.
std::vector<COLORREF> PaintedAround(HWND window, int x, int y) {
  RECT client;
  ::GetClientRect(window, &client);
  // The bitmap goes last, once the DC it is selected into is gone.
  const ScopedBitmap bitmap(::CreateBitmap(client.right, client.bottom, 1, 32, nullptr));
  const ScopedHandle<HDC, &::DeleteDC> dc(::CreateCompatibleDC(nullptr));
  ::SelectObject(dc.Get(), bitmap.Get());
  ::SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.Get()),
                 PRF_CLIENT | PRF_ERASEBKGND);
  return {::GetPixel(dc.Get(), x, y - 1), ::GetPixel(dc.Get(), x, y),
          ::GetPixel(dc.Get(), x, y + 1)};
}

class AboutWindowTest : public ::testing::Test {
 protected:
  void TearDown() override {
    Close();
    ::DestroyWindow(mainWindow_);
  }
  HWND Open(const AboutContent& content = {}) {
    ShowAboutWindow(::GetModuleHandleW(nullptr), mainWindow_, content);
    PumpUntil([] { return false; }, 30ms);
    return AboutWindowHandle();
  }
  static void Close() {
    ::DestroyWindow(AboutWindowHandle());
    PumpUntil([] { return false; }, 20ms);
  }
  static HWND Control(int id) { return ::GetDlgItem(AboutWindowHandle(), id); }

  HWND mainWindow_ = ::CreateWindowExW(0, L"STATIC", L"Daymarker v1.03", WS_OVERLAPPEDWINDOW, 0, 0,
                                       300, 200, nullptr, nullptr, nullptr, nullptr);
};

TEST_F(AboutWindowTest, TakesTheCommentsRowOutWhenThereAreNoComments) {
  // Comments; the rule's Y; the tops of lblDisclaimer, cmdOK and cmdSysInfo; the client height.
  for (const auto& [comments, ruleY, tops] :
       {std::tuple{L"", 4335, std::vector<int>{4515, 4515, 4965, 5955}},
        std::tuple{L"Built for testing", 4935, std::vector<int>{5115, 5115, 5565, 6555}}}) {
    HWND about = Open({.comments = comments});
    ASSERT_NE(about, nullptr);
    RECT client;
    ::GetClientRect(about, &client);
    const UINT dpi = WindowDpi(about);
    EXPECT_EQ(std::vector<int>({TopTwips(about, kLblDisclaimer), TopTwips(about, kCmdOK),
                                TopTwips(about, kCmdSysInfo), PixelsToTwips(client.bottom, dpi)}),
              tops);
    EXPECT_EQ(::IsWindowVisible(Control(kLblComments)) != FALSE, *comments != L'\0');
    EXPECT_EQ(WindowText(Control(kLblComments)), comments);
    // The etched rule: a grey line over a white one.
    EXPECT_EQ(PaintedAround(about, TwipsToPixels(2880, dpi), TwipsToPixels(ruleY, dpi)),
              std::vector<COLORREF>(
                  {::GetSysColor(COLOR_BTNFACE), RGB(128, 128, 128), RGB(255, 255, 255)}));
    Close();
  }
}

TEST_F(AboutWindowTest, ShowsTheTextsOfWhatItIsGiven) {
  HWND about = Open();
  ASSERT_NE(about, nullptr);
  for (const auto& [window, text] : std::vector<std::pair<HWND, std::wstring>>{
           {about, L"About Daymarker"},
           {Control(kLblTitle), L"Daymarker"},
           {Control(kLblVersion), L"Version 1.03"},
           {Control(kLblRegTo), L"Registered to: FREEWARE!"},
           {Control(kLblTolvane),
            L"Visit the Tolvane website for more FREE software\r\n(https://tolvane.example/)"}}) {
    EXPECT_EQ(WindowText(window), text);
  }
  Close();
  ASSERT_NE(Open({.version = {1, 3, 7}}), nullptr);
  EXPECT_EQ(WindowText(Control(kLblVersion)), L"Version 1.03.0007");
}

TEST_F(AboutWindowTest, ShowingAgainKeepsTheOneWindowWhichEnterAndEscapeClose) {
  HWND about = Open();
  ASSERT_NE(about, nullptr);
  ::SetWindowTextW(Control(kLblRegTo), L"changed by the test");
  EXPECT_EQ(Open(), about);
  EXPECT_EQ(WindowText(Control(kLblRegTo)), L"changed by the test");
  // An owned window gets no taskbar button unless it asks for one.
  EXPECT_NE(::GetWindow(about, GW_OWNER), nullptr);
  EXPECT_NE(::GetWindow(about, GW_OWNER), mainWindow_);
  EXPECT_EQ(::GetWindowLongPtrW(about, GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);

  for (const WPARAM key : {VK_RETURN, VK_ESCAPE}) {
    ::SetFocus(Control(kCmdOK));
    ::PostMessageW(Control(kCmdOK), WM_KEYDOWN, key, 1);
    EXPECT_TRUE(PumpUntil([about] { return !::IsWindow(about); }, 2s)) << key;
    about = Open();
    EXPECT_EQ(WindowText(Control(kLblRegTo)), L"Registered to: FREEWARE!") << "loaded afresh";
    ::SetWindowTextW(Control(kLblRegTo), L"changed by the test");
  }
}

TEST_F(AboutWindowTest, ClickingTheLinkOpensTheWebsiteShownNormallyAndCloses) {
  // The probe stands in for the website, so that the shell's request can be seen.
  ::RegDeleteTreeW(HKEY_CURRENT_USER, kProbeKey);
  const std::wstring website = ProbeProgram();
  HWND about = Open({.website = website});
  ASSERT_NE(about, nullptr);
  ::SendMessageW(Control(kLblTolvane), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
  ::SendMessageW(Control(kLblTolvane), WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
  EXPECT_FALSE(::IsWindow(about));
  const std::wstring report = WaitForProbe(website, 15s).value_or(L"not opened");
  EXPECT_EQ(report.substr(report.find(L'\n') + 1), std::to_wstring(SW_SHOWNORMAL));
  ::RegDeleteTreeW(HKEY_CURRENT_USER, kProbeKey);
}

}  // namespace
}  // namespace daymarker
