#include "core/settings_values.h"

#include "core/number_text.h"

namespace daymarker {

void AssignSettingText(std::wstring_view text, std::wstring& variable) {
  variable.assign(text);
}

void AssignSettingText(std::wstring_view text, std::int32_t& variable) {
  if (const auto number = RoundToInt32(LeadingNumber(text))) {
    variable = *number;
  }
}

void AssignSettingText(std::wstring_view text, std::int16_t& variable) {
  if (const auto number = RoundToInt16(LeadingNumber(text))) {
    variable = *number;
  }
}

}  // namespace daymarker
