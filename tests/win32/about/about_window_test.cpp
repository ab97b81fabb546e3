#include "ui/about/about_window.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "about_test_support.h"
#include "ui/dpi.h"
#include "ui/message_loop.h"

namespace daymarker {
namespace {

using namespace about_ids;
using namespace about_testing;

constexpr COLORREF kGrey = RGB(128, 128, 128);
constexpr COLORREF kWhite = RGB(255, 255, 255);

RECT ClientPixels(HWND about, int id) {
  RECT rect;
  ::GetWindowRect(::GetDlgItem(about, id), &rect);
  ::MapWindowPoints(nullptr, about, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

// Left, top, width and height in twips, read back from the real child window.
std::vector<int> ControlTwips(HWND about, int id) {
  const RECT r = ClientPixels(about, id);
  const UINT dpi = WindowDpi(about);
  return {PixelsToTwips(r.left, dpi), PixelsToTwips(r.top, dpi),
          PixelsToTwips(r.right - r.left, dpi), PixelsToTwips(r.bottom - r.top, dpi)};
}

// The client area as the window paints it into a bitmap.
class ClientPicture {
 public:
  explicit ClientPicture(HWND window) : dc_(::CreateCompatibleDC(nullptr)) {
    RECT client;
    ::GetClientRect(window, &client);
    HDC screen = ::GetDC(nullptr);
    bitmap_ = ::CreateCompatibleBitmap(screen, client.right, client.bottom);
    ::ReleaseDC(nullptr, screen);
    previous_ = ::SelectObject(dc_, bitmap_);
    ::SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc_),
                   PRF_CLIENT | PRF_ERASEBKGND);
  }
  ~ClientPicture() {
    ::SelectObject(dc_, previous_);
    ::DeleteObject(bitmap_);
    ::DeleteDC(dc_);
  }
  ClientPicture(const ClientPicture&) = delete;
  ClientPicture& operator=(const ClientPicture&) = delete;
  COLORREF At(int x, int y) const { return ::GetPixel(dc_, x, y); }

 private:
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ previous_;
};

LOGFONTW FontOf(HWND control) {
  LOGFONTW font{};
  ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)), sizeof(font),
               &font);
  return font;
}

SIZE BitmapSize(HBITMAP bitmap) {
  BITMAP info{};
  ::GetObjectW(bitmap, sizeof(info), &info);
  return {info.bmWidth, info.bmHeight};
}

class AboutWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    PumpFor(0ms);
    // Stands in for frmMain, the window the link's shell request is made for.
    mainWindow_ = ::CreateWindowExW(0, L"STATIC", L"Daymarker v1.03", WS_OVERLAPPEDWINDOW, 0, 0,
                                    300, 200, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(mainWindow_, nullptr);
  }
  void TearDown() override {
    Close();
    if (::IsWindow(mainWindow_)) {
      ::DestroyWindow(mainWindow_);
    }
  }

  HWND Open(const AboutContent& content = {}) {
    ShowAboutWindow(::GetModuleHandleW(nullptr), mainWindow_, content);
    PumpFor(30ms);
    return AboutWindowHandle();
  }
  static void Close() {
    if (HWND about = AboutWindowHandle()) {
      ::DestroyWindow(about);
    }
    PumpFor(20ms);
  }
  static HWND Control(int id) { return ::GetDlgItem(AboutWindowHandle(), id); }
  static std::wstring Text(int id) { return WindowText(Control(id)); }

  HWND mainWindow_ = nullptr;
};

