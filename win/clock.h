// The present moment, and local wall-clock time by the system's time-zone
// rules. The main window reads the moment from a Clock; tests pass their own.
#pragma once

#include <windows.h>

#include <cstdint>

namespace daymarker {

class Clock {
 public:
  virtual ~Clock() = default;
  // The system's UTC time.
  virtual FILETIME UtcNow() const = 0;
};

const Clock& SystemClock();

}  // namespace daymarker

#include "core/calendar.h"

namespace daymarker {

CivilDateTime CivilFromSystemTime(const SYSTEMTIME& time);
SYSTEMTIME SystemTimeFromCivil(const CivilDateTime& time);

// The present local date-time, to the whole second, by the system's time-zone rules.
CivilDateTime LocalNow(const Clock& clock);

// Real seconds from now to a local wall-clock moment: the target becomes an
// absolute moment by the system's time-zone rules, so a daylight-saving change
// in between counts as the hour it really adds or takes away.
std::int64_t SecondsUntil(const CivilDateTime& localTarget, const Clock& clock);

}  // namespace daymarker
