#include <windows.h>

#include <commctrl.h>

#include <functional>

#include "resources/resource.h"
#include "ui/dpi.h"
#include "window_test_support.h"

namespace daymarker::testing {
namespace {

using namespace std::literals;

// What a start shows from what the last one saved (or a hand-editor left).
TEST_F(MainWindowTest, StartUpShowsWhatWasSaved) {
  struct Row {
    const char* what;
    std::function<void()> plant;
    std::function<void()> shows;
  };
  const auto options = [this](DWORD display, DWORD update, DWORD onlyUnits) {
    return [=] {
      PutDword(L"Display", display);
      PutDword(L"Update", update);
      PutDword(L"OnlyUnits", onlyUnits);
    };
  };
  const auto shown = [this](int option, LRESULT position, bool ticked, int level, int index) {
    return [=, this] {
      EXPECT_EQ(Checked(kOptDisplay0 + option), BST_CHECKED);
      EXPECT_EQ(UpdateSelection(), position);
      EXPECT_EQ(Checked(kChkOnlyUnits) == BST_CHECKED, ticked);
      EXPECT_EQ(settings_.DisplayLevel, level);
      EXPECT_EQ(settings_.UpdateIndex, index);
    };
  };
  const std::wstring longName(100'000, L'z');
  const Row rows[] = {
      {"options", options(6, 8, 1), shown(5, 7, true, 6, 8)},
      {"other options", options(1, 1, 2), shown(0, 0, false, 1, 1)},
      {"never ticked", options(2, 4, 0), shown(1, 3, false, 2, 4)},
      // No such option or entry: the defaults stay, shown and used alike.
      {"just past the last", options(7, 9, 7), shown(3, 2, false, 4, 3)},
      {"far past the last", options(32767, 12, 7), shown(3, 2, false, 4, 3)},
      // None named: the defaults stay shown while the saved values are used.
      {"none", options(0, 0, static_cast<DWORD>(-1)), shown(3, 2, false, 0, 0)},
      {"below none", options(static_cast<DWORD>(-1), static_cast<DWORD>(-1), 0),
       shown(3, 2, false, -1, -1)},
      {"level 0, no interval", options(0, 0, 0),
       [this] {
         PickSecondsAhead(90'061);
         // Level 0 words the time as level 1 does, and no period means every tick rebuilds.
         EXPECT_EQ(StatusLine(), L"Enter event here... - 1 day, 1 hour, 1 minute, 1 second");
         Tick();
         EXPECT_EQ(StatusLine(), L"Enter event here... - 1 day, 1 hour, 1 minute, ");
       }},
      {"left of the screen",
       [] {
         PutDword(L"WindowX", static_cast<DWORD>(-300));
         PutDword(L"WindowY", 1200);
       },
       [this] {
         RECT frame;
         ::GetWindowRect(Window(), &frame);
         EXPECT_EQ(std::pair(frame.left, frame.top),
                   std::pair(0L, static_cast<LONG>(TwipsToPixels(1200, WindowDpi(Window())))));
         EXPECT_EQ(settings_.WindowLeft, 0);
       }},
      // A monitor 20,000 pixels to the right, since removed.
      {"off every monitor", [] { PutDword(L"WindowX", 15 * 20000); },
       [this] { EXPECT_NE(::MonitorFromWindow(Window(), MONITOR_DEFAULTTONULL), nullptr); }},
      {"a moment past", [] { PutDword(L"DateNTime", 946'684'800); },
       [this] {
         EXPECT_EQ(PickerValue(kDtpEventDate), (CivilDateTime{2000, 1, 1, 0, 0, 0}));
         EXPECT_EQ(PickerValue(kDtpEventTime), (CivilDateTime{2000, 1, 1, 0, 0, 0}));
         EXPECT_FALSE(::IsWindowEnabled(Control(kTxtEvent)));
       }},
      {"the first second", [] { PutDword(L"DateNTime", 1); },
       [this] {
         EXPECT_EQ(PickerValue(kDtpEventTime), (CivilDateTime{1970, 1, 1, 0, 0, 1}));
       }},
      // 2038-01-19 03:14:07, past the date picker's last day.
      {"the last second", [] { PutDword(L"DateNTime", 2'147'483'647); },
       [this] {
         EXPECT_EQ(PickerValue(kDtpEventDate).day, 18);
         EXPECT_EQ(PickerValue(kDtpEventTime).hour, 3);
         EXPECT_TRUE(::IsWindowEnabled(Control(kTxtEvent)));
       }},
      {"an empty name", [] { PutString(L"Event", L""); },
       [this] { EXPECT_EQ(Text(kTxtEvent), L"Enter event here..."); }},
      {"a long name", [&] { PutString(L"Event", longName); },
       [&, this] { EXPECT_EQ(Text(kTxtEvent), longName) << "the name box has no length limit"; }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    window_.reset();
    ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software");
    row.plant();
    Restart();
    row.shows();
  }
}

// Every way of closing the window saves all seven values, once.
struct ClosePath {
  const char* name;
  std::function<void(HWND)> close;
};

class CloseTest : public MainWindowTest, public ::testing::WithParamInterface<ClosePath> {};

TEST_P(CloseTest, SavesEverythingForTheNextStart) {
  Start();
  window_->Show();
  PickSecondsAhead(86'400 * 3);
  ::SetWindowTextW(Control(kTxtEvent), L"Праздник 🎉");
  Click(kOptDisplay0 + 2);
  Click(kChkOnlyUnits);
  ChooseUpdate(3);
  // Moved since the last tick, onto a monitor at 150 %: the close itself reads
  // where the window is, in the desktop's one pixel space.
  const POINT to{45, 30};
  EXPECT_TRUE(ChangeDpi(Window(), 144, &to)) << "the rectangle Windows suggests is the one taken";
  HDC screen = ::GetDC(nullptr);
  const int twips = 1440 / ::GetDeviceCaps(screen, LOGPIXELSX);  // a pixel at the system DPI
  ::ReleaseDC(nullptr, screen);
  SettingValues expected = settings_;
  expected.WindowLeft = 45 * twips;
  expected.WindowTop = 30 * twips;

  GetParam().close(Window());
  PumpMessages();
  EXPECT_EQ(window_->Window(), nullptr);
  const auto dword = [](DWORD n) { return RawValue{REG_DWORD, DwordBytes(n)}; };
  EXPECT_EQ(SavedSettings(),
            (KeyContents{{L"WindowX", dword(45 * twips)},
                         {L"WindowY", dword(30 * twips)},
                         {L"DateNTime", dword(static_cast<DWORD>(expected.EventSeconds))},
                         {L"Event", {REG_SZ, TextBytes(L"Праздник 🎉\0"sv)}},
                         {L"Display", dword(3)},
                         {L"Update", dword(4)},
                         {L"OnlyUnits", dword(1)}}));
  Restart();
  RECT frame;
  ::GetWindowRect(Window(), &frame);
  EXPECT_EQ(std::pair(frame.left, frame.top), std::pair(45L, 30L)) << "back where it was closed";
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

}  // namespace
}  // namespace daymarker::testing
