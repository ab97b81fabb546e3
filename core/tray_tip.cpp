#include "core/tray_tip.h"

namespace daymarker {
namespace {

// The notification area before Windows 11 drops one & of each run of them and
// reads the rest as prefixes, where "&&" shows one &: a run of n is written
// as 2n + 1, the first & as "&&&" and each further one as "&&".
constexpr std::wstring_view kFirstEscapedAmpersand = L"&&&";
constexpr std::wstring_view kFurtherEscapedAmpersand = L"&&";

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
      shown = i > 0 && line[i - 1] == L'&' ? kFurtherEscapedAmpersand : kFirstEscapedAmpersand;
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
