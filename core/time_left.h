// The remaining-time phrase: "1 year, 2 months, 8 days, ..." from a count of seconds.
#pragma once

#include <cstdint>
#include <string>

namespace daymarker {

// Display levels name the smallest unit shown: 1 seconds, 2 minutes, 3 hours,
// 4 days, 5 months, 6 years. A level below 1 acts as 1, one above 6 as 6.
//
// Breaks secondsLeft into years (12 months), months (28 days), days, hours,
// minutes and seconds and words the units the level shows. With onlyUnits the
// unit of the level carries the whole time and no larger unit is formed.
// Each written unit above the level is followed by ", " even when nothing
// smaller follows it; the stored and shown lines have always read that way.
std::wstring TimeLeftText(std::int64_t secondsLeft, int displayLevel, bool onlyUnits);

}  // namespace daymarker
