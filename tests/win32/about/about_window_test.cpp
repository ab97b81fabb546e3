// The About window, what its System Info button starts, and the version
// record it shows the copyright of.
#include "ui/about/about_window.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "settings/registry.h"
#include "tests/win32/support/registry_support.h"
#include "tests/win32/support/window_support.h"
#include "ui/about/about_ids.h"
#include "ui/about/sysinfo.h"
#include "ui/dpi.h"
#include "win/handles.h"
#include "win/system_functions.h"

namespace daymarker {
namespace {

using namespace about_ids;
using namespace std::chrono_literals;
using namespace testing;

// sysinfo_probe.exe writes here, under a value named by its own path.
constexpr wchar_t kProbeKey[] = L"Software\\Tolvane\\DaymarkerAboutProbes";

// What a copy of the probe at program reported when started: its command line,
// a line feed and its show command ("-" for none); nothing if it did not start in time.
std::wstring WaitForProbe(const std::wstring& program, std::chrono::milliseconds timeout) {
  const auto report = [&] { return ReadRegSetting(HKEY_CURRENT_USER, kProbeKey, program); };
  PumpUntil([&] { return !report().empty(); }, timeout);
  return report();
}

// The pixels of an area of the client, row by row, as the window paints itself
// into a bitmap, which no other window can cover as on the screen; or, with no
// window, as an icon draws itself there at its own size.
std::vector<COLORREF> Painted(HWND window, const RECT& area, HICON icon = nullptr) {
  // The bitmap goes last, once the DC it is selected into is gone.
  const ScopedBitmap bitmap(::CreateBitmap(area.right, area.bottom, 1, 32, nullptr));
  const ScopedHandle<HDC, &::DeleteDC> dc(::CreateCompatibleDC(nullptr));
  ::SelectObject(dc.Get(), bitmap.Get());
  ::SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.Get()),
                 PRF_CLIENT | PRF_ERASEBKGND);
  ::DrawIconEx(dc.Get(), 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
  std::vector<COLORREF> pixels;
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) {
      pixels.push_back(::GetPixel(dc.Get(), x, y));
    }
  }
  return pixels;
}

// The etched rule's own colours: a grey line over a white one.
constexpr COLORREF kGrey = RGB(128, 128, 128), kWhite = RGB(255, 255, 255);

// The About window as the main window holds it; letting go closes it.
std::unique_ptr<ObjectWindow> g_about;

class AboutWindowTest : public ::testing::Test {
 protected:
  void TearDown() override {
    g_about.reset();
    ::DestroyWindow(mainWindow_);
  }
  HWND Open() {
    ShowAboutWindow(g_about, ::GetModuleHandleW(nullptr), mainWindow_);
    PumpUntil([] { return false; }, 30ms);
    return AboutWindowHandle();
  }
  static HWND Control(int id) { return ::GetDlgItem(AboutWindowHandle(), id); }

  HWND mainWindow_ = ::CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200,
                                       nullptr, nullptr, nullptr, nullptr);
};

