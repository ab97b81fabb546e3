#include "core/setting_names.h"

#include <optional>

#include "core/number_text.h"

namespace daymarker {
namespace {

template <typename Int>
void AssignIfPresent(const std::optional<Int>& number, Int& variable) {
  if (number) {
    variable = *number;
  }
}

}  // namespace

bool ApplySettingText(SettingId id, std::wstring_view text, SettingValues& values) {
  if (text.empty()) {
    return false;
  }
  if (id == SettingId::Event) {
    values.EventName.assign(text);
    return true;
  }
  const double number = LeadingNumber(text);
  switch (id) {
    case SettingId::WindowX:
      AssignIfPresent(RoundToInt32(number), values.WindowLeft);
      break;
    case SettingId::WindowY:
      AssignIfPresent(RoundToInt32(number), values.WindowTop);
      break;
    case SettingId::DateNTime:
      AssignIfPresent(RoundToInt32(number), values.EventSeconds);
      break;
    case SettingId::Display:
      AssignIfPresent(RoundToInt16(number), values.DisplayLevel);
      break;
    case SettingId::Update:
      AssignIfPresent(RoundToInt16(number), values.UpdateIndex);
      break;
    case SettingId::OnlyUnits:
      AssignIfPresent(RoundToInt16(number), values.OnlyUnitsFlag);
      break;
    case SettingId::Event:
      break;
  }
  return true;
}

}  // namespace daymarker
