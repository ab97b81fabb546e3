#include "ui/about/about_window.h"

#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <string>

#include "resources/resource.h"
#include "ui/about/sysinfo.h"
#include "ui/control_layout.h"
#include "ui/dpi.h"
#include "ui/message_loop.h"
#include "ui/window_class.h"
#include "win/handles.h"
#include "win/system_library.h"

namespace daymarker {
namespace {

using namespace about_ids;

constexpr wchar_t kWindowClass[] = L"DaymarkerAboutWindow";
constexpr wchar_t kOwnerClass[] = L"DaymarkerAboutOwner";
constexpr DWORD kWindowStyle = WS_CAPTION | WS_SYSMENU;
constexpr DWORD kWindowExStyle = WS_EX_DLGMODALFRAME;
constexpr int kClientWidthTwips = 5760;
constexpr int kClientHeightTwips = 6555;

constexpr wchar_t kLinkCaption[] = L"Visit the Tolvane website for more FREE software";
constexpr wchar_t kLinkTip[] = L"Click to visit the Tolvane Website...";
constexpr wchar_t kRegisteredTo[] = L"Registered to: ";
constexpr wchar_t kRegisteredName[] = L"FREEWARE!";
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
    {kLblTolvane, WC_STATICW, L"", SS_CENTER | SS_NOPREFIX | SS_NOTIFY, 0, kNoContainer, 240, 3360,
     5295, 495},
    {kLblComments, WC_STATICW, L"", kLabel, 0, kNoContainer, 240, 4320, 5295, 495},
}};

consteval std::size_t RowOf(int id) {
  for (std::size_t row = 0; row < kLayout.size(); ++row) {
    if (kLayout[row].id == id) {
      return row;
    }
  }
  throw "no such control";  // so a wrong id does not compile
}

// Line1: an etched rule of a grey line over a white one twice as wide.
struct LineSpec {
  int x1, x2, y;  // twips
  COLORREF colour;
  int width;  // pixels at 96 DPI
};

constexpr std::array<LineSpec, 2> kLine1 = {{
    {105, 5654, 4935, RGB(255, 255, 255), 2},  // Line1(0), drawn first
    {90, 5654, 4935, RGB(128, 128, 128), 1},   // Line1(1)
}};

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