// Every control as designed: its place in pixels at 96 DPI, as the window
// starts, at 144, and at 1440, where a pixel is a twip and each place a whole
// number of pixels at 96 fifteen times over; and its words, the program's own,
// in Tahoma, the title bold, the registration italic, the link underlined.
// The program has no comments, so their row is taken out and what lies below
// it moves up by 40 pixels at 96 DPI, the window with it. The title, the icons
// and the logo come with the window.
TEST_F(AboutWindowTest, KeepsItsColoursSeenShowsTheLinkWithItsHandAndTipAndLaysOutEachControl) {
  HWND about = Open();
  // Some labels, the link and the rule keep their colours where those are seen
  // on the button face; the other labels follow the scheme. On a black face the
  // texts take the scheme's colours; on a dim one the rule too, and the link the
  // text colour, as the scheme's link colour is not seen there either.
  const std::array elements = {COLOR_BTNFACE, COLOR_BTNTEXT, COLOR_HOTLIGHT, COLOR_3DHILIGHT,
                               COLOR_3DSHADOW};
  std::array<COLORREF, elements.size()> schemed{};
  std::ranges::transform(elements, schemed.begin(), ::GetSysColor);
  const COLORREF black = RGB(0, 0, 0), dim = RGB(64, 64, 64), light = RGB(201, 201, 201);
  const COLORREF dark = RGB(3, 3, 3), yellow = RGB(255, 255, 0), blue = RGB(0, 0, 255);
  // The scheme; the fixed labels' colour and the link's; the rule's dark and light halves.
  const std::tuple<decltype(schemed), COLORREF, COLORREF, COLORREF, COLORREF> schemes[] = {
      {{schemed[0], RGB(1, 2, 3), schemed[2], schemed[3], schemed[4]}, black, blue, kGrey, kWhite},
      {{black, kWhite, yellow, RGB(1, 1, 1), dark}, kWhite, yellow, kGrey, kWhite},
      {{dim, kWhite, RGB(0, 0, 128), light, dark}, kWhite, kWhite, dark, light},
  };
  int colourChanges = 0;
  const SUBCLASSPROC count = [](HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                UINT_PTR /*id*/, DWORD_PTR changes) CALLBACK -> LRESULT {
    *reinterpret_cast<int*>(changes) += message == WM_SYSCOLORCHANGE ? 1 : 0;
    return ::DefSubclassProc(control, message, wParam, lParam);
  };
  ::SetWindowSubclass(Control(kCmdSysInfo), count, 1, reinterpret_cast<DWORD_PTR>(&colourChanges));
  const ScopedHandle<HDC, &::DeleteDC> dc(::CreateCompatibleDC(nullptr));
  for (const auto& [colours, label, link, darkHalf, lightHalf] : schemes) {
    ::SetSysColors(elements.size(), elements.data(), colours.data());
    for (const auto& [id, colour] :
         {std::pair{kLblTolvane, link}, std::pair{kLblTitle, label},
          std::pair{kLblDescription, label}, std::pair{kLblDisclaimer, label},
          std::pair{kLblRegTo, colours[1]}}) {
      ::SendMessageW(about, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.Get()),
                     reinterpret_cast<LPARAM>(Control(id)));
      EXPECT_EQ(::GetTextColor(dc.Get()), colour) << id << " on " << colours[0];
      EXPECT_EQ(::GetBkColor(dc.Get()), colours[0]) << id;
    }
    // The rule, whose top is at 289 pixels, across its middle: the face above it, then its halves.
    EXPECT_EQ(Painted(about, {192, 288, 193, 291}), std::vector({colours[0], darkHalf, lightHalf}));
  }
  // The controls hear of every change, the scheme's return too, and a change
  // of settings repaints them.
  ::SetSysColors(elements.size(), elements.data(), schemed.data());
  EXPECT_EQ(colourChanges, 4);
  ::RedrawWindow(about, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  ::SendMessageW(about, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
  EXPECT_TRUE(::GetUpdateRect(Control(kLblTitle), nullptr, FALSE));

  // Over the link the pointer is the system's hand, and its tooltip says where it leads.
  // Off the link, over OK, the arrow comes back.
  const HWND linkLabel = Control(kLblTolvane);
  for (const auto& [at, shape] : {std::pair{linkLabel, IDC_HAND}, {Control(kCmdOK), IDC_ARROW}}) {
    ::SendMessageW(about, WM_SETCURSOR, reinterpret_cast<WPARAM>(at),
                   MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, shape)) << at;
  }
  HWND tooltip = ::FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr);
  while (tooltip != nullptr && ::GetWindow(tooltip, GW_OWNER) != about) {
    tooltip = ::FindWindowExW(nullptr, tooltip, TOOLTIPS_CLASSW, nullptr);
  }
  wchar_t tip[128] = {};
  const auto toolId = reinterpret_cast<UINT_PTR>(linkLabel);  // the tool is the link's window
  TOOLINFOW tool{.cbSize = TTTOOLINFOW_V2_SIZE, .hwnd = about, .uId = toolId, .lpszText = tip};
  ::SendMessageW(tooltip, TTM_GETTEXTW, std::size(tip), reinterpret_cast<LPARAM>(&tool));
  EXPECT_STREQ(tip, L"Click to visit the Tolvane Website...");
  // The tooltip watches the link's window itself for the pointer.
  ::SendMessageW(tooltip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool));
  EXPECT_EQ(tool.uFlags & (TTF_IDISHWND | TTF_SUBCLASS), UINT{TTF_IDISHWND | TTF_SUBCLASS});

  // And as laid out.
  EXPECT_EQ(WindowText(about), L"About Daymarker");
  // Each icon is its resource at its size: the About icon's in the frame, the program's in the
  // picture.
  for (const auto& [shown, size, resource] :
       {std::tuple{::SendMessageW(about, WM_GETICON, ICON_BIG, 0), 32, 901},
        {::SendMessageW(about, WM_GETICON, ICON_SMALL, 0), 16, 901},
        {::SendMessageW(Control(kPicIcon), STM_GETIMAGE, IMAGE_ICON, 0), 32, 1}}) {
    const ScopedIcon loaded(static_cast<HICON>(::LoadImageW(
        ::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resource), IMAGE_ICON, size, size, 0)));
    EXPECT_EQ(Painted(nullptr, {0, 0, size, size}, reinterpret_cast<HICON>(shown)),
              Painted(nullptr, {0, 0, size, size}, loaded.Get()))
        << resource;
  }
  BITMAP logo{};
  ::GetObjectW(reinterpret_cast<HBITMAP>(
                   ::SendMessageW(Control(kPicTolvane), STM_GETIMAGE, IMAGE_BITMAP, 0)),
               sizeof(logo), &logo);
  EXPECT_EQ(std::pair(logo.bmWidth, logo.bmHeight), std::pair(124L, 76L));
  // The client area at the start only: Wine keeps its frames' sizes at another DPI.
  RECT client;
  ::GetClientRect(about, &client);
  EXPECT_EQ(EdgesOf(client), (Edges{0, 0, 384, 397}));
  EXPECT_FALSE(::IsWindowVisible(Control(kLblComments)));
  EXPECT_EQ(::GetWindowLongPtrW(Control(kLblVersion), GWL_STYLE) & (SS_TYPEMASK | SS_NOPREFIX),
            SS_RIGHT | SS_NOPREFIX);  // flush with the window's right edge, "&" as it is
  const wchar_t* const description =
      L"Daymarker simply counts down to a time and date you specify.  It will also sit in the "
      L"System Tray, reporting remaining time whenever you hover over it.  It can be "
      L"configured to display the time in various different ways including Seconds ONLY.";
  const wchar_t* const link =
      L"Visit the Tolvane website for more FREE software\r\n(https://tolvane.example/)";
  const std::initializer_list<Placed> controls = {
      {kCmdOK, {283, 301, 367, 324}, {425, 452, 551, 486}, 'n', L"OK"},
      {kCmdSysInfo, {284, 331, 367, 354}, {426, 497, 551, 531}, 'n', L"&System Info..."},
      {kLblDescription, {16, 56, 369, 121}, {24, 84, 554, 182}, 'n', description},
      {kLblDisclaimer, {16, 301, 274, 380}, {24, 452, 411, 570}, 'n', L"\r\n\r\n\r\n\r\n\r\n"},
      {kLblTitle, {64, 16, 241, 32}, {96, 24, 362, 48}, 'b', L"Daymarker"},
      {kLblVersion, {256, 16, 369, 31}, {384, 24, 554, 47}, 'n', L"Version 1.03"},
      {kLblCopyright, {64, 32, 369, 47}, {96, 48, 554, 71}, 'n', L"Copyright (C) 2026 Tolvane"},
      {kLblRegTo, {16, 264, 369, 281}, {24, 396, 554, 422}, 'i', L"Registered to: FREEWARE!"},
      {kPicTolvane, {128, 136, 256, 216}, {192, 204, 384, 324}, 0, nullptr, WS_EX_CLIENTEDGE},
      {kLblTolvane, {16, 224, 369, 257}, {24, 336, 554, 386}, 'u', link},
      // Its size follows the DPI.
      {kPicIcon, {16, 16, 48, 48}, {24, 24, 72, 72}, 0},
  };
  for (const auto& [at, height] : {std::pair{96u, -11L}, {144u, -17L}, {1440u, -165L}}) {
    if (at != WindowDpi(about)) {  // first as the load left them
      ChangeDpi(about, at);
    }
    if (at == 144) {  // the rule's grey half grows to 2 pixels, the white one below it to 1
      EXPECT_EQ(Painted(about, {288, 433, 289, 438}),
                std::vector({schemed[0], kGrey, kGrey, kWhite, schemed[0]}));  // on the face
    }
    ExpectPlaced(about, at, height, WS_EX_DLGMODALFRAME | WS_EX_CLIENTEDGE | WS_EX_STATICEDGE,
                 controls);
  }
}

