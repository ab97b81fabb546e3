#include "ui/fonts_icons.h"

#include <cmath>
#include <string_view>

#include "ui/dpi.h"
#include "win/system_functions.h"

namespace daymarker {

HICON LoadIconForDpi(HINSTANCE instance, int id, int metricX, int metricY, UINT dpi) {
  const int width = SystemMetricForDpi(metricX, dpi);
  const int height = SystemMetricForDpi(metricY, dpi);
  // Windows' LoadImageW stretches the next smaller image up; this shrinks the next larger one.
  HICON icon = nullptr;
  if (const auto scaleDown = system_functions::LoadIconWithScaleDown::Get();
      scaleDown != nullptr &&
      SUCCEEDED(scaleDown(instance, MAKEINTRESOURCEW(id), width, height, &icon))) {
    return icon;
  }
  return static_cast<HICON>(
      ::LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, width, height, LR_DEFAULTCOLOR));
}

HFONT CreateTahomaFont(UINT dpi, LONG weight, bool italic, bool underline) {
  LOGFONTW font{};
  // 8.25 pt as a character height in pixels (negative: not the cell's), rounded
  // half away from zero as the classic form designers did.
  font.lfHeight = -static_cast<LONG>(std::lround(8.25 * dpi / 72.0));
  font.lfWeight = weight;
  font.lfItalic = italic ? TRUE : FALSE;
  font.lfUnderline = underline ? TRUE : FALSE;
  font.lfCharSet = ANSI_CHARSET;
  font.lfQuality = DEFAULT_QUALITY;
  std::wstring_view(L"Tahoma").copy(font.lfFaceName, LF_FACESIZE - 1);
  return ::CreateFontIndirectW(&font);
}

}  // namespace daymarker
