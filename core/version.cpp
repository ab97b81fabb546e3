#include "core/version.h"

#include "core/decimal.h"

namespace daymarker {
namespace {

std::wstring ZeroPadded(int value, std::size_t digits) {
  std::wstring text = DecimalText(value);
  while (value >= 0 && text.size() < digits) {
    text.insert(0, 1, L'0');
  }
  return text;
}

}  // namespace

std::wstring VersionNumberText(Version version) {
  std::wstring text = DecimalText(version.major) + L"." + ZeroPadded(version.minor, 2);
  if (version.revision > 0) {
    text += L"." + ZeroPadded(version.revision, 4);
  }
  return text;
}

std::wstring VersionCaption(std::wstring_view title, Version version) {
  std::wstring caption(title);
  caption += L" v";
  caption += VersionNumberText(version);
  return caption;
}

}  // namespace daymarker
