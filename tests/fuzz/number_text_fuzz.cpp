// Arbitrary bytes as a hand-edited settings text, through what loading does
// with it and the whole-number reader a write uses, checking what holds for
// every text: no crash, a result in range, a number that reads back as itself
// once written out, and readers that stop where the number does.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/number_text.h"
#include "core/settings_values.h"

namespace {

using namespace daymarker;

const auto Check = [](bool holds) { holds ? void() : std::abort(); };

constexpr std::int32_t kUntouched = -7;

void CheckText(const std::wstring& text) {
  const double number = LeadingNumber(text);
  Check(!std::isnan(number));
  // A whole-number text reads as its leading number does.
  if (const auto whole = WholeNumberToInt32(text)) {
    Check(std::fabs(number - *whole) <= 0.5);
  }
  std::int32_t position = kUntouched;
  AssignSettingText(text, position);
  Check(position == kUntouched || std::fabs(number - position) <= 0.5);
  std::int32_t again = kUntouched - 1;
  AssignSettingText(std::to_wstring(position), again);
  Check(again == position);
  // A 16-bit variable takes the same number where it fits, else keeps its value.
  std::int16_t level = kUntouched;
  AssignSettingText(text, level);
  Check(level == position ||
        (level == kUntouched && (position < INT16_MIN || position > INT16_MAX)));
  // The readers stop where the number does: blanks before it and a letter after it
  // change no leading number, and make no whole one.
  Check(LeadingNumber(L" \t" + text + L'x') == number && !WholeNumberToInt32(text + L'x'));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::wstring text(size / sizeof(wchar_t), L'\0');
  std::memcpy(text.data(), data, text.size() * sizeof(wchar_t));
  CheckText(text);
  // One character a byte reaches digits and signs far more often.
  CheckText(std::wstring(data, data + size));
  return 0;
}
