#include "ui/dpi.h"

#include <cmath>

namespace daymarker {
namespace {

// Functions of newer user32 versions, looked up in the already loaded
// user32 so nothing is searched for on disk.
template <typename Function>
Function User32Function(const char* name) {
  HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
  if (user32 == nullptr) {
    return nullptr;
  }
  return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(user32, name)));
}

UINT ScreenDpi() {
  HDC screen = ::GetDC(nullptr);
  const int dpi = screen != nullptr ? ::GetDeviceCaps(screen, LOGPIXELSY) : 0;
  if (screen != nullptr) {
    ::ReleaseDC(nullptr, screen);
  }
  return dpi > 0 ? static_cast<UINT>(dpi) : kDefaultDpi;
}

}  // namespace

UINT WindowDpi(HWND window) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  if (const auto getDpiForWindow = User32Function<GetDpiForWindowFn>("GetDpiForWindow")) {
    if (const UINT dpi = getDpiForWindow(window); dpi != 0) {
      return dpi;
    }
  }
  return ScreenDpi();
}

int TwipsToPixels(int twips, UINT dpi) {
  return ::MulDiv(twips, static_cast<int>(dpi), kTwipsPerInch);
}

int PixelsToTwips(int pixels, UINT dpi) {
  const double twips = static_cast<double>(pixels) * kTwipsPerInch / (dpi != 0 ? dpi : kDefaultDpi);
  return static_cast<int>(std::nearbyint(twips));  // the default rounding mode: half to even
}

int SystemMetricForDpi(int index, UINT dpi) {
  using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
  if (const auto forDpi = User32Function<GetSystemMetricsForDpiFn>("GetSystemMetricsForDpi")) {
    return forDpi(index, dpi);
  }
  return ::MulDiv(::GetSystemMetrics(index), static_cast<int>(dpi), static_cast<int>(ScreenDpi()));
}

BOOL AdjustWindowRectForDpi(RECT* rect, DWORD style, BOOL menu, DWORD exStyle, UINT dpi) {
  using AdjustForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
  if (const auto adjust = User32Function<AdjustForDpiFn>("AdjustWindowRectExForDpi")) {
    return adjust(rect, style, menu, exStyle, dpi);
  }
  return ::AdjustWindowRectEx(rect, style, menu, exStyle);
}

HFONT CreateTahomaFont(UINT dpi, LONG weight, bool italic, bool underline) {
  LOGFONTW font{};
  // 8.25 pt: the cell height in pixels is rounded as the classic form designers did.
  font.lfHeight = -static_cast<LONG>(std::lround(8.25 * dpi / 72.0));
  font.lfWeight = weight;
  font.lfItalic = italic ? TRUE : FALSE;
  font.lfUnderline = underline ? TRUE : FALSE;
  font.lfCharSet = ANSI_CHARSET;
  font.lfQuality = DEFAULT_QUALITY;
  ::lstrcpynW(font.lfFaceName, L"Tahoma", LF_FACESIZE);
  return ::CreateFontIndirectW(&font);
}

}  // namespace daymarker
