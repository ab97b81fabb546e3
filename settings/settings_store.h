// The saved settings: seven values under HKEY_CURRENT_USER\Software\<company>\<title>.
#pragma once

#include <string>

#include "core/settings_values.h"

namespace daymarker {

// Reads the seven values into values; a missing or empty one leaves its
// variable as it was. True when at least one value was found. Never creates
// the key.
bool LoadSettings(SettingValues& values);

// Writes all seven values, creating the key when it is missing. Every write is
// attempted even after one fails; true only when all seven succeeded.
bool SaveSettings(const SettingValues& values);

// The process-wide setting variables.
SettingValues& AppSettings();

}  // namespace daymarker
