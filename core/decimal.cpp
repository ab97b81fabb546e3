#include "core/decimal.h"

#include <array>

namespace daymarker {

void AppendDecimal(std::wstring& text, std::int64_t value) {
  // Work on the magnitude as unsigned, so the most negative value has one too.
  std::uint64_t magnitude =
      value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  std::array<wchar_t, 20> digits{};  // 2^64 has 20 digits
  std::size_t count = 0;
  do {
    digits[count++] = static_cast<wchar_t>(L'0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (value < 0) {
    text += L'-';
  }
  while (count > 0) {
    text += digits[--count];
  }
}

}  // namespace daymarker