// The shell may hand the request to COM handlers, which want an apartment on
// this thread. COM is loaded only when the link is used.
class ComApartment {
 public:
  ComApartment() {
    using CoInitializeExFn = HRESULT(WINAPI*)(LPVOID, DWORD);
    const auto initialise = SystemFunction<CoInitializeExFn>(L"ole32.dll", "CoInitializeEx");
    uninitialise_ = SystemFunction<CoUninitializeFn>(L"ole32.dll", "CoUninitialize");
    if (initialise == nullptr || uninitialise_ == nullptr ||
        FAILED(initialise(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {
      uninitialise_ = nullptr;
    }
  }
  ~ComApartment() {
    if (uninitialise_ != nullptr) {
      uninitialise_();
    }
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  using CoUninitializeFn = void(WINAPI*)();
  CoUninitializeFn uninitialise_ = nullptr;  // set while this holds an apartment
};

HINSTANCE OpenInBrowser(HWND owner, const wchar_t* address) {
  using ShellExecuteFn = HINSTANCE(WINAPI*)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);
  const auto shellExecute = SystemFunction<ShellExecuteFn>(L"shell32.dll", "ShellExecuteW");
  return shellExecute != nullptr
             ? shellExecute(owner, nullptr, address, nullptr, nullptr, SW_SHOWNORMAL)
             : nullptr;
}

class AboutWindow {
 public:
  AboutWindow(HINSTANCE instance, HWND mainWindow, const AboutContent& content)
      : instance_(instance),
        mainWindow_(mainWindow),
        comments_(content.comments),
        website_(content.website),
        version_(content.version) {}
  ~AboutWindow();
  AboutWindow(const AboutWindow&) = delete;
  AboutWindow& operator=(const AboutWindow&) = delete;

  // Creates and loads the window, still hidden.
  bool Create();
  void Show();
  void BringForward();
  HWND Window() const { return window_; }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  bool OnCreate();
  void OnCommand(int id, int code);
  void OnPaint();
  void OnPrintClient(HDC dc, LPARAM options);
  LRESULT OnCtlColorStatic(HDC dc, HWND control);
  bool OnSetCursor(HWND over, UINT hitTest);
  void OnActivate(WPARAM wParam);
  void OnSetFocus();
  void OnDpiChanged(UINT dpi, const RECT& suggested);

  void Form_Load();
  void Form_QueryUnload();
  void cmdOK_Click();
  void cmdSysInfo_Click();
  void lblTolvane_Click();
  void Unload();

  HWND Control(int id) const { return ::GetDlgItem(window_, id); }
  void SetText(int id, const std::wstring& text) { ::SetWindowTextW(Control(id), text.c_str()); }
  void MoveToRow(std::size_t row);
  void ApplyFonts(const Fonts& fonts);
  void LoadWindowIcons();
  void LoadProgramIcon();
  void LoadLogo();
  void AddLinkTooltip();
  void SetDefaultButton(int id);
  void PaintRule(HDC dc) const;
  RECT FrameRect(UINT dpi) const;
  RECT WorkArea() const;
  void CenterOnWorkArea();

  HINSTANCE instance_;
  HWND mainWindow_;
  std::wstring comments_;
  std::wstring website_;
  Version version_;

  HWND window_ = nullptr;
  HWND owner_ = nullptr;    // hidden, so the window has no taskbar button
  HWND tooltip_ = nullptr;  // owned by the window and destroyed with it
  HWND focusOnDeactivate_ = nullptr;
  UINT dpi_ = kDefaultDpi;
  std::array<ControlSpec, kLayout.size()> layout_ = kLayout;
  std::array<LineSpec, kLine1.size()> line1_ = kLine1;
  int clientHeightTwips_ = kClientHeightTwips;

  Fonts fonts_;
  ScopedIcon largeIcon_;
  ScopedIcon smallIcon_;
  ScopedIcon programIcon_;
  ScopedBitmap logo_;
  ScopedCursor handCursor_;
};

// The one About window of the process. Its window procedure lets go of it at
// WM_NCDESTROY, so every load starts from a fresh object.
std::unique_ptr<AboutWindow> g_about;

AboutWindow::~AboutWindow() {
  if (window_ != nullptr) {
    // Only when the process ends with the window open: nothing may call back into this object.
    ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    ::DestroyWindow(window_);
  }
  if (owner_ != nullptr) {
    // Posted, because this runs while the owned window is still being destroyed.
    ::PostMessageW(owner_, WM_CLOSE, 0, 0);
  }
}

RECT AboutWindow::FrameRect(UINT dpi) const {
  RECT frame{0, 0, TwipsToPixels(kClientWidthTwips, dpi), TwipsToPixels(clientHeightTwips_, dpi)};
  AdjustWindowRectForDpi(&frame, kWindowStyle, FALSE, kWindowExStyle, dpi);
  return frame;
}

// The work area of the monitor the user is on: the main window's, else the primary one.
RECT AboutWindow::WorkArea() const {
  const HWND nearby = ::IsWindow(mainWindow_) ? mainWindow_ : window_;
  MONITORINFO monitor{sizeof(monitor)};
  if (!::GetMonitorInfoW(::MonitorFromWindow(nearby, MONITOR_DEFAULTTOPRIMARY), &monitor)) {
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &monitor.rcWork, 0);
  }
  return monitor.rcWork;
}

void AboutWindow::CenterOnWorkArea() {
  const RECT work = WorkArea();
  const RECT frame = FrameRect(dpi_);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  // A window taller or wider than the work area keeps its caption in reach.
  const int x = std::max(work.left, work.left + (work.right - work.left - width) / 2);
  const int y = std::max(work.top, work.top + (work.bottom - work.top - height) / 2);
  ::SetWindowPos(window_, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

bool AboutWindow::Create() {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&controls);
  if (!RegisterWindowClass(instance_, kWindowClass, WindowProc) ||
      !RegisterWindowClass(instance_, kOwnerClass, ::DefWindowProcW)) {
    return false;
  }
  // Both start on the monitor the window will be centred on, so it is created at that DPI.
  const RECT work = WorkArea();
  owner_ = ::CreateWindowExW(0, kOwnerClass, L"", WS_POPUP, work.left, work.top, 0, 0, nullptr,
                             nullptr, instance_, nullptr);
  if (owner_ == nullptr) {
    return false;
  }
  const RECT frame = FrameRect(kDefaultDpi);
  ::CreateWindowExW(kWindowExStyle, kWindowClass, L"", kWindowStyle, work.left, work.top,
                    frame.right - frame.left, frame.bottom - frame.top, owner_, nullptr, instance_,
                    this);
  if (window_ == nullptr) {
    return false;
  }
  Form_Load();
  CenterOnWorkArea();
  return true;
}

void AboutWindow::Show() {
  ::ShowWindow(window_, SW_SHOWNORMAL);
  ::SetForegroundWindow(window_);
  ::SetFocus(Control(kCmdOK));
}

void AboutWindow::BringForward() {
  if (::IsIconic(window_)) {
    ::ShowWindow(window_, SW_RESTORE);
  } else {
    ::ShowWindow(window_, SW_SHOW);
  }
  ::SetForegroundWindow(window_);
}

LRESULT CALLBACK AboutWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = WindowObject<AboutWindow>(window, message, lParam);
  if (self == nullptr) {
    return ::DefWindowProcW(window, message, wParam, lParam);
  }
  if (message == WM_NCCREATE) {
    self->window_ = window;
  } else if (message == WM_NCDESTROY) {
    self->window_ = nullptr;
    // A window that failed to load is still owned by ShowAboutWindow's own pointer.
    if (g_about.get() == self) {
      g_about.reset();
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
  }
  return self->HandleMessage(message, wParam, lParam);
}

// Handlers that unload the window delete this object: nothing touches a member after them.
LRESULT AboutWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      return OnCreate() ? 0 : -1;
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_PRINTCLIENT:
      OnPrintClient(reinterpret_cast<HDC>(wParam), lParam);
      return 0;
    case WM_CTLCOLORSTATIC:
      return OnCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_SETCURSOR:
      if (OnSetCursor(reinterpret_cast<HWND>(wParam), LOWORD(lParam))) {
        return TRUE;
      }
      return ::DefWindowProcW(window_, message, wParam, lParam);
    case WM_ACTIVATE:
      OnActivate(wParam);
      return ::DefWindowProcW(window_, message, wParam, lParam);
    case WM_SETFOCUS:
      OnSetFocus();
      return 0;
    case WM_DPICHANGED:
      OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_CLOSE:
      Form_QueryUnload();
      Unload();
      return 0;
    case WM_DESTROY:
      UnregisterTopLevelWindow(window_);
      return 0;
    default:
      return ::DefWindowProcW(window_, message, wParam, lParam);
  }
}

bool AboutWindow::OnCreate() {
  dpi_ = WindowDpi(window_);
  if (dpi_ != kDefaultDpi) {
    const RECT frame = FrameRect(dpi_);
    ::SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  fonts_ = MakeFonts(dpi_);
  if (!CreateControls(window_, layout_, dpi_, fonts_.regular.Get())) {
    return false;
  }
  ApplyFonts(fonts_);
  RegisterTopLevelWindow(window_);
  return true;
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
  const int saved = ::SaveDC(dc);  // for the DC brush colour
  for (const LineSpec& line : line1_) {
    const int top = TwipsToPixels(line.y, dpi_);
    const RECT band{TwipsToPixels(line.x1, dpi_), top, TwipsToPixels(line.x2, dpi_),
                    top + std::max(1, ::MulDiv(line.width, static_cast<int>(dpi_), kDefaultDpi))};
    ::SetDCBrushColor(dc, line.colour);
    ::FillRect(dc, &band, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));
  }
  ::RestoreDC(dc, saved);
}

void AboutWindow::OnPaint() {
  PAINTSTRUCT paint;
  HDC dc = ::BeginPaint(window_, &paint);
  PaintRule(dc);
  ::EndPaint(window_, &paint);
}

void AboutWindow::OnPrintClient(HDC dc, LPARAM options) {
  if ((options & PRF_ERASEBKGND) != 0) {
    RECT client;
    ::GetClientRect(window_, &client);
    ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_BTNFACE));
  }
  PaintRule(dc);
}

