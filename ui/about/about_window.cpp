#include "ui/about/about_window.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <utility>

#include "core/contrast.h"
#include "core/version.h"
#include "resources/resource.h"
#include "ui/about/about_ids.h"
#include "ui/about/about_link.h"
#include "ui/about/sysinfo.h"
#include "ui/control_layout.h"
#include "ui/dpi.h"
#include "ui/fonts_icons.h"
#include "ui/object_window.h"
#include "ui/top_level_window.h"
#include "win/handles.h"

namespace daymarker {
namespace {

using namespace about_ids;

constexpr FrameSpec kFrame = {L"DaymarkerAboutWindow", WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME,
                              IDI_ABOUT, 0};
constexpr const wchar_t* kOwnerClass = L"DaymarkerAboutOwner";
constexpr SIZE kClientTwips = {5760, 6555};

constexpr const wchar_t* kLinkCaption = L"Visit the Tolvane website for more FREE software";
constexpr const wchar_t* kLinkTip = L"Click to visit the Tolvane Website...";
constexpr const wchar_t* kRegisteredTo = L"Registered to: ";
constexpr const wchar_t* kRegisteredName = L"FREEWARE!";
constexpr std::array<std::wstring_view, 6> kDisclaimerLines = {L"", L"", L"", L"", L"", L""};
constexpr COLORREF kLinkColour = RGB(0, 0, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

// Labels show data texts, so an ampersand in them is no access key.
constexpr DWORD kLabel = SS_LEFT | SS_NOPREFIX;
// BS_NOTIFY reports focus, which moves the default-button look as in a dialog.
constexpr DWORD kButton = BS_NOTIFY | WS_TABSTOP;

// Rows are in tab order; the captions of the labels are put in place by Form_Load.
constexpr std::array<ControlSpec, 12> kLayout = {{
    {kCmdOK, WC_BUTTONW, L"OK", kButton | BS_DEFPUSHBUTTON | WS_GROUP, 0, kNoContainer, 4245, 5115,
     1260, 345},
    {kCmdSysInfo, WC_BUTTONW, L"&System Info...", kButton | BS_PUSHBUTTON, 0, kNoContainer, 4260,
     5565, 1245, 345},
    {kLblDescription, WC_STATICW, L"", kLabel, 0, kNoContainer, 240, 840, 5295, 975},
    {kLblDisclaimer, WC_STATICW, L"", kLabel, 0, kNoContainer, 240, 5115, 3870, 1185},
    {kLblTitle, WC_STATICW, L"", kLabel, 0, kNoContainer, 960, 240, 2655, 240},
    {kLblVersion, WC_STATICW, L"", SS_RIGHT | SS_NOPREFIX, 0, kNoContainer, 3840, 240, 1695, 225},
    {kLblCopyright, WC_STATICW, L"", kLabel, 0, kNoContainer, 960, 480, 4575, 225},
    {kPicIcon, WC_STATICW, L"", SS_ICON, 0, kNoContainer, 240, 240, 480, 480},
    {kLblRegTo, WC_STATICW, L"", kLabel, 0, kNoContainer, 240, 3960, 5295, 255},
    // The 2-pixel sunken border leaves the 124 x 76 logo exactly the inside at 96 DPI.
    {kPicTolvane, WC_STATICW, L"", SS_BITMAP | SS_CENTERIMAGE, WS_EX_CLIENTEDGE, kNoContainer, 1920,
     2040, 1920, 1200},
    // The last tab stop, after the buttons.
    {kLblTolvane, WC_STATICW, L"", SS_CENTER | SS_NOPREFIX | SS_NOTIFY | WS_TABSTOP, 0,
     kNoContainer, 240, 3360, 5295, 495},
    {kLblComments, WC_STATICW, L"", kLabel, 0, kNoContainer, 240, 4320, 5295, 495},
}};

// Without comments their row is taken out: what lies below it moves up by
// the label's height and the gap above it (600 twips).
constexpr const ControlSpec& kRegToRow = kLayout[RowOf(kLayout, kLblRegTo)];
constexpr const ControlSpec& kCommentsRow = kLayout[RowOf(kLayout, kLblComments)];
constexpr Fold kNoCommentsRow = {
    kCommentsRow.top, kCommentsRow.top - (kRegToRow.top + kRegToRow.height) + kCommentsRow.height};

// Line1: an etched rule of a grey line over a white one twice as wide.
struct LineSpec {
  int x1, x2, y;  // twips
  COLORREF colour;
  int themed;  // the system colour in its place where the theme's are used
  int width;   // pixels at 96 DPI
};

constexpr std::array<LineSpec, 2> kLine1 = {{
    {105, 5654, 4935, RGB(255, 255, 255), COLOR_3DHILIGHT, 2},  // Line1(0), drawn first
    {90, 5654, 4935, RGB(128, 128, 128), COLOR_3DSHADOW, 1},    // Line1(1)
}};
constexpr std::size_t kRuleDarkHalf = 1;  // what makes the rule seen; the light half etches it

bool HighContrastOn() {
  HIGHCONTRASTW contrast{};
  contrast.cbSize = sizeof(contrast);
  // Wine always answers off; Windows sets the flag while a contrast theme is on.
  return ::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(contrast), &contrast, 0) != FALSE &&
         (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

// Whether one of the look's fixed colours is seen on the button face; where
// it is not, the theme's colours are used instead.
bool FixedColourSeen(COLORREF fixed, double minimum = kTextContrast) {
  return KeepFixedColour(fixed, ::GetSysColor(COLOR_BTNFACE), HighContrastOn(), minimum);
}

struct Fonts {
  ScopedFont regular;
  ScopedFont bold;
  ScopedFont italic;
  ScopedFont link;
};

Fonts MakeFonts(UINT dpi) {
  Fonts fonts;
  fonts.regular.Reset(CreateTahomaFont(dpi));
  fonts.bold.Reset(CreateTahomaFont(dpi, FW_BOLD));
  fonts.italic.Reset(CreateTahomaFont(dpi, FW_NORMAL, true));
  fonts.link.Reset(CreateTahomaFont(dpi, FW_NORMAL, false, true));
  return fonts;
}

// A second request for About: the open window comes forward as it is.
void BringForward(HWND window) {
  ::ShowWindow(window, ::IsIconic(window) ? SW_RESTORE : SW_SHOW);
  ::SetForegroundWindow(window);
}

// frmAbout. Its handlers are the members named after a control and an event
// (Form_Load, Form_QueryUnload, cmdOK_Click, cmdSysInfo_Click and
// lblTolvane_Click), with Unload, which closes the window. Every other member
// is plumbing: it creates, places and paints the window and turns its
// messages into calls of those handlers. The link's keys, focus rectangle,
// tooltip and shell request live in about_link.cpp.
class AboutWindow : public TopLevelWindow {
 public:
  AboutWindow(HINSTANCE instance, HWND mainWindow)
      : TopLevelWindow(instance, kFrame), mainWindow_(mainWindow) {}

  // Creates and loads the window, still hidden.
  bool Create();
  void Show();

 private:
  SIZE ClientTwips() const override;
  bool MakeControls() override;
  HWND FirstFocus() const override { return Control(kCmdOK); }
  void RescaleControls() override;
  void OnCommand(int id, int code) override;
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  void OnPaint();
  void OnPrintClient(HDC dc, LPARAM options);
  LRESULT OnCtlColorStatic(HDC dc, HWND control);
  bool OnSetCursor(HWND over, UINT hitTest);

  void Form_Load();
  void Form_QueryUnload();
  void cmdOK_Click();
  void cmdSysInfo_Click();
  void lblTolvane_Click();
  void Unload();

  void SetText(int id, const std::wstring& text) { ::SetWindowTextW(Control(id), text.c_str()); }
  void ApplyFonts(Fonts fonts);
  HANDLE ShowImage(int controlId, int resourceId, UINT type, UINT flags) const;
  void LoadImages();
  void SetDefaultButton(int id);
  void PaintRule(HDC dc) const;
  RECT WorkArea() const;
  void CenterOnWorkArea();

  HWND mainWindow_;

  ScopedWindow owner_;  // hidden, so the window has no taskbar button
  Fold fold_{};         // the comments row, once Form_Load has taken it out

  Fonts fonts_;
  ScopedIcon programIcon_;
  ScopedBitmap logo_;
};

SIZE AboutWindow::ClientTwips() const {
  return {kClientTwips.cx, fold_.Apply(kClientTwips.cy)};
}

// The work area of the monitor the user is on: the main window's, else the primary one.
RECT AboutWindow::WorkArea() const {
  MONITORINFO monitor{sizeof(monitor)};
  const HMONITOR nearby = ::IsWindow(mainWindow_)
                              ? ::MonitorFromWindow(mainWindow_, MONITOR_DEFAULTTOPRIMARY)
                              : ::MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY);
  if (!::GetMonitorInfoW(nearby, &monitor)) {
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &monitor.rcWork, 0);
  }
  return monitor.rcWork;
}

void AboutWindow::CenterOnWorkArea() {
  const RECT work = WorkArea();
  const RECT frame = FrameRect();
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  // A window taller or wider than the work area keeps its caption in reach.
  const int x = std::max(work.left, work.left + (work.right - work.left - width) / 2);
  const int y = std::max(work.top, work.top + (work.bottom - work.top - height) / 2);
  ::SetWindowPos(Window(), nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

bool AboutWindow::Create() {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&controls);
  if (!RegisterWindowClass(Instance(), kOwnerClass, ::DefWindowProcW)) {
    return false;
  }
  // Both start on the monitor the window will be centred on, so it is created at that DPI.
  const RECT work = WorkArea();
  owner_.Reset(::CreateWindowExW(0, kOwnerClass, L"", WS_POPUP, work.left, work.top, 0, 0, nullptr,
                                 nullptr, Instance(), nullptr));
  if (!owner_ || !CreateFrame(owner_.Get(), nullptr, work.left, work.top)) {
    return false;
  }
  Form_Load();
  CenterOnWorkArea();
  return true;
}

void AboutWindow::Show() {
  ::ShowWindow(Window(), SW_SHOWNORMAL);
  ::SetForegroundWindow(Window());
  ::SetFocus(Control(kCmdOK));
}

bool AboutWindow::MakeControls() {
  if (!CreateControls(Window(), kLayout, Dpi(), nullptr)) {
    return false;
  }
  ApplyFonts(MakeFonts(Dpi()));
  MakeKeyboardLink(Control(kLblTolvane));
  return true;
}

LRESULT AboutWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_PRINTCLIENT:
      OnPrintClient(reinterpret_cast<HDC>(wParam), lParam);
      return 0;
    case WM_CTLCOLORSTATIC:
      return OnCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
      // New colours, or a high-contrast theme, may swap the look's colours for the theme's.
      ::RedrawWindow(Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
      break;
    case WM_CLOSE:
      Form_QueryUnload();
      Unload();
      return 0;
    case WM_SETCURSOR:
      if (OnSetCursor(reinterpret_cast<HWND>(wParam), LOWORD(lParam))) {
        return TRUE;
      }
      break;
    default:
      break;
  }
  return TopLevelWindow::OnMessage(message, wParam, lParam);
}

void AboutWindow::RescaleControls() {
  PlaceControls(Window(), kLayout, Dpi(), fold_);
  ApplyFonts(MakeFonts(Dpi()));
  LoadImages();
}

// The controls get the new fonts before the old ones are deleted.
void AboutWindow::ApplyFonts(Fonts fonts) {
  SetControlsFont(Window(), kLayout, fonts.regular.Get());
  for (const auto& [id, font] :
       {std::pair{kLblTitle, fonts.bold.Get()}, std::pair{kLblRegTo, fonts.italic.Get()},
        std::pair{kLblTolvane, fonts.link.Get()}}) {
    ::SendMessageW(Control(id), WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  }
  fonts_ = std::move(fonts);
}

void AboutWindow::OnCommand(int id, int code) {
  switch (id) {
    case kCmdOK:
    case IDCANCEL:  // Escape, through the dialog keys of the message loop
      if (code == BN_CLICKED) {
        cmdOK_Click();
      }
      break;
    case kCmdSysInfo:
      if (code == BN_CLICKED) {
        cmdSysInfo_Click();
      } else if (code == BN_SETFOCUS) {
        SetDefaultButton(kCmdSysInfo);
      } else if (code == BN_KILLFOCUS) {
        SetDefaultButton(kCmdOK);
      }
      break;
    case kLblTolvane:
      if (code == STN_CLICKED) {
        lblTolvane_Click();
      }
      break;
    default:
      break;
  }
}

void AboutWindow::PaintRule(HDC dc) const {
  const bool fixed = FixedColourSeen(kLine1[kRuleDarkHalf].colour, kGraphicContrast);
  const int saved = ::SaveDC(dc);  // for the DC brush colour
  for (const LineSpec& line : kLine1) {
    const int top = TwipsToPixels(fold_.Apply(line.y), Dpi());
    const RECT band{TwipsToPixels(line.x1, Dpi()), top, TwipsToPixels(line.x2, Dpi()),
                    top + ::MulDiv(line.width, static_cast<int>(Dpi()), kDefaultDpi)};
    ::SetDCBrushColor(dc, fixed ? line.colour : ::GetSysColor(line.themed));
    ::FillRect(dc, &band, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));
  }
  ::RestoreDC(dc, saved);
}

void AboutWindow::OnPaint() {
  PAINTSTRUCT paint;
  HDC dc = ::BeginPaint(Window(), &paint);
  PaintRule(dc);
  ::EndPaint(Window(), &paint);
}

void AboutWindow::OnPrintClient(HDC dc, LPARAM options) {
  if ((options & PRF_ERASEBKGND) != 0) {
    RECT client;
    ::GetClientRect(Window(), &client);
    ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_BTNFACE));
  }
  PaintRule(dc);
}

