// The present moment, and local wall-clock time by the system's time-zone rules.
#pragma once

#include <windows.h>

#include <cstdint>

#include "core/calendar.h"

namespace daymarker {

CivilDateTime CivilFromSystemTime(const SYSTEMTIME& time);
SYSTEMTIME SystemTimeFromCivil(const CivilDateTime& time);

// The present local date-time, to the whole second, by the system's time-zone rules.
CivilDateTime LocalNow();

// Real seconds from now to a local wall-clock moment: the target becomes an
// absolute moment by the system's time-zone rules, so a daylight-saving change
// in between counts as the hour it really adds or takes away.
std::int64_t SecondsUntil(const CivilDateTime& localTarget);

}  // namespace daymarker