LRESULT AboutWindow::OnCtlColorStatic(HDC dc, HWND control) {
  COLORREF text = ::GetSysColor(COLOR_BTNTEXT);
  switch (::GetDlgCtrlID(control)) {
    case kLblTolvane:
      text = kLinkColour;
      break;
    case kLblTitle:
    case kLblDescription:
    case kLblDisclaimer:
      text = kBlack;  // fixed, where the others follow the colour scheme
      break;
    default:
      break;
  }
  ::SetTextColor(dc, text);
  ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
  return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
}

bool AboutWindow::OnSetCursor(HWND over, UINT hitTest) {
  if (over != Control(kLblTolvane) || hitTest != HTCLIENT || !handCursor_) {
    return false;
  }
  ::SetCursor(handCursor_.Get());
  return true;
}

// Remembers the focused control, so that coming back to the window returns to it.
void AboutWindow::OnActivate(WPARAM wParam) {
  if (LOWORD(wParam) != WA_INACTIVE) {
    return;
  }
  HWND focus = ::GetFocus();
  if (focus != nullptr && ::IsChild(window_, focus)) {
    focusOnDeactivate_ = focus;
  }
}

void AboutWindow::OnSetFocus() {
  if (focusOnDeactivate_ != nullptr && ::IsWindow(focusOnDeactivate_) &&
      ::IsWindowEnabled(focusOnDeactivate_)) {
    ::SetFocus(focusOnDeactivate_);
  } else {
    ::SetFocus(Control(kCmdOK));
  }
}

