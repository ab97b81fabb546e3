// The seven settings' values (the process-wide ones live in
// settings/settings_store.cpp), and how a saved text turns back into one.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

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

// A name takes the saved text as it is. A number takes the text's leading
// number rounded half to even ("12abc" gives 12, "abc" 0, "2.5" 2); one too
// large for the variable leaves it as it was, since no save of this program
// wrote it. The caller skips empty texts: they stand for values not saved.
void AssignSettingText(std::wstring_view text, std::wstring& variable);
void AssignSettingText(std::wstring_view text, std::int32_t& variable);
void AssignSettingText(std::wstring_view text, std::int16_t& variable);

}  // namespace daymarker
