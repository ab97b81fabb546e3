#include "core/time_left.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <tuple>
#include <utility>

#include "core/tray_tip.h"

namespace daymarker {
namespace {

// 34,563,723 seconds are 400 days, 1 hour, 2 minutes and 3 seconds.
constexpr std::int64_t kLong = 34'563'723;

TEST(TimeLeftText, WordsTheBreakdown) {
  // The display level, whether only its units are shown, the seconds left, the words.
  const std::tuple<int, bool, std::int64_t, const wchar_t*> cases[] = {
      // Worked results.
      {1, false, 90'061, L"1 day, 1 hour, 1 minute, 1 second"},
      {4, false, 90'061, L"1 day"},
      {3, true, 90'061, L"25 hours"},
      {1, true, 90'061, L"90061 seconds"},
      {1, false, kLong, L"1 year, 2 months, 8 days, 1 hour, 2 minutes, 3 seconds"},
      {5, true, kLong, L"14 months"},
      {6, true, kLong, L"1 year"},
      {1, false, 86'400, L"1 day, "},
      {4, false, 86'400, L"1 day"},
      {2, false, 180'000, L"2 days, 2 hours, "},
      {2, false, 30, L""},
      // Singular, plural and zero.
      {1, false, 1, L"1 second"},
      {1, false, 2, L"2 seconds"},
      {1, false, 0, L""},
      {6, true, 0, L""},
      {2, false, 3600 + 60, L"1 hour, 1 minute"},
      {1, false, 3600 + 1, L"1 hour, 1 second"},
      {3, false, 28 * 86'400 + 3600, L"1 month, 1 hour"},
      // Levels out of range, and less than a 336-day year at level 6 leaves nothing to write.
      {0, false, 90'061, L"1 day, 1 hour, 1 minute, 1 second"},
      {7, false, kLong, L"1 year"},
      {6, false, 335 * 86'400, L""},
      {6, true, 336 * 86'400, L"1 year"},
      // The chosen unit absorbs the larger ones; the hidden smaller units are
      // dropped, never rounded up.
      {2, true, 90'061, L"1501 minutes"},
      {4, true, kLong, L"400 days"},
      {5, false, kLong, L"1 year, 2 months"},
      {3, false, 3600 * 2 - 1, L"1 hour"},
      // A negative count is never passed by the refresh cycle, but floor
      // division keeps every remainder in range and only the largest unit negative.
      {1, false, -1, L"11 months, 27 days, 23 hours, 59 minutes, 59 seconds"},
      {1, false, -86'400, L"11 months, 27 days, "},
      {1, true, -90'061, L""},
      {3, true, -1, L""},
      // Beyond 32 bits.
      {6, false, 2'147'483'648LL, L"73 years"},
      {1, true, 4'294'967'296LL, L"4294967296 seconds"},
  };
  for (const auto& [level, onlyUnits, seconds, expected] : cases) {
    EXPECT_EQ(TimeLeftText(seconds, level, onlyUnits), expected)
        << "level " << level << (onlyUnits ? " checked " : " unchecked ") << seconds;
  }
}

// The status line as the icon's tooltip takes it: each line as the notification area before Windows
// 11 needs it, where & is a prefix, and as later ones show it: never more than 63 units, never a
// part of an escape or of a character.
TEST(TrayTipText, EscapesAmpersandsForTheShellAndCutsBetweenCharacters) {
  const std::wstring x60(60, L'x');
  const std::wstring party{wchar_t{0xD83C}, wchar_t{0xDF89}};  // one character in two units
  const std::wstring last{wchar_t{0xDBFF}, wchar_t{0xDFFF}}, high(1, wchar_t{0xD83C}),
      low(1, wchar_t{0xDF89});
  for (const auto& [line, prefixShell, plainShell] : std::to_array<std::array<std::wstring, 3>>({
           {L"Party - 1 day", L"Party - 1 day", L"Party - 1 day"},
           {L"Tom & Jerry - 2 days", L"Tom &&& Jerry - 2 days", L"Tom & Jerry - 2 days"},
           // Runs of 1, 2 and 3: 2n + 1 for a run of n.
           {L"A && B&", L"A &&&&& B&&&", L"A && B&"},
           {L"A &&& B", L"A &&&&&&& B", L"A &&& B"},
           {x60 + L"&&", x60 + L"&&&", x60 + L"&&"},  // a further & has no room
           {x60.substr(2) + L"&&&", x60.substr(2) + L"&&&&&", x60.substr(2) + L"&&&"},
           {x60 + L"&yz", x60 + L"&&&", x60 + L"&yz"},  // the escape fills the tip
           {x60 + L"x&y", x60 + L"x", x60 + L"x&y"},    // no room for all of it
           {x60 + L"x" + party + L"y", x60 + L"x" + party, x60 + L"x" + party},
           {x60 + L"xx" + party, x60 + L"xx", x60 + L"xx"},  // no room for both units
           {x60 + L"xx" + last, x60 + L"xx", x60 + L"xx"},   // U+10FFFF, the last pair
           {L"a" + party + L"bc", L"a" + party + L"bc", L"a" + party + L"bc"},
           // Halves of a pair that stand alone are a unit each.
           {x60 + L"xx" + high + L"y", x60 + L"xx" + high, x60 + L"xx" + high},
           {x60 + L"xxx" + low, x60 + L"xxx", x60 + L"xxx"},
           {std::wstring(80, L'a'), std::wstring(63, L'a'), std::wstring(63, L'a')},
           {L"", L"", L""},
       })) {
    EXPECT_EQ(std::pair(TrayTipText(line, true), TrayTipText(line, false)),
              std::pair(prefixShell, plainShell));
  }
}

}  // namespace
}  // namespace daymarker
