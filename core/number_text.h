// Numbers read out of hand-editable settings text. Everything here is
// locale-independent and linear in the length of the text.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace daymarker {

// The number formed by the leading part of text: blanks and tabs first, then
// an optional sign, digits with an optional '.' fraction, and an optional
// exponent (e, E, d or D, with an optional sign). A text that does not begin
// with a number gives 0; hexadecimal, "inf" and "nan" are not numbers.
// Overflow gives +-infinity, underflow a zero.
double LeadingNumber(std::wstring_view text);

// The nearest integer, a half going to the even neighbour (2.5 -> 2, 3.5 -> 4,
// -2.5 -> -2); nothing when that integer does not fit, or for inf and nan.
std::optional<std::int32_t> RoundToInt32(double value);
std::optional<std::int16_t> RoundToInt16(double value);

// A text that must be a number as a whole (blanks and tabs around it allowed),
// rounded as RoundToInt32 does: "2.5" -> 2, "1e3" -> 1000, "abc", "" and
// "4294967296" -> nothing.
std::optional<std::int32_t> WholeNumberToInt32(std::wstring_view text);

}  // namespace daymarker
