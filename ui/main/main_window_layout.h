// frmMain's look: its frame, its controls in tab order with their places in
// twips, and its menu bar.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <array>

#include "resources/resource.h"
#include "ui/control_layout.h"
#include "ui/main/main_window_ids.h"
#include "ui/top_level_window.h"

namespace daymarker::main_layout {

using namespace main_ids;

inline constexpr FrameSpec kFrame = {L"DaymarkerMainWindow",
                                     WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0,
                                     IDI_DAYMARKER, IDA_MAIN};
inline constexpr SIZE kClientTwips = {5055, 6015};

inline constexpr DWORD kGroupBox = BS_GROUPBOX;
inline constexpr DWORD kRadio = BS_AUTORADIOBUTTON;
inline constexpr DWORD kEditBox = ES_AUTOHSCROLL | WS_TABSTOP;

// Rows are in tab order; positions inside a group box are measured from it.
inline constexpr std::array<ControlSpec, 21> kLayout = {{
    {kFraEvent, WC_BUTTONW, L"&Event:", kGroupBox, 0, kNoContainer, 120, 120, 4815, 1215},
    HiddenLabel(kLblEventDate, L"Event date"),
    {kDtpEventDate, DATETIMEPICK_CLASSW, L"", DTS_SHORTDATEFORMAT | WS_TABSTOP | WS_GROUP, 0,
     kFraEvent, 120, 240, 2175, 315},
    HiddenLabel(kLblEventTime, L"Event time"),
    {kDtpEventTime, DATETIMEPICK_CLASSW, L"", DTS_TIMEFORMAT | DTS_UPDOWN | WS_TABSTOP, 0,
     kFraEvent, 2520, 240, 2175, 315},
    HiddenLabel(kLblEventName, L"Event name"),
    {kTxtEvent, WC_EDITW, L"", kEditBox, WS_EX_CLIENTEDGE, kFraEvent, 120, 720, 4575, 285},
    {kFraDisplay, WC_BUTTONW, L"&Display:", kGroupBox, 0, kNoContainer, 120, 1440, 4815, 2895},
    {kOptDisplay0 + 0, WC_BUTTONW, L"(Years, Months, Days, Hours, Minutes,) &Seconds",
     kRadio | WS_GROUP | WS_TABSTOP, 0, kFraDisplay, 240, 360, 4455, 255},
    {kOptDisplay0 + 1, WC_BUTTONW, L"(Years, Months, Days, Hours,) Mi&nutes", kRadio, 0,
     kFraDisplay, 240, 720, 4455, 255},
    {kOptDisplay0 + 2, WC_BUTTONW, L"(Years, Months, Days,) &Hours", kRadio, 0, kFraDisplay, 240,
     1080, 4455, 255},
    {kOptDisplay0 + 3, WC_BUTTONW, L"(Years, Months,) &Days", kRadio, 0, kFraDisplay, 240, 1440,
     4455, 255},
    {kOptDisplay0 + 4, WC_BUTTONW, L"(Years,) &Months", kRadio, 0, kFraDisplay, 240, 1800, 4455,
     255},
    {kOptDisplay0 + 5, WC_BUTTONW, L"&Years", kRadio, 0, kFraDisplay, 240, 2160, 4455, 255},
    {kChkOnlyUnits, WC_BUTTONW, L"&Only display the units selected",
     BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP, 0, kFraDisplay, 480, 2520, 4215, 255},
    {kFraTimeLeft, WC_BUTTONW, L"&Time Left:", kGroupBox, 0, kNoContainer, 120, 4440, 4815, 675},
    HiddenLabel(kLblTimeLeft, L"Time left"),
    {kTxtTimeLeft, WC_EDITW, L"", kEditBox | ES_READONLY | WS_GROUP, WS_EX_CLIENTEDGE, kFraTimeLeft,
     120, 240, 4575, 285},
    {kFraUpdate, WC_BUTTONW, L"&Update:", kGroupBox, 0, kNoContainer, 120, 5160, 4815, 735},
    HiddenLabel(kLblUpdate, L"Update interval"),
    {kCboUpdate, WC_COMBOBOXW, L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP, 0,
     kFraUpdate, 120, 240, 4575, 315},
}};
static_assert(ContainersInTable(kLayout));

// The File and Help menus; Form_Load names Exit's shortcut.
HMENU BuildMenuBar();

}  // namespace daymarker::main_layout
