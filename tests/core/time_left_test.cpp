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
      {1, false, 86'400, L"1 day, "},
      {2, false, 30, L""},
      // A unit of none between two shown.
      {1, false, 3600 + 1, L"1 hour, 1 second"},
      // Levels out of range, and less than a 336-day year at level 6 leaves nothing to write.
      {0, false, 90'061, L"1 day, 1 hour, 1 minute, 1 second"},
      {7, false, kLong, L"1 year"},
      {6, false, 335 * 86'400, L""},
      {6, true, 336 * 86'400, L"1 year"},
      // The chosen unit absorbs the larger ones; the hidden smaller units are
      // dropped, never rounded up.
      {2, true, 90'061, L"1501 minutes"},
      {4, true, kLong, L"400 days"},
      // A negative count is never passed by the refresh cycle, but floor
      // division keeps every remainder in range and only the largest unit negative.
      {1, false, -1, L"11 months, 27 days, 23 hours, 59 minutes, 59 seconds"},
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
  const std::wstring first{wchar_t{0xD800}, wchar_t{0xDC00}},
      last{wchar_t{0xDBFF}, wchar_t{0xDFFF}};
  const std::wstring high = party.substr(0, 1), low = party.substr(1);
  for (const auto& [line, prefixShell, plainShell] : std::to_array<std::array<std::wstring, 3>>({
           // Runs of 2, from the start, and of 1: 2n + 1 for a run of n.
           {L"&& B&", L"&&&&& B&&&", L"&& B&"},
           {x60 + L"&&", x60 + L"&&&", x60 + L"&&"},    // a further & has no room
           {x60 + L"&yz", x60 + L"&&&", x60 + L"&yz"},  // the escape fills the tip
           {x60 + L"x&y", x60 + L"x", x60 + L"x&y"},    // no room for all of it
           {x60 + L"x" + party + L"y", x60 + L"x" + party, x60 + L"x" + party},
           {x60 + L"xx" + party, x60 + L"xx", x60 + L"xx"},  // no room for both units
           {x60 + L"xx" + first, x60 + L"xx", x60 + L"xx"},  // U+10000, the first pair
           {x60 + L"xx" + last, x60 + L"xx", x60 + L"xx"},   // U+10FFFF, the last
           {L"a" + party + L"bc", L"a" + party + L"bc", L"a" + party + L"bc"},
           // Halves of a pair that stand alone are a unit each.
           {x60 + L"xx" + high + L"y", x60 + L"xx" + high, x60 + L"xx" + high},
           {x60 + L"xxx" + low, x60 + L"xxx", x60 + L"xxx"},
       })) {
    EXPECT_EQ(std::pair(TrayTipText(line, true), TrayTipText(line, false)),
              std::pair(prefixShell, plainShell));
  }
  // A view that ends on a high half reads nothing past its end for the low one.
  const std::wstring cut = L"a" + party;
  EXPECT_EQ(TrayTipText(std::wstring_view(cut).substr(0, 2), false), cut.substr(0, 2));
}

}  // namespace
}  // namespace daymarker
