#include "core/decimal.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>

namespace daymarker {

void AppendDecimal(std::wstring& text, std::int64_t value) {
  if (value < 0) {
    text += L'-';
  }
  const std::size_t first = text.size();
  // The digits come from the signed value itself, last first, so the most
  // negative value needs no magnitude that would not fit.
  do {
    text += static_cast<wchar_t>(L'0' + std::abs(value % 10));
    value /= 10;
  } while (value != 0);
  std::reverse(text.begin() + static_cast<std::ptrdiff_t>(first), text.end());
}

}  // namespace daymarker
