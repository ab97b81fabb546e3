#include "win/clock.h"

#include "win/system_functions.h"

namespace daymarker {
namespace {

constexpr std::int64_t kTicksPerSecond = 10'000'000;
// Seconds from 1 January 1601 (the FILETIME epoch) to 1 January 1970.
constexpr std::int64_t kEpochDifference = 11'644'473'600LL;

// The system's UTC time.
FILETIME UtcNow() {
  FILETIME now{};
  if (const auto getTime = system_functions::GetSystemTimeAsFileTime::Get()) {
    getTime(&now);
  }
  return now;
}

// Whole seconds since 1 January 1970 UTC.
std::int64_t UnixSeconds(const FILETIME& utc) {
  const std::uint64_t ticks = (std::uint64_t{utc.dwHighDateTime} << 32) | utc.dwLowDateTime;
  return static_cast<std::int64_t>(ticks / kTicksPerSecond) - kEpochDifference;
}

FILETIME FileTimeFromUnixSeconds(std::int64_t seconds) {
  const auto ticks = static_cast<std::uint64_t>((seconds + kEpochDifference) * kTicksPerSecond);
  FILETIME time;
  time.dwLowDateTime = static_cast<DWORD>(ticks & 0xFFFFFFFFu);
  time.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
  return time;
}

}  // namespace

CivilDateTime CivilFromSystemTime(const SYSTEMTIME& time) {
  return {time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond};
}

SYSTEMTIME SystemTimeFromCivil(const CivilDateTime& time) {
  SYSTEMTIME system{};
  system.wYear = static_cast<WORD>(time.year);
  system.wMonth = static_cast<WORD>(time.month);
  system.wDay = static_cast<WORD>(time.day);
  system.wHour = static_cast<WORD>(time.hour);
  system.wMinute = static_cast<WORD>(time.minute);
  system.wSecond = static_cast<WORD>(time.second);
  // The day of the week follows from the date; pickers and zone rules may read it.
  system.wDayOfWeek = static_cast<WORD>(DayOfWeek(time));
  return system;
}

namespace {

// Seconds to add to a UTC moment to get the local wall clock at that moment.
std::int64_t LocalOffsetAt(std::int64_t utcSeconds) {
  const FILETIME utc = FileTimeFromUnixSeconds(utcSeconds);
  SYSTEMTIME utcTime;
  SYSTEMTIME localTime;
  if (!::FileTimeToSystemTime(&utc, &utcTime) ||
      !::SystemTimeToTzSpecificLocalTime(nullptr, &utcTime, &localTime)) {
    return 0;
  }
  return WallSecondsFromCivil(CivilFromSystemTime(localTime)) -
         WallSecondsFromCivil(CivilFromSystemTime(utcTime));
}

}  // namespace

CivilDateTime LocalNow() {
  const std::int64_t now = UnixSeconds(UtcNow());
  return CivilFromWallSeconds(now + LocalOffsetAt(now));
}

std::int64_t SecondsUntil(const CivilDateTime& localTarget) {
  const std::int64_t now = UnixSeconds(UtcNow());
  const std::int64_t targetWall = WallSecondsFromCivil(localTarget);
  const SYSTEMTIME local = SystemTimeFromCivil(localTarget);
  SYSTEMTIME utcTime;
  FILETIME utc;
  if (::TzSpecificLocalTimeToSystemTime(nullptr, &local, &utcTime) &&
      ::SystemTimeToFileTime(&utcTime, &utc)) {
    return UnixSeconds(utc) - now;
  }
  // Outside what the zone rules can convert (the first hours of 1601): the present offset.
  return targetWall - LocalOffsetAt(now) - now;
}

}  // namespace daymarker
