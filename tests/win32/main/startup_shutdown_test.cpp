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
  LRESULT Checked(int id) const { return ::SendMessageW(Control(id), BM_GETCHECK, 0, 0); }
  void Restart() {
    window_.reset();
    PumpMessages();
    settings_ = {};
    Start();
  }
};

TEST_F(SavedSettingsTest, PositionIsClampedAtTheEdgeAndKeptOnScreen) {
  PutDword(L"WindowX", static_cast<DWORD>(-300));
  PutDword(L"WindowY", 1200);
  Start();
  RECT frame;
  ::GetWindowRect(Window(), &frame);
  EXPECT_EQ(frame.left, 0);
  EXPECT_EQ(frame.top, TwipsToPixels(1200, WindowDpi(Window())));
  EXPECT_EQ(settings_.WindowLeft, 0);

  PutDword(L"WindowX", 15 * 20000);  // a monitor 20,000 pixels to the right, since removed
  Restart();
  EXPECT_NE(::MonitorFromWindow(Window(), MONITOR_DEFAULTTONULL), nullptr);
}

TEST_F(SavedSettingsTest, SavedMomentSetsBothPickers) {
  PutDword(L"DateNTime", 946'684'800);
  Start();
  const CivilDateTime newYear{2000, 1, 1, 0, 0, 0};
  EXPECT_EQ(PickerValue(kDtpEventDate), newYear);
  EXPECT_EQ(PickerValue(kDtpEventTime), newYear);
  EXPECT_FALSE(::IsWindowEnabled(Control(kTxtEvent)));

  PutDword(L"DateNTime", 2'147'483'647);  // 2038-01-19 03:14:07, past the picker's last day
  Restart();
  EXPECT_EQ(PickerValue(kDtpEventDate).day, 18);
  EXPECT_EQ(PickerValue(kDtpEventTime).hour, 3);
  EXPECT_TRUE(::IsWindowEnabled(Control(kTxtEvent)));
}

TEST_F(SavedSettingsTest, DisplayAndUpdateZeroKeepTheControlsButNotTheirMeaning) {
  PutDword(L"Display", 0);
  PutDword(L"Update", 0);
  Start();
  EXPECT_EQ(Checked(kOptDisplay0 + 3), BST_CHECKED);
  EXPECT_EQ(::SendMessageW(Control(kCboUpdate), CB_GETCURSEL, 0, 0), 2);
  PickSecondsAhead(90'061);
  // Level 0 words the time as level 1 does, and no period means every tick rebuilds.
  EXPECT_EQ(StatusLine(), L"Enter event here... - 1 day, 1 hour, 1 minute, 1 second");
  Tick();
  EXPECT_EQ(StatusLine(), L"Enter event here... - 1 day, 1 hour, 1 minute, ");
}

TEST_F(SavedSettingsTest, AppliesSavedOptionsAndKeepsTheDefaultsForOnesOutOfRange) {
  struct Case {
    DWORD display, update, onlyUnits;
    int option;
    LRESULT position;
    bool ticked;
    std::int16_t level, index;  // what the window then works with
  };
  const Case cases[] = {
      {6, 8, 1, 5, 7, true, 6, 8},
      {1, 1, 2, 0, 0, false, 1, 1},
      {2, 4, 0, 1, 3, false, 2, 4},
      // No such option or entry: the defaults stay, shown and used alike.
      {7, 9, 7, 3, 2, false, 4, 3},
      {32767, 12, 7, 3, 2, false, 4, 3},
      // None selected: the days option and "Every 30 Seconds" stay shown, the values are kept.
      {0, static_cast<DWORD>(-1), static_cast<DWORD>(-1), 3, 2, false, 0, -1},
  };
  for (const Case& c : cases) {
    PutDword(L"Display", c.display);
    PutDword(L"Update", c.update);
    PutDword(L"OnlyUnits", c.onlyUnits);
    Restart();
    EXPECT_EQ(Checked(kOptDisplay0 + c.option), BST_CHECKED) << c.display;
    EXPECT_EQ(::SendMessageW(Control(kCboUpdate), CB_GETCURSEL, 0, 0), c.position) << c.update;
    EXPECT_EQ(Checked(kChkOnlyUnits) == BST_CHECKED, c.ticked) << c.onlyUnits;
    EXPECT_EQ(settings_.DisplayLevel, c.level) << c.display;
    EXPECT_EQ(settings_.UpdateIndex, c.index) << c.update;
  }
}

TEST_F(SavedSettingsTest, SavedNameReplacesThePlaceholderUnlessEmpty) {
  PutString(L"Event", L"");
  Start();
  EXPECT_EQ(Text(kTxtEvent), L"Enter event here...");
  const std::wstring longName(100'000, L'z');
  PutString(L"Event", longName);
  Restart();
  EXPECT_EQ(Text(kTxtEvent), longName) << "the name box has no length limit";
}

// Every way of closing the window saves all seven values, once.
struct ClosePath {
  const char* name;
  std::function<void(HWND)> close;
};

class CloseTest : public SavedSettingsTest, public ::testing::WithParamInterface<ClosePath> {};

TEST_P(CloseTest, SavesEverythingForTheNextStart) {
  Start();
  window_->Show(SW_SHOWNORMAL);
  ::SetWindowPos(Window(), nullptr, 45, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  PickSecondsAhead(86'400 * 3);
  ::SetWindowTextW(Control(kTxtEvent), L"Party");
  Click(kOptDisplay0 + 2);
  Click(kChkOnlyUnits);
  ::SendMessageW(Control(kCboUpdate), CB_SETCURSEL, 3, 0);
  ::SendMessageW(Window(), WM_COMMAND, MAKEWPARAM(kCboUpdate, CBN_SELCHANGE), 0);
  const SettingValues expected = settings_;
  const int twipsPerPixel = 1440 / static_cast<int>(WindowDpi(Window()));

  GetParam().close(Window());
  PumpMessages();
  EXPECT_EQ(window_->Window(), nullptr);
  const std::pair<const wchar_t*, DWORD> dwords[] = {
      {L"WindowX", 45 * twipsPerPixel},
      {L"WindowY", 30 * twipsPerPixel},
      {L"DateNTime", static_cast<DWORD>(expected.EventSeconds)},
      {L"Display", 3},
      {L"Update", 4},
      {L"OnlyUnits", 1}};
  for (const auto& [name, value] : dwords) {
    DWORD stored = 0;
    EXPECT_TRUE(ReadDword(name, stored) && stored == value) << name;
  }
  std::wstring name;
  EXPECT_TRUE(ReadString(L"Event", name) && name == L"Party");

  Restart();
  EXPECT_EQ(settings_, expected);
}

INSTANTIATE_TEST_SUITE_P(
    EveryWay, CloseTest,
    ::testing::Values(
        ClosePath{"FileExit", [](HWND w) { ::SendMessageW(w, WM_COMMAND, IDM_FILE_BASE, 0); }},
        ClosePath{"CloseBox", [](HWND w) { ::SendMessageW(w, WM_CLOSE, 0, 0); }},
        ClosePath{"SystemMenu", [](HWND w) { ::SendMessageW(w, WM_SYSCOMMAND, SC_CLOSE, 0); }},
        ClosePath{"LogOff",
                  [](HWND w) {
                    ::SendMessageW(w, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
                    ::SendMessageW(w, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
                  }}),
    [](const ::testing::TestParamInfo<ClosePath>& path) { return std::string(path.param.name); });

TEST_F(SavedSettingsTest, ClosingTwiceSavesOnce) {
  Start();
  HWND window = Window();
  ::SendMessageW(window, WM_ENDSESSION, TRUE, 0);
  PutDword(L"Display", 6);  // what a second save would overwrite
  ::SendMessageW(window, WM_CLOSE, 0, 0);
  DWORD value = 0;
  EXPECT_TRUE(ReadDword(L"Display", value) && value == 6u);
}

}  // namespace
}  // namespace daymarker::testing