LRESULT AboutWindow::OnCtlColorStatic(HDC dc, HWND control) {
  const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
  const COLORREF buttonText = ::GetSysColor(COLOR_BTNTEXT);
  COLORREF text = buttonText;
  switch (::GetDlgCtrlID(control)) {
    case kLblTolvane: {
      // Else the theme's link colour, or its text colour where even that is not seen.
      const COLORREF hotLight = ::GetSysColor(COLOR_HOTLIGHT);
      text = FixedColourSeen(kLinkColour)
                 ? kLinkColour
                 : (ContrastRatio(hotLight, face) >= kTextContrast ? hotLight : buttonText);
      break;
    }
    case kLblTitle:
    case kLblDescription:
    case kLblDisclaimer:
      // Fixed while seen, where the others follow the colour scheme.
      text = FixedColourSeen(kBlack) ? kBlack : buttonText;
      break;
    default:
      break;
  }
  ::SetTextColor(dc, text);
  ::SetBkColor(dc, face);
  return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
}

bool AboutWindow::OnSetCursor(HWND over, UINT hitTest) {
  if (over != Control(kLblTolvane) || hitTest != HTCLIENT) {
    return false;
  }
  // The system's own hand, shared and never destroyed: on Windows it follows the user's
  // pointer size and scheme and the monitor's DPI, as the system's links do.
  ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
  return true;
}

