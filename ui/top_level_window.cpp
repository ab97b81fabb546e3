#include "ui/top_level_window.h"

#include <utility>

#include "ui/dpi.h"
#include "ui/fonts_icons.h"
#include "ui/message_loop.h"
#include "win/system_functions.h"

namespace daymarker {

TopLevelWindow::TopLevelWindow(HINSTANCE instance, const FrameSpec& frame)
    : instance_(instance), frame_(frame), dpi_(kDefaultDpi) {}

bool TopLevelWindow::CreateFrame(HWND owner, HMENU menu, int x, int y) {
  // Sized for the system's DPI; WM_CREATE corrects it where the window's own differs.
  dpi_ = SystemDpi();
  hasMenu_ = menu != nullptr;
  const RECT frame = FrameRect();
  return CreateObjectWindow(instance_, frame_.className, frame_.exStyle, frame_.style,
                            {x, y, x + frame.right - frame.left, y + frame.bottom - frame.top},
                            owner, menu);
}

LRESULT TopLevelWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::DefWindowProcW(Window(), message, wParam, lParam);
}

RECT TopLevelWindow::FrameRect(UINT dpi) const {
  const SIZE client = ClientTwips();
  RECT frame{0, 0, TwipsToPixels(client.cx, dpi), TwipsToPixels(client.cy, dpi)};
  AdjustWindowRectForDpi(&frame, frame_.style, hasMenu_ ? TRUE : FALSE, frame_.exStyle, dpi);
  return frame;
}

void TopLevelWindow::FitFrame() {
  const RECT frame = FrameRect();
  ::SetWindowPos(Window(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT TopLevelWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCCREATE:
      // Windows 10 1607 runs the program as PerMonitor, whose caption and menu scale only so.
      if (const auto scaleFrame = system_functions::EnableNonClientDpiScaling::Get()) {
        scaleFrame(Window());
      }
      break;
    case WM_CREATE:
      return OnCreateFrame() ? 0 : -1;
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_ACTIVATE:
      OnActivate(wParam);
      break;
    case WM_SETFOCUS:
      OnSetFocus();
      return 0;
    case WM_NEXTDLGCTL:
      OnNextDlgCtl(wParam, lParam);
      return 0;
    case WM_DPICHANGED:
      OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_SIZE:
      if (fitWhenRestored_ && wParam == SIZE_RESTORED) {
        fitWhenRestored_ = false;
        FitFrame();
      }
      break;
    case WM_SYSCOLORCHANGE:
      ForwardToControls(message, wParam, lParam);
      break;
    case kGetDpiScaledSize:
      return OnGetDpiScaledSize(static_cast<UINT>(wParam), *reinterpret_cast<SIZE*>(lParam));
    case WM_DESTROY:
      UnregisterTopLevelWindow(Window());
      break;
    default:
      break;
  }
  return OnMessage(message, wParam, lParam);
}

bool TopLevelWindow::OnCreateFrame() {
  if (const UINT dpi = WindowDpi(Window()); dpi != dpi_) {
    dpi_ = dpi;
    FitFrame();
  }
  LoadWindowIcons();
  if (frame_.acceleratorsId != 0) {
    accelerators_.Reset(::LoadAcceleratorsW(instance_, MAKEINTRESOURCEW(frame_.acceleratorsId)));
  }
  if (!MakeControls()) {
    return false;
  }
  RegisterTopLevelWindow(Window(), accelerators_.Get());
  return true;
}

// Remembers the focused control, so that coming back to the window returns to it.
void TopLevelWindow::OnActivate(WPARAM wParam) {
  if (LOWORD(wParam) != WA_INACTIVE) {
    return;
  }
  HWND focus = ::GetFocus();
  if (focus != nullptr && ::IsChild(Window(), focus)) {
    focusOnDeactivate_ = focus;
  }
}

void TopLevelWindow::OnSetFocus() {
  if (focusOnDeactivate_ != nullptr && ::IsWindow(focusOnDeactivate_) &&
      ::IsWindowEnabled(focusOnDeactivate_)) {
    ::SetFocus(focusOnDeactivate_);
  } else {
    ::SetFocus(FirstFocus());
  }
}

// The dialog manager moves the focus by sending this, as a dialog's own
// procedure would answer it: Tab and Shift+Tab (wParam says which, lParam 0),
// and the access key of a group box, which names the box (lParam 1) and then
// asks for the next control.
void TopLevelWindow::OnNextDlgCtl(WPARAM wParam, LPARAM lParam) {
  HWND next = LOWORD(lParam) != 0 ? reinterpret_cast<HWND>(wParam)
                                  : ::GetNextDlgTabItem(Window(), ::GetFocus(), wParam != 0);
  if (next == nullptr) {
    return;
  }
  // An edit box reached this way shows its whole text selected.
  if ((::SendMessageW(next, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) != 0) {
    ::SendMessageW(next, EM_SETSEL, 0, -1);
  }
  ::SetFocus(next);
}

// Windows tells top-level windows alone; common controls (the date pickers)
// learn of it from their window.
void TopLevelWindow::ForwardToControls(UINT message, WPARAM wParam, LPARAM lParam) {
  for (HWND control = ::GetWindow(Window(), GW_CHILD); control != nullptr;
       control = ::GetWindow(control, GW_HWNDNEXT)) {
    ::SendMessageW(control, message, wParam, lParam);
  }
}

void TopLevelWindow::OnDpiChanged(UINT dpi, const RECT& suggested) {
  dpi_ = dpi;
  // On Windows, resizing a minimised window raises WM_SIZE(SIZE_MINIMIZED) again:
  // its frame takes the new size when it is restored.
  fitWhenRestored_ = ::IsIconic(Window()) != FALSE;
  if (!fitWhenRestored_) {
    const RECT frame = FrameRect();
    ::SetWindowPos(Window(), nullptr, suggested.left, suggested.top, frame.right - frame.left,
                   frame.bottom - frame.top, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  RescaleControls();
  LoadWindowIcons();
}

// The frame does not scale in proportion (captions, borders and rounding do
// not): Windows asks for the size the window will take, so that the rectangle
// it suggests with WM_DPICHANGED is that one.
bool TopLevelWindow::OnGetDpiScaledSize(UINT dpi, SIZE& size) const {
  const RECT frame = FrameRect(dpi);
  size = {frame.right - frame.left, frame.bottom - frame.top};
  return true;
}

// Loaded at the sizes the DPI asks for, so that Windows need not stretch them.
void TopLevelWindow::LoadWindowIcons() {
  ScopedIcon large(LoadIconForDpi(instance_, frame_.iconId, SM_CXICON, SM_CYICON, dpi_));
  ScopedIcon smallIcon(LoadIconForDpi(instance_, frame_.iconId, SM_CXSMICON, SM_CYSMICON, dpi_));
  ::SendMessageW(Window(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(large.Get()));
  ::SendMessageW(Window(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon.Get()));
  // The window now shows the new ones; the old ones may go.
  largeIcon_ = std::move(large);
  smallIcon_ = std::move(smallIcon);
}

}  // namespace daymarker
