// The small parts of the core: calendar, contrast, decimal text, refresh
// counting, version caption and work-area shift.
#include "core/calendar.h"
#include "core/contrast.h"
#include "core/decimal.h"
#include "core/refresh_cycle.h"
#include "core/version.h"
#include "core/workspace.h"

#include <gtest/gtest.h>

#include <array>
#include <iterator>
#include <limits>
#include <tuple>
#include <vector>

namespace daymarker {
namespace {

TEST(Calendar, ConvertsBothWaysSaturatesEventSecondsAndNamesTheDay) {
  // The moment, its wall-clock seconds, those as a saved event (which neither
  // wraps nor goes below 1970), and its day of the week (0 for Sunday).
  const std::tuple<CivilDateTime, std::int64_t, std::int32_t, int> cases[] = {
      {{1970, 1, 1, 0, 0, 0}, 0, 0, 4},
      {{2000, 2, 29, 12, 30, 15}, 951'827'415, 951'827'415, 2},
      {{1970, 1, 2, 1, 0, 0}, 90'000, 90'000, 5},
      {{1970, 1, 1, 23, 59, 59}, 86'399, 86'399, 4},
      {{2038, 1, 19, 3, 14, 7}, 2'147'483'647, 2'147'483'647, 2},
      {{2038, 1, 19, 3, 14, 8}, 2'147'483'648LL, 2'147'483'647, 2},
      {{1969, 12, 31, 23, 59, 59}, -1, 0, 3},
      {{1601, 1, 1, 0, 0, 0}, -11'644'473'600LL, 0, 1},
      {{9999, 12, 31, 23, 59, 59}, 253'402'300'799LL, 2'147'483'647, 5},
      {{2027, 3, 28, 2, 30, 0}, 1'806'201'000, 1'806'201'000, 0},
  };
  for (const auto& [civil, seconds, event, weekday] : cases) {
    EXPECT_EQ(WallSecondsFromCivil(civil), seconds) << civil.year << "-" << civil.month;
    EXPECT_EQ(CivilFromWallSeconds(seconds), civil) << seconds;
    EXPECT_EQ(EventSecondsFromWall(seconds), event) << seconds;
    EXPECT_EQ(DayOfWeek(civil), weekday) << seconds;
  }
}

constexpr PackedColour kBlack = 0x000000;
constexpr PackedColour kWhite = 0xFFFFFF;
constexpr PackedColour kBlue = 0xFF0000;  // blue is the highest byte
constexpr PackedColour kGrey = 0x808080;
constexpr PackedColour kButtonFace = 0xF0F0F0;

// Ratios as WCAG's own figures and the usual contrast checkers give them; the
// fixed colour stays only where it reaches the minimum with high contrast off.
TEST(Contrast, RatioDecidesWhetherTheFixedColourStays) {
  // The fixed colour, the background, their ratio; with high contrast on or off
  // and the minimum ratio, whether the fixed colour stays.
  const std::tuple<PackedColour, PackedColour, double, bool, double, bool> rows[] = {
      {kBlack, kWhite, 21.0, false, 4.5, true},
      {kWhite, kBlack, 21.0, false, 4.5, true},  // either way round
      {kBlue, kBlack, 2.44, false, 4.5, false},  // the link on a black face
      {kBlue, kButtonFace, 7.54, false, 4.5, true},
      {kBlue, kButtonFace, 7.54, true, 4.5, false},  // a high-contrast theme
      {kGrey, kWhite, 3.95, false, 4.5, false},
      {kGrey, kGrey, 1.0, false, 1.0, true},        // just the minimum is enough
      {0x00FF00, kBlack, 15.3, false, 4.5, true},   // green counts most
      {0x0A0A0A, kBlack, 1.06, false, 4.5, false},  // a channel near black is linear
  };
  for (const auto& [fixed, background, ratio, highContrast, minimum, kept] : rows) {
    EXPECT_NEAR(ContrastRatio(fixed, background), ratio, 0.01)
        << std::hex << fixed << " on " << background;
    EXPECT_EQ(KeepFixedColour(fixed, background, highContrast, minimum), kept)
        << std::hex << fixed << " on " << background << ", " << highContrast;
  }
}

TEST(DecimalText, WritesPlainDigitsWithASignOnlyWhenNegative) {
  const std::pair<std::int64_t, const wchar_t*> cases[] = {
      {0, L"0"},
      {std::numeric_limits<std::int64_t>::max(), L"9223372036854775807"},
      {std::numeric_limits<std::int64_t>::min(), L"-9223372036854775808"},
  };
  for (const auto& [value, text] : cases) {
    std::wstring appended = L"x";  // only the digits added are turned round
    AppendDecimal(appended, value);
    EXPECT_EQ(appended, L"x" + std::wstring(text));
  }
}

// Ticks that rebuild, among the first `ticks` after a forced refresh.
std::vector<int> RebuildingTicks(int updateIndex, int ticks) {
  std::int32_t secondsToRefresh = 0;
  std::vector<int> rebuilds;
  CountTick(secondsToRefresh, updateIndex);  // the forced refresh itself
  for (int tick = 1; tick <= ticks; ++tick) {
    if (CountTick(secondsToRefresh, updateIndex)) {
      rebuilds.push_back(tick);
    }
  }
  return rebuilds;
}

// The eight choices of the list, each with the period it rebuilds at; outside
// the table every tick rebuilds, and the count never wraps at its floor.
TEST(CountTick, RebuildsOncePerPeriodOfEachChoiceElseAtEveryTick) {
  const std::pair<const wchar_t*, int> choices[] = {
      {L"Every Second", 1},        {L"Every 10 Seconds", 10}, {L"Every 30 Seconds", 30},
      {L"Every Minute", 60},       {L"Every 5 Minutes", 300}, {L"Every 15 Minutes", 900},
      {L"Every 30 Minutes", 1800}, {L"Every Hour", 3600},
  };
  ASSERT_EQ(kUpdateIntervals.size(), std::size(choices));
  for (int index = 1; index <= 8; ++index) {
    const auto& [text, seconds] = choices[index - 1];
    EXPECT_EQ(kUpdateIntervals[index - 1].text, text);
    EXPECT_EQ(RebuildingTicks(index, 2 * seconds), (std::vector<int>{seconds, 2 * seconds}))
        << index;
  }
  for (int index : {0, 9, -3, 32767, std::numeric_limits<int>::min()}) {
    EXPECT_EQ(RebuildingTicks(index, 4), (std::vector<int>{1, 2, 3, 4})) << index;
  }
  std::int32_t secondsToRefresh = std::numeric_limits<std::int32_t>::min();
  EXPECT_TRUE(CountTick(secondsToRefresh, 0));
  EXPECT_EQ(secondsToRefresh, std::numeric_limits<std::int32_t>::min());
  // The first choice is in the list: from the floor too it sets its period, a second.
  EXPECT_TRUE(CountTick(secondsToRefresh, 1));
  EXPECT_EQ(secondsToRefresh, 1);
}

TEST(VersionCaption, PadsMinorToTwoAndRevisionToFourDigits) {
  EXPECT_EQ(VersionCaption(), L"Daymarker v1.03");
  EXPECT_EQ(VersionCaption(L"Daymarker", {1, 3, 7}), L"Daymarker v1.03.0007");
  EXPECT_EQ(VersionCaption(L"X", {2, 12, 0}), L"X v2.12");
  EXPECT_EQ(VersionCaption(L"", {0, 0, 1}), L" v0.00.0001");
}

TEST(WorkspaceToScreen, MovesByWhereTheWorkAreaStartsOnItsMonitor) {
  for (const auto& [workAreaStart, monitorStart, screen] : std::to_array<std::array<int, 3>>({
           {0, 0, 100},          // no taskbar on that edge
           {40, 0, 140},         // a taskbar 40 pixels deep along it
           {1960, 1920, 140},    // the same on a second monitor to the right
           {-1040, -1080, 140},  // or above the first
       })) {
    EXPECT_EQ(WorkspaceToScreen(100, workAreaStart, monitorStart), screen) << workAreaStart;
  }
}

// A window of 400 by 500 pixels, beside a main monitor of 1920 by 1080 with
// a taskbar 40 pixels deep along its bottom.
constexpr Monitor kMain{{0, 0, 1920, 1080}, {0, 0, 1920, 1040}};
constexpr Monitor kLeft{{-1280, 0, 0, 1024}, {-1280, 0, 0, 1024}};
constexpr Monitor kAbove{{-200, -1200, 1720, 0}, {-200, -1160, 1720, 0}};
constexpr Monitor kSmall{{1920, 0, 2220, 400}, {1920, 0, 2220, 400}};  // smaller than the window
constexpr Monitor kCorner{{701, 1582, 1701, 2582}, {701, 1582, 1701, 2582}};

// Saved, a place below zero stays only where a monitor holds the whole window.
// Wherever it was left, the window stays on a monitor however little of it
// shows; on none it comes into the nearest one's work area.
TEST(WindowPlace, SavedKeepsABelowZeroPlaceOnAMonitorReachableComesIntoTheNearestWorkArea) {
  // Where it was; the monitors; where a saved place opens; where it can be reached.
  for (const auto& [from, monitors, saved, reachable] :
       std::to_array<std::tuple<ScreenPoint, std::vector<Monitor>, ScreenPoint, ScreenPoint>>({
           // On a monitor left of it, flush with its right edge, then its left and top;
           // on one above it, flush with its bottom.
           {{-400, 100}, {kMain, kLeft}, {-400, 100}, {-400, 100}},
           {{-1280, 0}, {kMain, kLeft}, {-1280, 0}, {-1280, 0}},
           {{-150, -500}, {kAbove, kMain}, {-150, -500}, {-150, -500}},
           // Partly off the left one: past each of its edges.
           {{-1300, 80}, {kMain, kLeft}, {0, 80}, {-1300, 80}},
           {{-900, -50}, {kMain, kLeft}, {0, 0}, {-900, -50}},
           {{-200, 80}, {kMain, kLeft}, {0, 80}, {-200, 80}},
           {{-900, 600}, {kMain, kLeft}, {0, 600}, {-900, 600}},
           {{1919, 1079}, {kMain}, {1919, 1079}, {1919, 1079}},  // one pixel of it shows
           {{-399, -499}, {kMain}, {0, 0}, {-399, -499}},
           // A monitor to the right, since unplugged: as far right as the main one's work
           // area allows.
           {{1920, 300}, {kMain}, {1920, 300}, {1520, 300}},  // flush with its right edge
           {{300, 1080}, {kMain}, {300, 1080}, {300, 540}},   // and its bottom: above the taskbar
           {{-400, 300}, {kMain}, {0, 300}, {0, 300}},
           {{300, -500}, {kMain}, {300, 0}, {300, 0}},
           {{-2000, -700}, {kMain, kLeft}, {0, 0}, {-1280, 0}},  // the left one is nearer
           {{2500, 900}, {kAbove, kMain}, {2500, 900}, {1520, 540}},
           {{-500, -1800}, {kAbove, kMain}, {0, 0}, {-200, -1160}},  // the upper one is nearer
           {{2300, 0}, {kMain, kSmall}, {2300, 0}, {1920, 0}},       // too large: its corner in it
           // A pixel below one is nearer than a pixel off another each way.
           {{300, 1081}, {kCorner, kMain}, {300, 1081}, {300, 540}},
           // No monitor known: no one moves it here.
           {{30000, 80}, {}, {30000, 80}, {30000, 80}},
       })) {
    const ScreenRect window{from.x, from.y, from.x + 400, from.y + 500};
    EXPECT_EQ(
        std::pair(SavedWindowPlace(from, 400, 500, monitors), ReachablePlace(window, monitors)),
        std::pair(saved, reachable))
        << from.x << ',' << from.y;
  }
}

}  // namespace
}  // namespace daymarker