// Images are loaded at the size of the control that shows them, so no one scales them.
HANDLE AboutWindow::ShowImage(int controlId, int resourceId, UINT type, UINT flags) const {
  RECT inside;
  ::GetClientRect(Control(controlId), &inside);
  HANDLE image = ::LoadImageW(Instance(), MAKEINTRESOURCEW(resourceId), type, inside.right,
                              inside.bottom, flags);
  ::SendMessageW(Control(controlId), STM_SETIMAGE, type, reinterpret_cast<LPARAM>(image));
  return image;
}

// The controls show the new images before the old ones are destroyed.
void AboutWindow::LoadImages() {
  programIcon_.Reset(
      static_cast<HICON>(ShowImage(kPicIcon, IDI_DAYMARKER, IMAGE_ICON, LR_DEFAULTCOLOR)));
  logo_.Reset(
      static_cast<HBITMAP>(ShowImage(kPicTolvane, IDB_LOGO, IMAGE_BITMAP, LR_CREATEDIBSECTION)));
}

// Enter presses the focused button, and the dialog keys find it by its default style.
void AboutWindow::SetDefaultButton(int id) {
  for (const int button : {kCmdOK, kCmdSysInfo}) {
    const DWORD type = button == id ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    ::SendMessageW(Control(button), BM_SETSTYLE, type | BS_NOTIFY, TRUE);
  }
}

