#include "core/tray_tip.h"

namespace daymarker {
namespace {

constexpr std::wstring_view kEscapedAmpersand = L"&&&";

constexpr bool IsHighSurrogate(wchar_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}

constexpr bool IsLowSurrogate(wchar_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

}  // namespace

std::wstring TrayTipText(std::wstring_view line, bool ampersandIsPrefix) {
  std::wstring tip;
  for (std::size_t i = 0; i < line.size();) {
    // The next character: one unit, a surrogate pair, or an & that shows escaped.
    std::size_t taken = 1;
    std::wstring_view shown = line.substr(i, 1);
    if (ampersandIsPrefix && line[i] == L'&') {
      shown = kEscapedAmpersand;
    } else if (IsHighSurrogate(line[i]) && i + 1 < line.size() && IsLowSurrogate(line[i + 1])) {
      taken = 2;
      shown = line.substr(i, 2);
    }
    if (tip.size() + shown.size() > kTrayTipLength) {
      break;
    }
    tip += shown;
    i += taken;
  }
  return tip;
}

}  // namespace daymarker
