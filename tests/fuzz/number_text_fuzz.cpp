// Arbitrary bytes as a hand-edited settings text, through what loading does
// with it and the whole-number reader a write uses, checking what holds for
// every text.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/number_text.h"
#include "core/settings_values.h"

namespace {

using namespace daymarker;

void Check(bool holds) {
  if (!holds) {
    std::abort();
  }
}

void CheckText(const std::wstring& text) {
  const double number = LeadingNumber(text);
  const std::optional<std::int32_t> wide = RoundToInt32(number);
  const std::optional<std::int16_t> narrow = RoundToInt16(number);
  const std::optional<std::int32_t> whole = WholeNumberToInt32(text);
  Check(!std::isnan(number) && (!wide || std::fabs(number - *wide) <= 0.5));
  Check((!narrow || wide == *narrow) && (!whole || wide == whole));
  // A number too large for its variable leaves it as it was.
  std::int32_t position = -7;
  AssignSettingText(text, position);
  Check(position == wide.value_or(-7));
  std::int16_t level = -7;
  AssignSettingText(text, level);
  Check(level == narrow.value_or(-7));
  std::wstring name = L"before";
  AssignSettingText(text, name);
  Check(name == text);
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
