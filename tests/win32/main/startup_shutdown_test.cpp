#include <windows.h>

#include <commctrl.h>

#include <functional>

#include "resources/resource.h"
#include "ui/dpi.h"
#include "window_test_support.h"

namespace daymarker::testing {
namespace {

using namespace main_ids;

class SavedSettingsTest : public MainWindowTest {
 protected:
  void SetUp() override { clock_.SetLocal({2026, 6, 10, 9, 30, 0}); }
  int CheckedOption() const {
    for (int i = 0; i < kOptDisplayCount; ++i) {
      if (::SendMessageW(Control(kOptDisplay0 + i), BM_GETCHECK, 0, 0) == BST_CHECKED) {
        return i;
      }
    }
    return -1;
  }
  LRESULT UpdatePosition() const { return ::SendMessageW(Control(kCboUpdate), CB_GETCURSEL, 0, 0); }
  bool OnlyUnitsTicked() const {
    return ::SendMessageW(Control(kChkOnlyUnits), BM_GETCHECK, 0, 0) == BST_CHECKED;
  }
  POINT Origin() const {
    RECT frame;
    ::GetWindowRect(Window(), &frame);
    return {frame.left, frame.top};
  }
};

TEST_F(SavedSettingsTest, NegativeCoordinatesOpenAtTheEdge) {
  PutDword(L"WindowX", static_cast<DWORD>(-300));
  PutDword(L"WindowY", 1200);
  Start();
  const UINT dpi = WindowDpi(Window());
  EXPECT_EQ(Origin().x, 0);
  EXPECT_EQ(Origin().y, TwipsToPixels(1200, dpi));
  EXPECT_EQ(settings_.WindowLeft, 0);
  EXPECT_EQ(settings_.WindowTop, 1200);
}

TEST_F(SavedSettingsTest, PositionOffEveryMonitorIsLeftToTheSystem) {
  PutDword(L"WindowX", 15 * 20000);  // 20,000 pixels to the right at 96 DPI
  PutDword(L"WindowY", 600);
  Start();
  EXPECT_LT(Origin().x, ::GetSystemMetrics(SM_CXVIRTUALSCREEN));
  EXPECT_NE(::MonitorFromWindow(Window(), MONITOR_DEFAULTTONULL), nullptr);
}

TEST_F(SavedSettingsTest, SavedMomentSetsBothPickers) {
  PutDword(L"DateNTime", 946'684'800);
  Start();
  const CivilDateTime newYear{2000, 1, 1, 0, 0, 0};
  EXPECT_EQ(PickerValue(kDtpEventDate), newYear);
  EXPECT_EQ(PickerValue(kDtpEventTime), newYear);
  EXPECT_EQ(settings_.EventSeconds, 946'684'800);
  EXPECT_FALSE(::IsWindowEnabled(Control(kTxtEvent)));
  EXPECT_EQ(StatusLine(), L"Daymarker v1.03 - DISABLED");
}

TEST_F(SavedSettingsTest, LatestSavedMomentShowsOnTheLastPickableDay) {
  PutDword(L"DateNTime", 2'147'483'647);  // 2038-01-19 03:14:07
  Start();
  EXPECT_EQ(PickerValue(kDtpEventDate).day, 18);
  const CivilDateTime time = PickerValue(kDtpEventTime);
  EXPECT_EQ(time.hour * 3600 + time.minute * 60 + time.second, 3 * 3600 + 14 * 60 + 7);
  EXPECT_TRUE(::IsWindowEnabled(Control(kTxtEvent)));
}

TEST_F(SavedSettingsTest, DisplayZeroKeepsTheDaysOptionButCountsAsSeconds) {
  PutDword(L"Display", 0);
  Start();
  EXPECT_EQ(CheckedOption(), 3);
  EXPECT_EQ(settings_.DisplayLevel, 0);
  PickSecondsAhead(90'061);
  EXPECT_EQ(StatusLine(), L"Enter event here... - 1 day, 1 hour, 1 minute, 1 second");
}

TEST_F(SavedSettingsTest, UpdateZeroKeepsTheListButRebuildsEveryTick) {
  PutDword(L"Update", 0);
  Start();
  EXPECT_EQ(UpdatePosition(), 2);
  EXPECT_EQ(settings_.UpdateIndex, 0);
  ::SendMessageW(Control(kOptDisplay0), BM_CLICK, 0, 0);
  PickSecondsAhead(100);
  for (int expected = 99; expected > 96; --expected) {
    Tick();
    EXPECT_EQ(StatusLine(),
              L"Enter event here... - 1 minute, " + std::to_wstring(expected - 60) + L" seconds");
  }
}

struct OptionsCase {
  DWORD display, update, onlyUnits;
  int option;
  LRESULT position;
  bool ticked;
  std::int16_t flag;
};

TEST_F(SavedSettingsTest, AppliesSavedOptionsAndIgnoresOnesOutOfRange) {
  const OptionsCase cases[] = {
      {6, 8, 1, 5, 7, true, 1},
      {1, 1, 2, 0, 0, false, 2},
      {2, 4, 0, 1, 3, false, 0},
      {9, 12, 7, 3, 2, false, 7},  // no such option or entry: the defaults stay
      {static_cast<DWORD>(-2), static_cast<DWORD>(-1), static_cast<DWORD>(-1), 3, 2, false, -1},
  };
  for (const OptionsCase& c : cases) {
    PutDword(L"Display", c.display);
    PutDword(L"Update", c.update);
    PutDword(L"OnlyUnits", c.onlyUnits);
    settings_ = {};
    Start();
    EXPECT_EQ(CheckedOption(), c.option) << c.display;
    EXPECT_EQ(UpdatePosition(), c.position) << c.update;
    EXPECT_EQ(OnlyUnitsTicked(), c.ticked) << c.onlyUnits;
    EXPECT_EQ(settings_.OnlyUnitsFlag, c.flag) << c.onlyUnits;
    window_.reset();
    PumpMessages();
  }
}

TEST_F(SavedSettingsTest, SavedNameReplacesThePlaceholderUnlessEmpty) {
  PutString(L"Event", L"");
  Start();
  EXPECT_EQ(Text(kTxtEvent), L"Enter event here...");
  window_.reset();

  const std::wstring longName(100'000, L'z');
  PutString(L"Event", longName);
  settings_ = {};
  Start();
  EXPECT_EQ(Text(kTxtEvent), longName) << "the name box has no length limit";
  EXPECT_EQ(settings_.EventName, longName);
}

// Every way of closing the window saves, once, all seven values.
struct ClosePath {
  const char* name;
  std::function<void(HWND)> close;
};

class CloseTest : public SavedSettingsTest, public ::testing::WithParamInterface<ClosePath> {};

TEST_P(CloseTest, SavesEverything) {
  Start();
  window_->Show(SW_SHOWNORMAL);
  ::SetWindowPos(Window(), nullptr, 45, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  PickSecondsAhead(86'400 * 3);
  ::SetWindowTextW(Control(kTxtEvent), L"Party");
  ::SendMessageW(Control(kOptDisplay0 + 2), BM_CLICK, 0, 0);
  ::SendMessageW(Control(kChkOnlyUnits), BM_CLICK, 0, 0);
  ::SendMessageW(Control(kCboUpdate), CB_SETCURSEL, 3, 0);
  ::SendMessageW(Window(), WM_COMMAND, MAKEWPARAM(kCboUpdate, CBN_SELCHANGE), 0);
  const SettingValues expected = settings_;
  const UINT dpi = WindowDpi(Window());

  GetParam().close(Window());
  PumpMessages();
  EXPECT_EQ(window_->Window(), nullptr);

  DWORD value = 0;
  ASSERT_TRUE(ReadDword(L"WindowX", value));
  EXPECT_EQ(static_cast<int>(value), 45 * 1440 / static_cast<int>(dpi));
  ASSERT_TRUE(ReadDword(L"WindowY", value));
  EXPECT_EQ(static_cast<int>(value), 30 * 1440 / static_cast<int>(dpi));
  ASSERT_TRUE(ReadDword(L"DateNTime", value));
  EXPECT_EQ(static_cast<std::int32_t>(value), expected.EventSeconds);
  ASSERT_TRUE(ReadDword(L"Display", value));
  EXPECT_EQ(value, 3u);
  ASSERT_TRUE(ReadDword(L"Update", value));
  EXPECT_EQ(value, 4u);
  ASSERT_TRUE(ReadDword(L"OnlyUnits", value));
  EXPECT_EQ(value, 1u);
  std::wstring name;
  ASSERT_TRUE(ReadString(L"Event", name));
  EXPECT_EQ(name, L"Party");

  // The next start finds it all again.
  settings_ = {};
  Start();
  EXPECT_EQ(settings_, expected);
  EXPECT_EQ(Text(kTxtEvent), L"Party");
}

INSTANTIATE_TEST_SUITE_P(
    EveryWay, CloseTest,
    ::testing::Values(
        ClosePath{"FileExit",
                  [](HWND window) { ::SendMessageW(window, WM_COMMAND, IDM_FILE_BASE, 0); }},
        ClosePath{"CloseBox", [](HWND window) { ::SendMessageW(window, WM_CLOSE, 0, 0); }},
        ClosePath{"SystemMenu",
                  [](HWND window) { ::SendMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0); }},
        ClosePath{"LogOff",
                  [](HWND window) {
                    ::SendMessageW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
                    ::SendMessageW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
                  }}),
    [](const ::testing::TestParamInfo<ClosePath>& path) { return std::string(path.param.name); });

TEST_F(SavedSettingsTest, ClosingTwiceSavesOnce) {
  Start();
  HWND window = Window();
  ::SendMessageW(window, WM_ENDSESSION, TRUE, 0);
  PutDword(L"Display", 6);  // anything a second save would overwrite
  ::SendMessageW(window, WM_CLOSE, 0, 0);
  DWORD value = 0;
  ASSERT_TRUE(ReadDword(L"Display", value));
  EXPECT_EQ(value, 6u);
}

}  // namespace
}  // namespace daymarker::testing