// ---------------------------------------------------------------------------
// Handlers

void AboutWindow::Form_Load() {
  ::SetWindowTextW(Window(), (L"About " + std::wstring(kAppTitle)).c_str());
  SetText(kLblTitle, std::wstring(kProductName));
  SetText(kLblVersion, L"Version " + VersionNumberText(kVersion));
  SetText(kLblCopyright, std::wstring(kCopyright));
  SetText(kLblDescription, std::wstring(kFileDescription));

  // The link's colour and underline are its look, given at WM_CTLCOLORSTATIC and by its font.
  SetText(kLblTolvane, kLinkCaption + (L"\r\n(" + std::wstring(kWebsite) + L")"));
  AddLinkTooltip(Instance(), Window(), Control(kLblTolvane), kLinkTip);

  SetText(kLblRegTo, std::wstring(kRegisteredTo) + kRegisteredName);
  SetText(kLblComments, std::wstring(kComments));
  if (kComments.empty()) {
    fold_ = kNoCommentsRow;  // the window shrinks with it when it is centred
    PlaceControls(Window(), kLayout, Dpi(), fold_);
    ::ShowWindow(Control(kLblComments), SW_HIDE);
  }

  std::wstring disclaimer;
  for (std::size_t line = 0; line < kDisclaimerLines.size(); ++line) {
    if (line > 0) {
      disclaimer += L"\r\n";
    }
    disclaimer += kDisclaimerLines[line];
  }
  SetText(kLblDisclaimer, disclaimer);
  LoadImages();
}

