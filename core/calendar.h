// Local wall-clock date-times and their count of seconds since 1 January 1970
// 00:00:00 on the same wall clock (no time zone).
#pragma once

#include <cstdint>

namespace daymarker {

struct CivilDateTime {
  int year = 1970;
  int month = 1;  // 1..12
  int day = 1;    // 1..31
  int hour = 0;
  int minute = 0;
  int second = 0;

  friend bool operator==(const CivilDateTime&, const CivilDateTime&) = default;
};

std::int64_t WallSecondsFromCivil(const CivilDateTime& time);
// The day of the week of the date, 0 for Sunday to 6 for Saturday.
int DayOfWeek(const CivilDateTime& time);
CivilDateTime CivilFromWallSeconds(std::int64_t wallSeconds);

// The saved form of a target: whole wall-clock seconds since 1970, never below 0
// and never past the largest signed 32-bit count (it saturates instead of wrapping).
std::int32_t EventSecondsFromWall(std::int64_t wallSeconds);

// The range the date picker offers: from 1 January 1601 up to 18 January 2038,
// the last day whose every time of day still fits the saved form.
inline constexpr CivilDateTime kEarliestEventDate = {1601, 1, 1, 0, 0, 0};
inline constexpr CivilDateTime kLatestEventDate = {2038, 1, 18, 23, 59, 59};

}  // namespace daymarker