TEST_F(AboutWindowTest, LaysOutWithAndWithoutTheCommentsRow) {
  const std::vector<std::pair<int, std::vector<int>>> upperBlock = {
      {kPicIcon, {240, 240, 480, 480}},         {kLblTitle, {960, 240, 2655, 240}},
      {kLblVersion, {3840, 240, 1695, 225}},    {kLblCopyright, {960, 480, 4575, 225}},
      {kLblDescription, {240, 840, 5295, 975}}, {kPicTolvane, {1920, 2040, 1920, 1200}},
      {kLblTolvane, {240, 3360, 5295, 495}},    {kLblRegTo, {240, 3960, 5295, 255}}};
  const struct {
    const char* name;
    std::wstring_view comments;
    int ruleY, clientHeight, disclaimerTop, okTop, sysInfoTop;
  } cases[] = {
      {"no comments: the row is taken out", L"", 4335, 5955, 4515, 4515, 4965},
      {"comments: the designed layout", L"Built for testing", 4935, 6555, 5115, 5115, 5565},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    AboutContent content;
    content.comments = c.comments;
    HWND about = Open(content);
    ASSERT_NE(about, nullptr);
    auto controls = upperBlock;
    controls.push_back({kLblDisclaimer, {240, c.disclaimerTop, 3870, 1185}});
    controls.push_back({kCmdOK, {4245, c.okTop, 1260, 345}});
    controls.push_back({kCmdSysInfo, {4260, c.sysInfoTop, 1245, 345}});
    if (!c.comments.empty()) {
      controls.push_back({kLblComments, {240, 4320, 5295, 495}});
    }
    for (const auto& [id, expected] : controls) {
      EXPECT_EQ(ControlTwips(about, id), expected) << "control " << id;
    }
    const UINT dpi = WindowDpi(about);
    RECT client;
    ::GetClientRect(about, &client);
    EXPECT_EQ(PixelsToTwips(client.right, dpi), 5760);
    EXPECT_EQ(PixelsToTwips(client.bottom, dpi), c.clientHeight);
    EXPECT_EQ(::IsWindowVisible(Control(kLblComments)) != FALSE, !c.comments.empty());
    EXPECT_EQ(Text(kLblComments), c.comments);
    // The logo fills the picture box inside its sunken border.
    HWND box = Control(kPicTolvane);
    RECT inside;
    ::GetClientRect(box, &inside);
    const SIZE logo =
        BitmapSize(reinterpret_cast<HBITMAP>(::SendMessageW(box, STM_GETIMAGE, IMAGE_BITMAP, 0)));
    EXPECT_NE(::GetWindowLongPtrW(box, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
    EXPECT_EQ(std::vector<LONG>({logo.cx, logo.cy, inside.right, inside.bottom}),
              std::vector<LONG>({124, 76, 124, 76}));

    // The etched rule: grey over white, the white half starting a little further right.
    const ClientPicture picture(about);
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    const int y = TwipsToPixels(c.ruleY, dpi);
    const int mid = TwipsToPixels(2880, dpi);
    const int grey = TwipsToPixels(90, dpi);
    const int white = TwipsToPixels(105, dpi);
    const std::vector<COLORREF> seen = {picture.At(mid, y - 1),       picture.At(mid, y),
                                        picture.At(mid, y + 1),       picture.At(mid, y + 2),
                                        picture.At(grey - 1, y),      picture.At(grey, y),
                                        picture.At(white - 1, y + 1), picture.At(white, y + 1)};
    EXPECT_EQ(seen, (std::vector<COLORREF>{face, kGrey, kWhite, face, face, kGrey, face, kWhite}));
    Close();
  }
}

TEST_F(AboutWindowTest, ShowsEveryTextInItsFont) {
  ASSERT_NE(Open(), nullptr);
  EXPECT_EQ(WindowText(AboutWindowHandle()), L"About Daymarker");
  const COLORREF scheme = ::GetSysColor(COLOR_BTNTEXT);
  const struct {
    int id;
    std::wstring text;
    LONG weight;
    bool italic, underline;
    COLORREF colour;
  } cases[] = {
      {kLblTitle, L"Daymarker", FW_BOLD, false, false, RGB(0, 0, 0)},
      {kLblVersion, L"Version 1.03", FW_NORMAL, false, false, scheme},
      {kLblCopyright, std::wstring(kCopyright), FW_NORMAL, false, false, scheme},
      {kLblDescription,
       L"Daymarker simply counts down to a time and date you specify.  It will also sit in the "
       L"System Tray, reporting remaining time whenever you hover over it.  It can be configured "
       L"to display the time in various different ways including Seconds ONLY.",
       FW_NORMAL, false, false, RGB(0, 0, 0)},
      {kLblTolvane,
       L"Visit the Tolvane website for more FREE software\r\n(https://tolvane.example/)", FW_NORMAL,
       false, true, RGB(0, 0, 255)},
      {kLblRegTo, L"Registered to: FREEWARE!", FW_NORMAL, true, false, scheme},
      {kLblDisclaimer, L"\r\n\r\n\r\n\r\n\r\n", FW_NORMAL, false, false, RGB(0, 0, 0)},
      {kCmdOK, L"OK", FW_NORMAL, false, false, CLR_INVALID},
      {kCmdSysInfo, L"&System Info...", FW_NORMAL, false, false, CLR_INVALID},
  };
  const LONG height = -std::lround(8.25 * WindowDpi(AboutWindowHandle()) / 72.0);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    EXPECT_EQ(Text(c.id), c.text);
    const LOGFONTW font = FontOf(Control(c.id));
    EXPECT_STREQ(font.lfFaceName, L"Tahoma");
    EXPECT_EQ(font.lfHeight, height);
    EXPECT_EQ(font.lfWeight, c.weight);
    EXPECT_EQ(font.lfItalic != 0, c.italic);
    EXPECT_EQ(font.lfUnderline != 0, c.underline);
    if (c.colour != CLR_INVALID) {
      HDC dc = ::CreateCompatibleDC(nullptr);
      ::SendMessageW(AboutWindowHandle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(Control(c.id)));
      EXPECT_EQ(::GetTextColor(dc), c.colour);
      ::DeleteDC(dc);
    }
  }
  Close();

  const struct {
    Version version;
    const wchar_t* text;
  } versions[] = {{{1, 3, 7}, L"Version 1.03.0007"}, {{2, 10, 12345}, L"Version 2.10.12345"}};
  for (const auto& v : versions) {
    AboutContent content;
    content.version = v.version;
    ASSERT_NE(Open(content), nullptr);
    EXPECT_EQ(Text(kLblVersion), v.text);
    Close();
  }
}

TEST_F(AboutWindowTest, IsAFixedDialogOffTheTaskbarCentredAndIndependentOfTheMainWindow) {
  HWND about = Open();
  ASSERT_NE(about, nullptr);
  const LONG_PTR style = ::GetWindowLongPtrW(about, GWL_STYLE);
  const LONG_PTR exStyle = ::GetWindowLongPtrW(about, GWL_EXSTYLE);
  const struct {
    LONG_PTR bits, flag;
    bool present;
  } flags[] = {
      {style, WS_CAPTION, true},         {style, WS_SYSMENU, true},
      {style, WS_THICKFRAME, false},     {style, WS_MINIMIZEBOX, false},
      {style, WS_MAXIMIZEBOX, false},    {exStyle, WS_EX_DLGMODALFRAME, true},
      {exStyle, WS_EX_APPWINDOW, false}, {exStyle, WS_EX_TOOLWINDOW, false},
  };
  for (const auto& c : flags) {
    EXPECT_EQ((c.bits & c.flag) == c.flag, c.present) << std::hex << c.flag;
  }
  // An owner keeps it off the taskbar; a hidden one of its own keeps it apart from frmMain.
  HWND owner = ::GetWindow(about, GW_OWNER);
  EXPECT_NE(owner, nullptr);
  EXPECT_NE(owner, mainWindow_);
  EXPECT_FALSE(::IsWindowVisible(owner));
  EXPECT_EQ(::GetFocus(), Control(kCmdOK));
  EXPECT_EQ(OpenTopLevelWindowCount(), 1);

  RECT work, frame;
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  ::GetWindowRect(about, &frame);
  EXPECT_NEAR(frame.left + frame.right, work.left + work.right, 2);
  EXPECT_NEAR(frame.top + frame.bottom, work.top + work.bottom, 2);

  ::DestroyWindow(mainWindow_);
  PumpFor(30ms);
  EXPECT_EQ(AboutWindowHandle(), about);
  EXPECT_TRUE(::IsWindowVisible(about));
}

TEST_F(AboutWindowTest, ShowingAnOpenWindowBringsItForwardWithoutLoadingIt) {
  HWND about = Open();
  ASSERT_NE(about, nullptr);
  ::SetWindowTextW(Control(kLblRegTo), L"changed by the test");
  AboutContent other;
  other.comments = L"would show the comments row";
  EXPECT_EQ(Open(other), about);
  EXPECT_EQ(Text(kLblRegTo), L"changed by the test");
  EXPECT_FALSE(::IsWindowVisible(Control(kLblComments)));
  EXPECT_EQ(OpenTopLevelWindowCount(), 1);
}

TEST_F(AboutWindowTest, EveryWayOfClosingUnloadsAndTheNextOpeningLoadsAfresh) {
  const struct {
    const char* name;
    UINT message;
    WPARAM wParam;
    int target;  // 0: the window itself
  } cases[] = {
      {"close box", WM_SYSCOMMAND, SC_CLOSE, 0},
      {"WM_CLOSE", WM_CLOSE, 0, 0},
      {"OK clicked", BM_CLICK, 0, kCmdOK},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    HWND about = Open();
    ASSERT_NE(about, nullptr);
    HWND owner = ::GetWindow(about, GW_OWNER);
    ::SetWindowTextW(Control(kLblRegTo), L"changed by the test");
    ::SendMessageW(c.target == 0 ? about : Control(c.target), c.message, c.wParam, 0);
    EXPECT_FALSE(::IsWindow(about));
    EXPECT_EQ(AboutWindowHandle(), nullptr);
    EXPECT_EQ(OpenTopLevelWindowCount(), 0);
    EXPECT_TRUE(PumpUntil([owner] { return !::IsWindow(owner); }, 2s)) << "hidden owner left";
    ASSERT_NE(Open(), nullptr);
    EXPECT_EQ(Text(kLblRegTo), L"Registered to: FREEWARE!");
    Close();
  }
}

TEST_F(AboutWindowTest, EnterAndEscapeCloseAndSystemInfoAnswersToItsKeys) {
  const struct {
    const char* name;
    int focus;
    UINT message;
    WPARAM key;
    LPARAM keyData;
    bool closes;  // else System Info runs and shows its message
  } cases[] = {
      {"Enter on OK", kCmdOK, WM_KEYDOWN, VK_RETURN, 0x001C0001, true},
      {"Escape on OK", kCmdOK, WM_KEYDOWN, VK_ESCAPE, 0x00010001, true},
      {"Escape on System Info", kCmdSysInfo, WM_KEYDOWN, VK_ESCAPE, 0x00010001, true},
      {"Enter on System Info", kCmdSysInfo, WM_KEYDOWN, VK_RETURN, 0x001C0001, false},
      {"Alt+S", kCmdOK, WM_SYSCHAR, L's', 0x201F0001, false},
  };
  const MsinfoKeysGuard keys;  // neither key, so System Info only shows its message
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    HWND about = Open();
    ASSERT_NE(about, nullptr);
    ::SetFocus(Control(c.focus));
    PumpFor(20ms);
    ASSERT_EQ(::GetFocus(), Control(c.focus));
    MessageBoxWatcher watcher(5s);
    ::PostMessageW(::GetFocus(), c.message, c.key, c.keyData);
    PumpUntil([&] { return !::IsWindow(about) || watcher.Seen(); }, 5s);
    PumpFor(50ms);
    const std::optional<SeenBox> box = watcher.Finish();
    EXPECT_EQ(!::IsWindow(about), c.closes);
    EXPECT_EQ(box.has_value(), !c.closes);
    if (box) {
      EXPECT_EQ(box->text, L"System Information Is Unavailable At This Time");
    }
    Close();
  }
}