void AboutWindow::Form_QueryUnload() {
  // A close is never refused.
}

// The hidden owner goes, and the window with it: an owner's windows are destroyed before it.
void AboutWindow::Unload() {
  owner_.Reset();
}

void AboutWindow::cmdOK_Click() {
  Unload();
}

void AboutWindow::cmdSysInfo_Click() {
  StartSysInfo(Window());
}

// While the shell shows a window of its own (an error, an "Open with" prompt)
// it runs messages, and that window is modal only to the main window: this one
// stays live, and the user may close it and ask for About again, which lets go
// of this object. So the shell gets its own copy of the address, and
// afterwards only a window still open is unloaded: its object is still held.
void AboutWindow::lblTolvane_Click() {
  const HWND self = Window();
  const std::wstring address(kWebsite);
  // The main window may be gone by now; the request then has no owner.
  const HWND owner = ::IsWindow(mainWindow_) ? mainWindow_ : nullptr;
  OpenInBrowser(owner, address.c_str());
  if (::IsWindow(self)) {
    cmdOK_Click();
  }
}

}  // namespace

void ShowAboutWindow(std::unique_ptr<ObjectWindow>& about, HINSTANCE instance, HWND mainWindow) {
  if (about != nullptr && about->Window() != nullptr) {
    BringForward(about->Window());
    return;
  }
  auto window = std::make_unique<OwnedWindow<AboutWindow>>(instance, mainWindow);
  if (!window->Create()) {
    return;
  }
  window->Show();
  about = std::move(window);  // lets go of the closed one
}

}  // namespace daymarker