void AboutWindow::OnDpiChanged(UINT dpi, const RECT& suggested) {
  dpi_ = dpi;
  // The controls get the new fonts before the old ones are deleted.
  Fonts fonts = MakeFonts(dpi_);
  PlaceControls(window_, layout_, dpi_, fonts.regular.Get());
  ApplyFonts(fonts);
  fonts_ = std::move(fonts);
  const RECT frame = FrameRect(dpi_);
  ::SetWindowPos(window_, nullptr, suggested.left, suggested.top, frame.right - frame.left,
                 frame.bottom - frame.top, SWP_NOZORDER | SWP_NOACTIVATE);
  LoadWindowIcons();
  LoadProgramIcon();
  LoadLogo();
}

void AboutWindow::ApplyFonts(const Fonts& fonts) {
  const auto give = [this](int id, const ScopedFont& font) {
    ::SendMessageW(Control(id), WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), TRUE);
  };
  give(kLblTitle, fonts.bold);
  give(kLblRegTo, fonts.italic);
  give(kLblTolvane, fonts.link);
}

void AboutWindow::MoveToRow(std::size_t row) {
  const RECT rect = ControlRect(layout_, row, dpi_);
  ::SetWindowPos(Control(layout_[row].id), nullptr, rect.left, rect.top, rect.right - rect.left,
                 rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

// Images are loaded at the size they are shown at, so no control scales them.
void AboutWindow::LoadWindowIcons() {
  const auto load = [this](int metricX, int metricY) {
    return static_cast<HICON>(::LoadImageW(instance_, MAKEINTRESOURCEW(IDI_ABOUT), IMAGE_ICON,
                                           SystemMetricForDpi(metricX, dpi_),
                                           SystemMetricForDpi(metricY, dpi_), LR_DEFAULTCOLOR));
  };
  ScopedIcon large(load(SM_CXICON, SM_CYICON));
  ScopedIcon smallIcon(load(SM_CXSMICON, SM_CYSMICON));
  ::SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(large.Get()));
  ::SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon.Get()));
  largeIcon_ = std::move(large);
  smallIcon_ = std::move(smallIcon);
}

void AboutWindow::LoadProgramIcon() {
  const RECT box = ControlRect(layout_, RowOf(kPicIcon), dpi_);
  ScopedIcon icon(static_cast<HICON>(::LoadImageW(instance_, MAKEINTRESOURCEW(IDI_DAYMARKER),
                                                  IMAGE_ICON, box.right - box.left,
                                                  box.bottom - box.top, LR_DEFAULTCOLOR)));
  ::SendMessageW(Control(kPicIcon), STM_SETICON, reinterpret_cast<WPARAM>(icon.Get()), 0);
  programIcon_ = std::move(icon);
}

