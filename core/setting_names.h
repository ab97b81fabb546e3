// The seven saved settings: their value names and how a saved text turns
// back into a setting variable.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "core/settings_values.h"

namespace daymarker {

// In the order in which the settings are loaded and saved.
enum class SettingId { WindowX, WindowY, DateNTime, Event, Display, Update, OnlyUnits };

inline constexpr std::array<SettingId, 7> kSettingIds = {
    SettingId::WindowX, SettingId::WindowY, SettingId::DateNTime, SettingId::Event,
    SettingId::Display, SettingId::Update,  SettingId::OnlyUnits,
};

inline constexpr std::array<std::wstring_view, 7> kSettingNames = {
    L"WindowX", L"WindowY", L"DateNTime", L"Event", L"Display", L"Update", L"OnlyUnits",
};

constexpr std::wstring_view SettingName(SettingId id) {
  return kSettingNames[static_cast<std::size_t>(id)];
}

// Applies one saved text to its variable. An empty text counts as not saved:
// the variable stays and the result is false. Any other text counts as found
// (true): "Event" takes it unchanged, the numeric settings take the rounded
// leading number, except that a number too large for the variable leaves it
// as it was.
bool ApplySettingText(SettingId id, std::wstring_view text, SettingValues& values);

}  // namespace daymarker
