// Feeds arbitrary bytes, read as wide characters, to the number readers and
// checks what must hold for every text.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/number_text.h"
#include "core/setting_names.h"

namespace {

using namespace daymarker;

void Check(bool condition) {
  if (!condition) {
    std::abort();
  }
}

std::wstring TextOf(const std::uint8_t* data, std::size_t size) {
  std::wstring text(size / sizeof(wchar_t), L'\0');
  std::memcpy(text.data(), data, text.size() * sizeof(wchar_t));
  return text;
}

// The same bytes as one character each: reaches digits and signs far more often.
std::wstring NarrowTextOf(const std::uint8_t* data, std::size_t size) {
  return std::wstring(data, data + size);
}

void CheckText(const std::wstring& text) {
  const double number = LeadingNumber(text);
  Check(!std::isnan(number));

  const std::optional<std::int32_t> wide = RoundToInt32(number);
  const std::optional<std::int16_t> narrow = RoundToInt16(number);
  if (narrow) {
    Check(wide.has_value() && *wide == *narrow);
  }
  if (wide) {
    Check(std::fabs(number - *wide) <= 0.5);
  }

  // A whole number is also a leading number, and rounds the same way.
  if (const std::optional<std::int32_t> whole = WholeNumberToInt32(text)) {
    Check(wide.has_value() && *wide == *whole);
  }

  for (SettingId id : kSettingIds) {
    SettingValues values;
    values.EventName = L"before";
    const SettingValues before = values;
    const bool found = ApplySettingText(id, text, values);
    Check(found == !text.empty());
    if (!found) {
      Check(values == before);
    }
    if (id == SettingId::Event && found) {
      Check(values.EventName == text);
    }
    if (id == SettingId::WindowX && found) {
      Check(values.WindowLeft == wide.value_or(0));
    }
    if (id == SettingId::Display && found) {
      Check(values.DisplayLevel == narrow.value_or(0));
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CheckText(TextOf(data, size));
  CheckText(NarrowTextOf(data, size));
  return 0;
}