void AboutWindow::LoadLogo() {
  RECT inside;
  ::GetClientRect(Control(kPicTolvane), &inside);
  ScopedBitmap logo(
      static_cast<HBITMAP>(::LoadImageW(instance_, MAKEINTRESOURCEW(IDB_LOGO), IMAGE_BITMAP,
                                        inside.right, inside.bottom, LR_CREATEDIBSECTION)));
  ::SendMessageW(Control(kPicTolvane), STM_SETIMAGE, IMAGE_BITMAP,
                 reinterpret_cast<LPARAM>(logo.Get()));
  logo_ = std::move(logo);
}

void AboutWindow::AddLinkTooltip() {
  if (tooltip_ == nullptr) {
    tooltip_ =
        ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                          WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                          CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr, instance_, nullptr);
  }
  TOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;  // understood by every version of the control
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = window_;
  tool.uId = reinterpret_cast<UINT_PTR>(Control(kLblTolvane));
  tool.lpszText = const_cast<wchar_t*>(kLinkTip);  // the tooltip keeps its own copy
  ::SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
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
  ::SetWindowTextW(window_, (L"About " + std::wstring(kAppTitle)).c_str());
  LoadWindowIcons();
  LoadProgramIcon();
  SetText(kLblTitle, std::wstring(kProductName));
  SetText(kLblVersion, L"Version " + VersionNumberText(version_));
  SetText(kLblCopyright, std::wstring(kCopyright));
  SetText(kLblDescription, std::wstring(kFileDescription));

  // The link's colour and underline are its look, given at WM_CTLCOLORSTATIC and by its font.
  SetText(kLblTolvane, kLinkCaption + (L"\r\n(" + website_ + L")"));
  handCursor_.Reset(static_cast<HCURSOR>(::LoadImageW(instance_, MAKEINTRESOURCEW(IDC_LINK_HAND),
                                                      IMAGE_CURSOR, 0, 0, LR_DEFAULTCOLOR)));
  AddLinkTooltip();

  SetText(kLblRegTo, std::wstring(kRegisteredTo) + kRegisteredName);
  SetText(kLblComments, comments_);
  if (comments_.empty()) {
    // The comments label's height and the gap above it: 600 twips as designed.
    const ControlSpec& comments = layout_[RowOf(kLblComments)];
    const ControlSpec& regTo = layout_[RowOf(kLblRegTo)];
    const float shift = static_cast<float>(comments.top) -
                        (static_cast<float>(regTo.top) + static_cast<float>(regTo.height)) +
                        static_cast<float>(comments.height);
    const int shiftTwips = static_cast<int>(std::lround(shift));
    for (LineSpec& line : line1_) {
      line.y -= shiftTwips;
    }
    for (const std::size_t row : {RowOf(kLblDisclaimer), RowOf(kCmdOK), RowOf(kCmdSysInfo)}) {
      layout_[row].top -= shiftTwips;
      MoveToRow(row);
    }
    clientHeightTwips_ -= shiftTwips;
    const RECT frame = FrameRect(dpi_);
    ::SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
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
  LoadLogo();
}

void AboutWindow::Form_QueryUnload() {
  // A close is never refused.
}

void AboutWindow::Unload() {
  ::DestroyWindow(window_);
}

void AboutWindow::cmdOK_Click() {
  Unload();
}

void AboutWindow::cmdSysInfo_Click() {
  StartSysInfo(window_);
}

void AboutWindow::lblTolvane_Click() {
  {
    const ComApartment apartment;
    // The main window may be gone by now; the request then has no owner.
    const HWND owner = ::IsWindow(mainWindow_) ? mainWindow_ : nullptr;
    // Not examined: a website that cannot be opened is not reported.
    OpenInBrowser(owner, website_.c_str());
  }
  cmdOK_Click();
}

}  // namespace

void ShowAboutWindow(HINSTANCE instance, HWND mainWindow) {
  ShowAboutWindow(instance, mainWindow, AboutContent{});
}

void ShowAboutWindow(HINSTANCE instance, HWND mainWindow, const AboutContent& content) {
  if (g_about != nullptr && g_about->Window() != nullptr) {
    g_about->BringForward();
    return;
  }
  auto about = std::make_unique<AboutWindow>(instance, mainWindow, content);
  if (!about->Create()) {
    return;
  }
  g_about = std::move(about);
  g_about->Show();
}

HWND AboutWindowHandle() {
  return g_about != nullptr ? g_about->Window() : nullptr;
}

}  // namespace daymarker