// The shell as the link reaches it: the real one, given the probe in place of
// the website so that its request can be seen; first, where asked, showing a
// window of its own for the address (an "Open with" prompt) and running
// messages until the user answers, while the user presses the About window's
// OK and opens About again.
std::tuple<HWND, std::wstring, std::wstring> g_request;  // its owner, verb and address
std::wstring g_probe = BesideThisProgram(L"sysinfo_probe.exe");
bool g_shellShowsAWindow = false;
HWND g_reopened = nullptr;

HINSTANCE WINAPI Shell(HWND owner, LPCWSTR verb, LPCWSTR address, LPCWSTR parameters,
                       LPCWSTR folder, INT show) {
  if (HWND about = AboutWindowHandle(); g_shellShowsAWindow) {
    ::PostMessageW(::GetDlgItem(about, kCmdOK), BM_CLICK, 0, 0);
    PumpUntil([about] { return !::IsWindow(about); }, 2s);
    ShowAboutWindow(g_about, ::GetModuleHandleW(nullptr), owner);
    g_reopened = AboutWindowHandle();
  }
  // Read only now, after the window that gave them may have gone.
  g_request = {owner, verb != nullptr ? verb : L"(default)", address};
  return ::ShellExecuteW(owner, verb, g_probe.c_str(), parameters, folder, show);
}

