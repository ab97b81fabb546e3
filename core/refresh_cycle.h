// The update-interval table and the tick counter that paces rebuilds of the status line.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace daymarker {

struct UpdateInterval {
  std::wstring_view text;
  std::int32_t seconds;
};

// List position p holds the choice UpdateIndex p + 1.
inline constexpr std::array<UpdateInterval, 8> kUpdateIntervals = {{
    {L"Every Second", 1},
    {L"Every 10 Seconds", 10},
    {L"Every 30 Seconds", 30},
    {L"Every Minute", 60},
    {L"Every 5 Minutes", 300},
    {L"Every 15 Minutes", 900},
    {L"Every 30 Minutes", 1800},
    {L"Every Hour", 3600},
}};

// The list position start-up selects before the saved choice: "Every 30 Seconds".
inline constexpr int kDefaultUpdatePosition = 2;

// Counts one timer tick. Returns true when this tick rebuilds the line, and
// then restarts the count from the period of updateIndex. An index outside
// the table leaves the count at 0 or below, so every later tick rebuilds too.
bool CountTick(std::int32_t& secondsToRefresh, int updateIndex);

}  // namespace daymarker
