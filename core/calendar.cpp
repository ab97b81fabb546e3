#include "core/calendar.h"

#include <algorithm>
#include <chrono>
#include <limits>

namespace daymarker {
namespace {

using std::chrono::days;
using std::chrono::local_days;
using std::chrono::seconds;

constexpr std::int64_t kSecondsPerDay = 86400;

local_days DayOf(const CivilDateTime& time) {
  return local_days{std::chrono::year_month_day{
      std::chrono::year{time.year}, std::chrono::month{static_cast<unsigned>(time.month)},
      std::chrono::day{static_cast<unsigned>(time.day)}}};
}

}  // namespace

std::int64_t WallSecondsFromCivil(const CivilDateTime& time) {
  return static_cast<std::int64_t>(DayOf(time).time_since_epoch().count()) * kSecondsPerDay +
         std::int64_t{time.hour} * 3600 + std::int64_t{time.minute} * 60 + time.second;
}

int DayOfWeek(const CivilDateTime& time) {
  return static_cast<int>(std::chrono::weekday{DayOf(time)}.c_encoding());
}

CivilDateTime CivilFromWallSeconds(std::int64_t wallSeconds) {
  // Floor to whole days so times before 1970 land on the right day.
  std::int64_t dayCount = wallSeconds / kSecondsPerDay;
  std::int64_t secondOfDay = wallSeconds % kSecondsPerDay;
  if (secondOfDay < 0) {
    secondOfDay += kSecondsPerDay;
    --dayCount;
  }
  const std::chrono::year_month_day date{local_days{days{dayCount}}};
  CivilDateTime time;
  time.year = static_cast<int>(date.year());
  time.month = static_cast<int>(static_cast<unsigned>(date.month()));
  time.day = static_cast<int>(static_cast<unsigned>(date.day()));
  time.hour = static_cast<int>(secondOfDay / 3600);
  time.minute = static_cast<int>(secondOfDay / 60 % 60);
  time.second = static_cast<int>(secondOfDay % 60);
  return time;
}

std::int32_t EventSecondsFromWall(std::int64_t wallSeconds) {
  return static_cast<std::int32_t>(
      std::clamp<std::int64_t>(wallSeconds, 0, std::numeric_limits<std::int32_t>::max()));
}

}  // namespace daymarker