TEST_F(AboutWindowTest, LinkShowsTheHandCursorAndItsTooltip) {
  HWND about = Open();
  ASSERT_NE(about, nullptr);
  for (const auto& [id, hand] :
       {std::pair{kLblTolvane, true}, std::pair{kLblRegTo, false}, std::pair{kPicTolvane, false}}) {
    SCOPED_TRACE(id);
    ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
    // Sent to the control, which asks its parent first, as on a real mouse move.
    ::SendMessageW(Control(id), WM_SETCURSOR, reinterpret_cast<WPARAM>(Control(id)),
                   MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    ICONINFO info{};
    ASSERT_TRUE(::GetIconInfo(::GetCursor(), &info));
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    EXPECT_EQ(!info.fIcon && info.xHotspot == 6 && info.yHotspot == 1, hand);
  }

  HWND tooltip = nullptr;
  for (HWND w = ::GetWindow(::GetDesktopWindow(), GW_CHILD); w != nullptr;
       w = ::GetWindow(w, GW_HWNDNEXT)) {
    if (::_wcsicmp(ClassName(w).c_str(), TOOLTIPS_CLASSW) == 0 &&
        ::GetWindow(w, GW_OWNER) == about) {
      tooltip = w;
    }
  }
  ASSERT_NE(tooltip, nullptr);
  EXPECT_EQ(::SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0), 1);
  wchar_t text[128] = {};
  TOOLINFOW tool{TTTOOLINFOW_V2_SIZE};
  tool.hwnd = about;
  tool.uId = reinterpret_cast<UINT_PTR>(Control(kLblTolvane));
  ASSERT_TRUE(::SendMessageW(tooltip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool)));
  EXPECT_EQ(tool.uFlags & (TTF_IDISHWND | TTF_SUBCLASS), UINT{TTF_IDISHWND | TTF_SUBCLASS});
  tool.lpszText = text;
  ::SendMessageW(tooltip, TTM_GETTEXTW, std::size(text), reinterpret_cast<LPARAM>(&tool));
  EXPECT_STREQ(text, L"Click to visit the Tolvane Website...");
}

