// The saved settings: seven values under HKEY_CURRENT_USER\Software\<company>\<title>.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

#include "core/setting_names.h"
#include "core/settings_values.h"
#include "settings/registry.h"

namespace daymarker {

// "Software\Tolvane\Daymarker", built from the application properties.
std::wstring SettingsKeyPath();

// Reads the seven values into values; a missing or empty one leaves its
// variable as it was. True when at least one value was found. Never creates
// the key.
bool LoadSettings(SettingValues& values);

// Writes all seven values, creating the key when it is missing. Every write is
// attempted even after one fails; true only when all seven succeeded.
bool SaveSettings(const SettingValues& values);

// The process-wide setting variables.
SettingValues& AppSettings();

// The registry type and carrier each setting is saved with.
LONG SettingRegType(SettingId id);
RegData SettingRegData(SettingId id, const SettingValues& values);

// SaveSettings with the write call supplied, so the order of writes and the
// handling of failed ones can be checked on their own.
using SettingWriter = std::function<LONG(HKEY root, std::wstring_view path, std::wstring_view name,
                                         const RegData& value, LONG type)>;
bool SaveSettingsWith(const SettingValues& values, const SettingWriter& write);

}  // namespace daymarker
