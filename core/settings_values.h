// The process-wide setting variables, as the settings store saves and loads them.
#pragma once

#include <cstdint>
#include <string>

namespace daymarker {

struct SettingValues {
  std::int32_t WindowLeft = 0;    // twips
  std::int32_t WindowTop = 0;     // twips
  std::int32_t EventSeconds = 0;  // wall-clock seconds since 1970, never below 0
  std::wstring EventName;
  std::int16_t DisplayLevel = 0;   // 1..6
  std::int16_t UpdateIndex = 0;    // 1..8
  std::int16_t OnlyUnitsFlag = 0;  // 1 ticked, 2 clear, 0 never set

  friend bool operator==(const SettingValues&, const SettingValues&) = default;
};

}  // namespace daymarker