TEST_F(AboutWindowTest, ClickingTheLinkOpensTheWebsiteShownNormallyAndCloses) {
  const ScratchFolder scratch(L"link");
  for (const bool mainWindowGone : {false, true}) {
    SCOPED_TRACE(mainWindowGone ? "main window closed first" : "main window open");
    // A program stands in for the website, so that the shell's request can be seen.
    const std::wstring website = scratch.Path() + (mainWindowGone ? L"\\gone.exe" : L"\\web.exe");
    ASSERT_TRUE(::CopyFileW(ProbeProgram().c_str(), website.c_str(), FALSE));
    AboutContent content;
    content.website = website;
    HWND about = Open(content);
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(Text(kLblTolvane),
              L"Visit the Tolvane website for more FREE software\r\n(" + website + L")");
    if (mainWindowGone) {
      ::DestroyWindow(mainWindow_);
    }
    HWND link = Control(kLblTolvane);
    ::SendMessageW(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
    ::SendMessageW(link, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
    EXPECT_FALSE(::IsWindow(about));
    const std::optional<ProbeReport> report = WaitForProbe(website);
    ASSERT_TRUE(report.has_value()) << "the website was not opened";
    EXPECT_EQ(report->showCommand, std::to_wstring(SW_SHOWNORMAL));
  }
}

TEST_F(AboutWindowTest, LaysOutAgainForANewDpi) {
  HWND about = Open();
  ASSERT_NE(about, nullptr);
  constexpr UINT kDpi = 144;
  RECT suggested{40, 30, 640, 680};
  ::SendMessageW(about, WM_DPICHANGED, MAKEWPARAM(kDpi, kDpi),
                 reinterpret_cast<LPARAM>(&suggested));
  RECT frame;
  ::GetWindowRect(about, &frame);
  EXPECT_EQ(std::pair(frame.left, frame.top), std::pair(suggested.left, suggested.top));
  for (const auto& [id, twips] : {std::pair{kCmdOK, RECT{4245, 4515, 5505, 4860}},
                                  std::pair{kLblTitle, RECT{960, 240, 3615, 480}},
                                  std::pair{kPicTolvane, RECT{1920, 2040, 3840, 3240}}}) {
    const RECT r = ClientPixels(about, id);
    EXPECT_EQ(
        std::vector<LONG>({r.left, r.top, r.right, r.bottom}),
        std::vector<LONG>({TwipsToPixels(twips.left, kDpi), TwipsToPixels(twips.top, kDpi),
                           TwipsToPixels(twips.right, kDpi), TwipsToPixels(twips.bottom, kDpi)}))
        << "control " << id;
  }
  const LOGFONTW title = FontOf(Control(kLblTitle));
  EXPECT_EQ(title.lfHeight, -std::lround(8.25 * kDpi / 72.0));
  EXPECT_EQ(title.lfWeight, FW_BOLD);
  EXPECT_TRUE(FontOf(Control(kLblTolvane)).lfUnderline);

  RECT inside;
  ::GetClientRect(Control(kPicTolvane), &inside);
  const SIZE logo = BitmapSize(reinterpret_cast<HBITMAP>(
      ::SendMessageW(Control(kPicTolvane), STM_GETIMAGE, IMAGE_BITMAP, 0)));
  EXPECT_EQ(std::pair(logo.cx, logo.cy), std::pair(inside.right, inside.bottom));
  EXPECT_GT(logo.cx, 124);
  const ClientPicture picture(about);
  EXPECT_EQ(picture.At(TwipsToPixels(2880, kDpi), TwipsToPixels(4335, kDpi)), kGrey);
}

}  // namespace
}  // namespace daymarker
