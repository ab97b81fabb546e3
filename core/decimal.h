// Whole numbers written in plain decimal digits, without the C library's
// formatted output (which is large in a static Windows build).
#pragma once

#include <cstdint>
#include <string>

namespace daymarker {

// Appends value in decimal, a minus sign in front when it is negative.
void AppendDecimal(std::wstring& text, std::int64_t value);

inline std::wstring DecimalText(std::int64_t value) {
  std::wstring text;
  AppendDecimal(text, value);
  return text;
}

}  // namespace daymarker
