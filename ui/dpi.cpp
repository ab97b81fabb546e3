#include "ui/dpi.h"

#include <limits>

#include "core/number_text.h"
#include "win/system_functions.h"

namespace daymarker {
namespace {

constexpr int kTwipsPerInch = 1440;

UINT ScreenDpi() {
  HDC screen = ::GetDC(nullptr);
  const int dpi = screen != nullptr ? ::GetDeviceCaps(screen, LOGPIXELSY) : 0;
  if (screen != nullptr) {
    ::ReleaseDC(nullptr, screen);
  }
  return dpi > 0 ? static_cast<UINT>(dpi) : kDefaultDpi;
}

ScreenRect FromRect(const RECT& rect) {
  return {rect.left, rect.top, rect.right, rect.bottom};
}

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC /*dc*/, RECT* rect, LPARAM monitors) {
  MONITORINFO info{sizeof(info)};
  // Without its work area, all of the monitor is the best guess.
  const RECT work = ::GetMonitorInfoW(monitor, &info) ? info.rcWork : *rect;
  reinterpret_cast<std::vector<Monitor>*>(monitors)->push_back({FromRect(*rect), FromRect(work)});
  return TRUE;
}

}  // namespace

UINT WindowDpi(HWND window) {
  if (const auto getDpiForWindow = system_functions::GetDpiForWindow::Get()) {
    if (const UINT dpi = getDpiForWindow(window); dpi != 0) {
      return dpi;
    }
  } else if (const auto getDpiForMonitor = system_functions::GetDpiForMonitor::Get()) {
    // Windows 8.1 has no DPI per window; a per-monitor program gets its monitor's.
    UINT dpiX = 0;
    UINT dpiY = 0;
    if (SUCCEEDED(getDpiForMonitor(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST),
                                   MDT_EFFECTIVE_DPI, &dpiX, &dpiY)) &&
        dpiY != 0) {
      return dpiY;
    }
  }
  return ScreenDpi();
}

UINT SystemDpi() {
  if (const auto getDpiForSystem = system_functions::GetDpiForSystem::Get()) {
    return getDpiForSystem();
  }
  return ScreenDpi();  // the screen's DC reports the system DPI to a per-monitor program
}

int SystemMetricForDpi(int index, UINT dpi) {
  if (const auto forDpi = system_functions::GetSystemMetricsForDpi::Get()) {
    return forDpi(index, dpi);
  }
  return ::MulDiv(::GetSystemMetrics(index), static_cast<int>(dpi), static_cast<int>(ScreenDpi()));
}

int TwipsToPixels(int twips, UINT dpi) {
  return ::MulDiv(twips, static_cast<int>(dpi), kTwipsPerInch);
}

int PixelsToTwips(int pixels, UINT dpi) {
  // pixels * 1440 is exact, and so is the quotient where it is a half; where it
  // is not, the nearest double is no half either (|pixels * 1440| < 2^52).
  const double twips = static_cast<double>(pixels) * kTwipsPerInch / (dpi != 0 ? dpi : kDefaultDpi);
  // Saturated past the range, which only a DPI far below any screen's, or a
  // place 143 million pixels out, reaches.
  return RoundToInt32(twips).value_or(twips < 0 ? std::numeric_limits<int>::min()
                                                : std::numeric_limits<int>::max());
}

std::vector<Monitor> Monitors() {
  std::vector<Monitor> monitors;
  ::EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
  return monitors;
}

void MoveWithinReach(HWND window) {
  RECT frame;
  if (!::GetWindowRect(window, &frame)) {
    return;
  }
  const auto [x, y] = ReachablePlace(FromRect(frame), Monitors());
  if (x != frame.left || y != frame.top) {
    ::SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

BOOL AdjustWindowRectForDpi(RECT* rect, DWORD style, BOOL menu, DWORD exStyle, UINT dpi) {
  if (const auto adjust = system_functions::AdjustWindowRectExForDpi::Get()) {
    return adjust(rect, style, menu, exStyle, dpi);
  }
  return ::AdjustWindowRectEx(rect, style, menu, exStyle);
}

}  // namespace daymarker
