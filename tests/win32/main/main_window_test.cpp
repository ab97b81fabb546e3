#include <windows.h>

#include <commctrl.h>

#include <array>

#include "core/version.h"
#include "resources/resource.h"
#include "ui/dpi.h"
#include "ui/message_loop.h"
#include "window_test_support.h"

namespace daymarker::testing {
namespace {

using namespace main_ids;

constexpr CivilDateTime kStartMoment = {2026, 6, 10, 9, 30, 0};

class FirstRunTest : public MainWindowTest {
 protected:
  void SetUp() override {
    clock_.SetLocal(kStartMoment);
    Start();
  }
};

TEST_F(FirstRunTest, ShowsTheDefaults) {
  HWND list = Control(kCboUpdate);
  ASSERT_EQ(::SendMessageW(list, CB_GETCOUNT, 0, 0), 8);
  const wchar_t* entries[] = {L"Every Second",     L"Every 10 Seconds", L"Every 30 Seconds",
                              L"Every Minute",     L"Every 5 Minutes",  L"Every 15 Minutes",
                              L"Every 30 Minutes", L"Every Hour"};
  for (int i = 0; i < 8; ++i) {
    wchar_t text[64] = {};
    ::SendMessageW(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, entries[i]);
  }
  EXPECT_EQ(::SendMessageW(list, CB_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(Text(kTxtEvent), L"Enter event here...");
  EXPECT_EQ(PickerValue(kDtpEventDate), kStartMoment);
  EXPECT_EQ(PickerValue(kDtpEventTime), kStartMoment);
  for (int i = 0; i < kOptDisplayCount; ++i) {
    EXPECT_EQ(::SendMessageW(Control(kOptDisplay0 + i), BM_GETCHECK, 0, 0),
              i == 3 ? BST_CHECKED : BST_UNCHECKED)
        << i;
  }
  EXPECT_EQ(::SendMessageW(Control(kChkOnlyUnits), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(WindowText(Window()), L"Daymarker v1.03");

  // The start-up moment is not ahead of itself.
  EXPECT_FALSE(::IsWindowEnabled(Control(kTxtEvent)));
  EXPECT_EQ(StatusLine(), L"Daymarker v1.03 - DISABLED");

  EXPECT_EQ(settings_.EventName, L"Enter event here...");
  EXPECT_EQ(settings_.DisplayLevel, 4);
  EXPECT_EQ(settings_.UpdateIndex, 3);
  EXPECT_EQ(settings_.OnlyUnitsFlag, 0);
  EXPECT_EQ(settings_.EventSeconds, WallSecondsFromCivil(kStartMoment));
  EXPECT_FALSE(SettingsKeyExists()) << "loading must never create the key";
}

TEST_F(FirstRunTest, HasTheDesignedFrameAndMenus) {
  const LONG_PTR style = ::GetWindowLongPtrW(Window(), GWL_STYLE);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_TRUE(style & WS_SYSMENU);

  RECT client;
  ::GetClientRect(Window(), &client);
  const UINT dpi = WindowDpi(Window());
  EXPECT_EQ(client.right, TwipsToPixels(5055, dpi));
  EXPECT_EQ(client.bottom, TwipsToPixels(6015, dpi));

  HMENU bar = ::GetMenu(Window());
  ASSERT_EQ(::GetMenuItemCount(bar), 2);
  EXPECT_EQ(MenuItemText(bar, 0, true), L"&File");
  EXPECT_EQ(MenuItemText(bar, 1, true), L"&Help");
  EXPECT_EQ(MenuItemText(::GetSubMenu(bar, 0), 0, true), L"E&xit\tAlt+F4");
  EXPECT_EQ(MenuItemText(::GetSubMenu(bar, 1), 0, true), L"&About...\tF1");

  HMENU tray = window_->TrayMenu();
  ASSERT_EQ(::GetMenuItemCount(tray), 3);
  EXPECT_EQ(MenuItemText(tray, 0, true), L"&Hide");
  EXPECT_EQ(::GetMenuState(tray, 1, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
  EXPECT_EQ(MenuItemText(tray, 2, true), L"E&xit");
}

struct Placement {
  int id;
  int left, top, width, height;  // twips, from the client area's corner
};

TEST_F(FirstRunTest, PlacesEveryControlWhereTheFormHasIt) {
  const Placement placements[] = {
      {kFraEvent, 120, 120, 4815, 1215},        {kDtpEventDate, 240, 360, 2175, 315},
      {kDtpEventTime, 2640, 360, 2175, 315},    {kTxtEvent, 240, 840, 4575, 285},
      {kFraDisplay, 120, 1440, 4815, 2895},     {kOptDisplay0, 360, 1800, 4455, 255},
      {kOptDisplay0 + 5, 360, 3600, 4455, 255}, {kChkOnlyUnits, 600, 3960, 4215, 255},
      {kFraTimeLeft, 120, 4440, 4815, 675},     {kTxtTimeLeft, 240, 4680, 4575, 285},
      {kFraUpdate, 120, 5160, 4815, 735},
  };
  const UINT dpi = WindowDpi(Window());
  for (const Placement& p : placements) {
    RECT rect;
    ::GetWindowRect(Control(p.id), &rect);
    ::MapWindowPoints(nullptr, Window(), reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ(rect.left, TwipsToPixels(p.left, dpi)) << p.id;
    EXPECT_EQ(rect.top, TwipsToPixels(p.top, dpi)) << p.id;
    EXPECT_EQ(rect.right - rect.left, TwipsToPixels(p.width, dpi)) << p.id;
    EXPECT_EQ(rect.bottom - rect.top, TwipsToPixels(p.height, dpi)) << p.id;
    EXPECT_EQ(::GetParent(Control(p.id)), Window()) << "controls are the window's own children";
  }
  EXPECT_EQ(::GetWindowLongPtrW(Control(kCboUpdate), GWL_STYLE) & 3, CBS_DROPDOWNLIST);
  EXPECT_TRUE(::GetWindowLongPtrW(Control(kTxtTimeLeft), GWL_STYLE) & ES_READONLY);
  EXPECT_TRUE(::GetWindowLongPtrW(Control(kDtpEventTime), GWL_STYLE) & DTS_UPDOWN);
}

TEST_F(FirstRunTest, TabVisitsTheControlsInOrder) {
  PickSecondsAhead(3600);  // the name box takes part only while enabled
  const int order[] = {kDtpEventDate, kDtpEventTime, kTxtEvent,  kOptDisplay0 + 3,
                       kChkOnlyUnits, kTxtTimeLeft,  kCboUpdate, kDtpEventDate};
  HWND current = Control(kDtpEventDate);
  for (std::size_t i = 1; i < std::size(order); ++i) {
    current = ::GetNextDlgTabItem(Window(), current, FALSE);
    EXPECT_EQ(::GetDlgCtrlID(current), order[i]) << "step " << i;
  }
  // After another option is picked, Tab lands on that one.
  Click(kOptDisplay0 + 1);
  EXPECT_EQ(::GetDlgCtrlID(::GetNextDlgTabItem(Window(), Control(kTxtEvent), FALSE)),
            kOptDisplay0 + 1);

  PickSecondsAhead(-60);  // reached: the disabled name box is skipped
  EXPECT_EQ(::GetDlgCtrlID(::GetNextDlgTabItem(Window(), Control(kDtpEventTime), FALSE)),
            kOptDisplay0 + 1);
}

TEST_F(FirstRunTest, EditsShowAtOnce) {
  Click(kOptDisplay0);  // level 1, seconds
  PickSecondsAhead(90'061);
  EXPECT_TRUE(::IsWindowEnabled(Control(kTxtEvent)));
  ::SetWindowTextW(Control(kTxtEvent), L"Party");
  EXPECT_EQ(settings_.EventName, L"Party");
  EXPECT_EQ(StatusLine(), L"Party - 1 day, 1 hour, 1 minute, 1 second");

  ::SetWindowTextW(Control(kTxtEvent), L"");
  EXPECT_EQ(StatusLine(), L" - 1 day, 1 hour, 1 minute, 1 second");

  ::SetWindowTextW(Control(kTxtEvent), L"Праздник 🎉");
  EXPECT_EQ(StatusLine(), L"Праздник 🎉 - 1 day, 1 hour, 1 minute, 1 second");

  Click(kOptDisplay0 + 2);
  EXPECT_EQ(settings_.DisplayLevel, 3);
  EXPECT_EQ(StatusLine(), L"Праздник 🎉 - 1 day, 1 hour");

  Click(kChkOnlyUnits);
  EXPECT_EQ(settings_.OnlyUnitsFlag, 1);
  EXPECT_EQ(StatusLine(), L"Праздник 🎉 - 25 hours");
  Click(kChkOnlyUnits);
  EXPECT_EQ(settings_.OnlyUnitsFlag, 2);

  Click(kOptDisplay0 + 4);
  EXPECT_EQ(settings_.DisplayLevel, 5);
  EXPECT_EQ(StatusLine(), L"Праздник 🎉 - ");

  // Picking a moment in the past reaches the event at once.
  PickSecondsAhead(-1);
  EXPECT_FALSE(::IsWindowEnabled(Control(kTxtEvent)));
  EXPECT_EQ(StatusLine(), L"Daymarker v1.03 - DISABLED");
  PickSecondsAhead(0);
  EXPECT_EQ(StatusLine(), L"Daymarker v1.03 - DISABLED") << "the present second is not ahead";
}

TEST_F(FirstRunTest, TargetTakesTheDateOfOnePickerAndTheTimeOfTheOther) {
  Click(kOptDisplay0);
  PickDateTime(kDtpEventDate, {2026, 6, 11, 23, 59, 59});
  PickDateTime(kDtpEventTime, {1999, 1, 1, 9, 30, 5});
  EXPECT_EQ(settings_.EventSeconds, WallSecondsFromCivil({2026, 6, 11, 9, 30, 5}));
  EXPECT_EQ(StatusLine(), L"Enter event here... - 1 day, 5 seconds");
}

TEST_F(FirstRunTest, KeyPressRebuildsWithTheTextBeforeTheKey) {
  PickSecondsAhead(3600);
  ::SetWindowTextW(Control(kTxtEvent), L"Par");
  ::SendMessageW(Control(kTxtEvent), EM_SETSEL, 3, 3);
  ::SendMessageW(Control(kTxtEvent), WM_CHAR, L'x', 0);
  EXPECT_EQ(Text(kTxtEvent), L"Parx");
  EXPECT_EQ(settings_.EventName, L"Parx");

  ::SetFocus(Control(kTxtEvent));
  DWORD start = 1;
  DWORD end = 0;
  ::SendMessageW(Control(kTxtEvent), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, 4u) << "focusing the name selects all of it";
}

TEST_F(FirstRunTest, RebuildsOncePerIntervalAndAtOnceAfterAnEdit) {
  Click(kOptDisplay0);
  PickSecondsAhead(1000);  // "Every 30 Seconds" is selected
  const std::wstring afterEdit = StatusLine();
  int changes = 0;
  std::wstring last = afterEdit;
  for (int tick = 1; tick <= 30; ++tick) {
    Tick();
    if (StatusLine() != last) {
      ++changes;
      EXPECT_EQ(tick, 30);
      last = StatusLine();
    }
  }
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(last, L"Enter event here... - 16 minutes, 10 seconds");

  Tick();
  ::SendMessageW(Control(kCboUpdate), CB_SETCURSEL, 0, 0);
  ::SendMessageW(Window(), WM_COMMAND, MAKEWPARAM(kCboUpdate, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(Control(kCboUpdate)));
  EXPECT_EQ(settings_.UpdateIndex, 1);
  EXPECT_EQ(StatusLine(), L"Enter event here... - 16 minutes, 9 seconds") << "a choice rebuilds";
  Tick();
  EXPECT_EQ(StatusLine(), L"Enter event here... - 16 minutes, 8 seconds");
}

TEST_F(FirstRunTest, ClockChangeRebuildsAtOnce) {
  Click(kOptDisplay0);
  PickSecondsAhead(1000);
  clock_.Advance(-3600);  // the user set the clock back an hour
  ::SendMessageW(Window(), WM_TIMECHANGE, 0, 0);
  EXPECT_EQ(StatusLine(), L"Enter event here... - 1 hour, 16 minutes, 40 seconds");
  clock_.Advance(7200);
  ::SendMessageW(Window(), WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
  EXPECT_EQ(StatusLine(), L"Daymarker v1.03 - DISABLED");
}

TEST_F(FirstRunTest, RecordsThePositionInTwipsOnEveryTick) {
  ::SetWindowPos(Window(), nullptr, 150, 75, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  Tick();
  const UINT dpi = WindowDpi(Window());
  EXPECT_EQ(settings_.WindowLeft, 150 * 1440 / static_cast<int>(dpi));
  EXPECT_EQ(settings_.WindowTop, 75 * 1440 / static_cast<int>(dpi));
}

TEST_F(FirstRunTest, PickerStopsAtTheLastDayTheSavedFormHolds) {
  HWND picker = Control(kDtpEventDate);
  std::array<SYSTEMTIME, 2> range{};
  const DWORD which = static_cast<DWORD>(
      ::SendMessageW(picker, DTM_GETRANGE, 0, reinterpret_cast<LPARAM>(range.data())));
  ASSERT_EQ(which & GDTR_MAX, static_cast<DWORD>(GDTR_MAX));
  EXPECT_EQ(range[1].wYear, 2038);
  EXPECT_EQ(range[1].wMonth, 1);
  EXPECT_EQ(range[1].wDay, 18);

  PickDateTime(kDtpEventDate, {2038, 1, 18, 0, 0, 0});
  PickDateTime(kDtpEventTime, {2038, 1, 18, 23, 59, 59});
  EXPECT_EQ(PickerValue(kDtpEventDate).day, 18);
  EXPECT_EQ(PickerValue(kDtpEventTime).hour, 23);
  EXPECT_EQ(settings_.EventSeconds, 2'147'471'999);
  EXPECT_TRUE(::IsWindowEnabled(Control(kTxtEvent)));

  // Far in the past: the saved form never goes below 0.
  PickDateTime(kDtpEventDate, {1900, 1, 1, 0, 0, 0});
  EXPECT_EQ(settings_.EventSeconds, 0);
  EXPECT_EQ(StatusLine(), L"Daymarker v1.03 - DISABLED");
}

TEST_F(FirstRunTest, HelpAboutAndF1RunTheAboutHandler) {
  int shown = 0;
  window_->SetAboutHandler([&shown](HWND) { ++shown; });
  SendCommand(IDM_HELP_BASE);
  EXPECT_EQ(shown, 1);
  MSG key{Window(), WM_KEYDOWN, VK_F1, 0};
  EXPECT_TRUE(PreTranslateWindowMessage(key));
  EXPECT_EQ(shown, 2);
}

// Daylight saving starts in Berlin at 02:00 on 28 March 2027: that day has 23 hours.
TEST_F(MainWindowTest, CountsRealSecondsAcrossDaylightSaving) {
  TIME_ZONE_INFORMATION zone;
  ::GetTimeZoneInformation(&zone);
  if (zone.Bias != -60 || zone.DaylightBias != -60) {
    GTEST_SKIP() << "needs TZ=Europe/Berlin";
  }
  clock_.SetLocal({2027, 3, 27, 12, 0, 0});
  Start();
  Click(kOptDisplay0);
  PickDateTime(kDtpEventDate, {2027, 3, 28, 0, 0, 0});
  PickDateTime(kDtpEventTime, {2027, 3, 28, 12, 0, 0});
  EXPECT_EQ(StatusLine(), L"Enter event here... - 23 hours, ");
  // The saved form stays the wall clock's count, free of any zone.
  EXPECT_EQ(settings_.EventSeconds, WallSecondsFromCivil({2027, 3, 28, 12, 0, 0}));

  // Autumn: 31 October 2027 has 25 hours.
  PickDateTime(kDtpEventDate, {2027, 10, 31, 0, 0, 0});
  clock_.SetLocal({2027, 10, 30, 12, 0, 0});
  PickDateTime(kDtpEventTime, {2027, 10, 31, 12, 0, 0});
  EXPECT_EQ(StatusLine(), L"Enter event here... - 1 day, 1 hour, ");
}

}  // namespace
}  // namespace daymarker::testing