// Shown again, the one window comes forward as it is. Enter or Escape at OK,
// the close box, or the link close it and its hidden owner, and the next load
// starts afresh. The link by a click, or from the keyboard: Tab from OK past
// System Info to it, where a focus cue shows, and Enter or Space. The click
// goes to the shell; the keys to one that shows a window of its own first,
// leaving the About window opened meanwhile alone. Both get the website.
TEST_F(AboutWindowTest, ShowingAgainKeepsTheOneWindowWhichOKTheCloseBoxAndTheLinkClose) {
  const system_functions::ShellExecuteW::StandIn shell(Shell);
  // Where a message goes (0: the window), which, and its key.
  const std::tuple<int, UINT, WPARAM> ways[] = {{kCmdOK, WM_KEYDOWN, VK_RETURN},
                                                {kCmdOK, WM_KEYDOWN, VK_ESCAPE},
                                                {0, WM_CLOSE, 0},
                                                {kLblTolvane, WM_LBUTTONDOWN, MK_LBUTTON},
                                                {kLblTolvane, WM_KEYDOWN, VK_RETURN},
                                                {kLblTolvane, WM_KEYDOWN, VK_SPACE}};
  for (const auto& [id, message, key] : ways) {
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kProbeKey);
    g_request = {};  // g_reopened is left: a stale one is a closed window's, which fails the check
    const bool link = id == kLblTolvane, click = message == WM_LBUTTONDOWN;
    g_shellShowsAWindow = link && !click;  // the link from the keyboard
    HWND about = Open();
    ::SetWindowTextW(Control(kLblRegTo), L"changed by the test");
    EXPECT_EQ(Open(), about);
    EXPECT_EQ(WindowText(Control(kLblRegTo)), L"changed by the test");
    // An owned window gets no taskbar button unless it asks for one; its owner is
    // checked at the end, where only the About window opened meanwhile has one.
    EXPECT_EQ(::GetWindowLongPtrW(about, GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);

    // Centred on the work area of the main window's monitor.
    MONITORINFO monitor{sizeof(monitor)};
    ::GetMonitorInfoW(::MonitorFromWindow(mainWindow_, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT frame = ChildRect(nullptr, about);
    EXPECT_LE(std::abs(frame.left + frame.right - monitor.rcWork.left - monitor.rcWork.right), 1);
    EXPECT_LE(std::abs(frame.top + frame.bottom - monitor.rcWork.top - monitor.rcWork.bottom), 1);
    // The focused button is the default one, so Enter presses it.
    for (const auto& [focus, other] : {std::pair{kCmdSysInfo, kCmdOK}, {kCmdOK, kCmdSysInfo}}) {
      ::SetFocus(Control(focus));
      EXPECT_EQ(::GetWindowLongPtrW(Control(focus), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
      EXPECT_EQ(::GetWindowLongPtrW(Control(other), GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
    }

    const HWND target = id != 0 ? Control(id) : about;
    if (g_shellShowsAWindow) {
      const RECT whole = ChildRect(target, target);  // the link has no border
      const std::vector<COLORREF> unfocused = Painted(target, whole);
      ::PostMessageW(Control(kCmdOK), WM_KEYDOWN, VK_TAB, 1);
      ::PostMessageW(Control(kCmdOK), WM_KEYDOWN, VK_TAB, 1);
      EXPECT_TRUE(PumpUntil([target] { return ::GetFocus() == target; }, 2s)) << key;
      // A focus cue just around the centred words (the widest line's ends), nothing else.
      const std::vector<COLORREF> focused = Painted(target, whole);
      // The first and last columns where one picture differs from the other,
      // the width and -1 where none does.
      const auto columns = [width = whole.right](const auto& one, const auto& other) {
        std::pair<LONG, LONG> found{width, -1};
        for (LONG i = 0; i < std::ssize(one); ++i) {
          if (one[i] != other[i]) {
            found = {std::min(found.first, i % width), std::max(found.second, i % width)};
          }
        }
        return found;
      };
      const auto [wordsLeft, wordsRight] =
          columns(unfocused, std::vector(unfocused.size(), ::GetSysColor(COLOR_BTNFACE)));
      const auto [cueLeft, cueRight] = columns(focused, unfocused);
      EXPECT_TRUE(cueLeft < wordsLeft && wordsLeft - cueLeft <= 4 && wordsRight < cueRight &&
                  cueRight - wordsRight <= 4)
          << cueLeft << "-" << cueRight << " around " << wordsLeft << "-" << wordsRight;
    }
    ::PostMessageW(target, message, key, 1);  // a key's repeat count, a click's place
    if (click) {
      ::PostMessageW(target, WM_LBUTTONUP, 0, 1);
    }
    EXPECT_TRUE(PumpUntil([about] { return !::IsWindow(about); }, 2s)) << id << ", " << key;
    const std::wstring report = WaitForProbe(g_probe, link ? 15s : 0s);
    EXPECT_EQ(report.substr(report.find(L'\n') + 1), link ? std::to_wstring(SW_SHOWNORMAL) : L"");
    const decltype(g_request) request(mainWindow_, L"(default)", L"https://tolvane.example/");
    EXPECT_EQ(g_request, link ? request : decltype(g_request)());
    EXPECT_EQ(AboutWindowHandle(), g_reopened) << "the About window opened meanwhile was closed";
    // Its hidden owner went with it: only the one opened meanwhile has one.
    EXPECT_EQ(::FindWindowW(L"DaymarkerAboutOwner", nullptr), ::GetWindow(g_reopened, GW_OWNER));
    g_about.reset();
  }
  ::RegDeleteTreeW(HKEY_CURRENT_USER, kProbeKey);
}

// Explorer's properties show the numbers, installers and scripts read the
// texts: both say the same version, file and product alike. This program
// carries the program's own resources, whose copyright the About window
// shows; the probe the same record with a revision, which is where the two
// forms used to part.
TEST(VersionRecord, NumbersAndTextsAgreeBesideTheCopyright) {
  for (const auto& [file, version, copyright] :
       {std::tuple{g_probe, L"2.5.0.7", L"Probe"},
        {BesideThisProgram(L"about_tests.exe"), L"1.3.0.0", L"Copyright (C) 2026 Tolvane"}}) {
    std::vector<BYTE> data(::GetFileVersionInfoSizeW(file.c_str(), nullptr));
    ASSERT_FALSE(data.empty()) << file << " has no version record";
    ::GetFileVersionInfoW(file.c_str(), 0, static_cast<DWORD>(data.size()), data.data());
    // The value at a path, or nullptr.
    const auto query = [&](const std::wstring& at) {
      void* value = nullptr;
      UINT size = 0;
      return ::VerQueryValueW(data.data(), at.c_str(), &value, &size) && size > 0 ? value : nullptr;
    };
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(query(L"\\"));
    ASSERT_NE(fixed, nullptr) << file;
    // The file's numbers and its product's, then the texts of both and the copyright.
    std::vector<std::wstring> record;
    for (const auto& [high, low] : {std::pair{fixed->dwFileVersionMS, fixed->dwFileVersionLS},
                                    {fixed->dwProductVersionMS, fixed->dwProductVersionLS}}) {
      record.push_back(std::to_wstring(HIWORD(high)) + L"." + std::to_wstring(LOWORD(high)) + L"." +
                       std::to_wstring(HIWORD(low)) + L"." + std::to_wstring(LOWORD(low)));
    }
    for (const wchar_t* name : {L"FileVersion", L"ProductVersion", L"LegalCopyright"}) {
      const void* text = query(std::wstring(L"\\StringFileInfo\\040904B0\\") + name);
      record.emplace_back(text != nullptr ? static_cast<const wchar_t*>(text) : L"(none)");
    }
    EXPECT_EQ(record, (std::vector<std::wstring>{version, version, version, version, copyright}));
  }
}

constexpr wchar_t kScratchKey[] = L"Software\\Tolvane\\DaymarkerAboutTests";

using GetKeyValueTest = ScratchRegistryTest;  // HKEY_CURRENT_USER is a fresh key

TEST_F(GetKeyValueTest, ReadsTextAndNumbersAndLeavesOtherTypesAlone) {
  const std::wstring path = L"C:\\Program Files\\Tools\\msinfo32.exe";
  const std::wstring fits(511, L'x');  // with its terminator exactly the 1024-byte buffer
  // Type and bytes stored at Key, the key read; result and KeyVal, which comes in as "before".
  const std::tuple<DWORD, std::vector<BYTE>, const wchar_t*, bool, std::wstring> cases[] = {
      {REG_SZ, TextBytes(path + L'\0'), L"Key", true, path},
      {REG_SZ, TextBytes(path), L"Key", true, path},
      {REG_SZ, TextBytes(fits + L'\0'), L"Key", true, fits},
      {REG_SZ, TextBytes(fits + L'x' + L'\0'), L"Key", false, L""},
      {REG_DWORD, DwordBytes(0x12345678), L"Key", true, L"&h12345678"},
      {REG_DWORD, DwordBytes(1), L"Key", true, L"&h000001"},
      // A lone terminator, or one zero byte, leaves nothing after it is dropped.
      {REG_SZ, TextBytes(std::wstring(1, L'\0')), L"Key", true, L""},
      {REG_DWORD, {0}, L"Key", true, L"&h"},
      {REG_EXPAND_SZ, TextBytes(L"%SystemRoot%"), L"Key", true, L"before"},
      // No such key; a missing value fails as the one too long does.
      {REG_SZ, TextBytes(path), L"Key\\Missing", false, L""},
  };
  for (const auto& [type, bytes, key, result, text] : cases) {
    ASSERT_TRUE(Plant(HKEY_CURRENT_USER, L"Key", L"Value", type, bytes));
    std::wstring value = L"before";
    const bool read = GetKeyValue(HKEY_CURRENT_USER, key, L"Value", value);
    EXPECT_EQ(std::pair(read, value), std::pair(result, text)) << key;
  }
}

// The tool is started by the About window's button. This process's
// HKEY_LOCAL_MACHINE is a scratch key while the test plants the tool's keys, so
// the machine's own are never touched.
TEST_F(AboutWindowTest, SystemInfoStartsTheToolOrSaysItIsUnavailable) {
  // A name; the program in the tool's folder that the first key's PATH names
  // (none: no PATH; empty: an empty one); the attributes of MSINFO32.EXE in that
  // folder, which the second key names (0: no such file; INVALID_FILE_ATTRIBUTES:
  // no second key); the program that starts (none: the message that the tool is
  // unavailable).
  const std::tuple<const char*, const wchar_t*, DWORD, const wchar_t*> cases[] = {
      {"PathComesFirst", L"sys info.exe", FILE_ATTRIBUTE_NORMAL, L"sys info.exe"},
      // A path that cannot be started is the end of the search, and is said so.
      {"PathNamesNoProgram", L"no program.exe", FILE_ATTRIBUTE_NORMAL, nullptr},
      {"PathIsEmpty", L"", FILE_ATTRIBUTE_NORMAL, nullptr},
      {"FolderHoldsTheTool", nullptr, FILE_ATTRIBUTE_NORMAL, L"MSINFO32.EXE"},
      {"FolderLacksTheTool", nullptr, 0, nullptr},
      {"HiddenToolDoesNotCount", nullptr, FILE_ATTRIBUTE_HIDDEN, nullptr},
      {"SystemFileDoesNotCount", nullptr, FILE_ATTRIBUTE_SYSTEM, nullptr},
      {"NoKeyNamesTheTool", nullptr, INVALID_FILE_ATTRIBUTES, nullptr},
  };
  // The tool's folder, which also holds the program the first key names: spaces
  // in every name, which only a quoted command line keeps in one piece.
  const std::filesystem::path scratch =
      std::filesystem::temp_directory_path() / L"daymarker about tests";
  const std::wstring program = (scratch / L"sys info.exe").wstring();
  const std::wstring tool = (scratch / L"MSINFO32.EXE").wstring();
  const auto clear = [&] {
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kProbeKey);
    std::error_code ignored;  // a probe still exiting may hold its file a moment longer
    std::filesystem::remove_all(scratch, ignored);
  };
  const HWND button = ::GetDlgItem(Open(), kCmdSysInfo);
  const ScopedKey machine = CreateTestKey(HKEY_CURRENT_USER, kScratchKey, KEY_ALL_ACCESS);
  ASSERT_EQ(::RegOverridePredefKey(HKEY_LOCAL_MACHINE, machine.Get()), ERROR_SUCCESS);
  // The machine's keys grant a standard user only reading (and the test deleting).
  const wchar_t* const readOnly = L"D:P(A;;KRSD;;;WD)";
  // What a click on the button shows in a message box on this thread, as
  // "caption: text", each button's caption in brackets and "(icon)" for an
  // icon: a timer of the button reads the box from within the box's own
  // message loop, and presses its OK.
  static std::wstring seen;
  const TIMERPROC read = [](HWND, UINT, UINT_PTR, DWORD) CALLBACK {
    const HWND box = ::GetActiveWindow();
    if (const HWND text = ::GetDlgItem(box, 0xFFFF); text != nullptr) {
      seen = WindowText(box) + L": " + WindowText(text);
      for (HWND item = ::GetWindow(box, GW_CHILD); item != nullptr;
           item = ::GetWindow(item, GW_HWNDNEXT)) {
        const bool pressable = (::SendMessageW(item, WM_GETDLGCODE, 0, 0) & DLGC_BUTTON) != 0;
        seen += pressable ? L" [" + WindowText(item) + L"]" : L"";
        seen += ::SendMessageW(item, STM_GETICON, 0, 0) != 0 ? L" (icon)" : L"";
      }
      ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
  };
  // Every case clicks the same button: the About window stays open throughout.
  for (const auto& [name, path, attributes, starts] : cases) {
    SCOPED_TRACE(name);
    clear();
    ::RegDeleteTreeW(machine.Get(), nullptr);
    std::filesystem::create_directories(scratch);
    EXPECT_TRUE(::CopyFileW(g_probe.c_str(), program.c_str(), FALSE));
    const bool folderKnown = attributes != INVALID_FILE_ATTRIBUTES;
    EXPECT_TRUE(attributes == 0 || !folderKnown ||
                (::CopyFileW(g_probe.c_str(), tool.c_str(), FALSE) &&
                 ::SetFileAttributesW(tool.c_str(), attributes)));
    EXPECT_TRUE(
        path == nullptr ||
        Plant(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", L"PATH", REG_SZ,
              TextBytes((*path != L'\0' ? (scratch / path).wstring() : L"") + L'\0'), readOnly));
    EXPECT_TRUE(!folderKnown ||
                Plant(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Shared Tools Location", L"MSINFO",
                      REG_SZ, TextBytes(scratch.wstring() + L'\0'), readOnly));
    seen = L"no message";
    ::SetTimer(button, 1, 20, read);
    ::SendMessageW(button, BM_CLICK, 0, 0);
    ::KillTimer(button, 1);
    EXPECT_EQ(seen, starts == nullptr
                        ? L"Daymarker: System Information Is Unavailable At This Time [OK]"
                        : L"no message");
    for (const std::wstring& started : {program, tool}) {
      // A start that should not happen is given a moment to show itself.
      const bool expected = starts != nullptr && started == (scratch / starts).wstring();
      EXPECT_EQ(WaitForProbe(started, expected ? 15s : 1s),
                expected ? L"\"" + started + L"\"\n" + std::to_wstring(SW_SHOWNORMAL) : L"");
    }
  }
  ::RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
  ::RegDeleteTreeW(HKEY_CURRENT_USER, kScratchKey);
  clear();
}

}  // namespace
}  // namespace daymarker
