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

inline constexpr FrameSpec kFrame = {L"DaymarkerMainWindow",
                                     WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0,
                                     IDI_DAYMARKER, IDA_MAIN};
inline constexpr SIZE kClientTwips = {5055, 6015};

inline constexpr DWORD kGroupBox = BS_GROUPBOX;
inline constexpr DWORD kRadio = BS_AUTORADIOBUTTON;
inline constexpr DWORD kEditBox = ES_AUTOHSCROLL | WS_TABSTOP;

// Rows are in tab order; positions inside a group box are measured from it.
inline constexpr std::array<ControlSpec, 21> kLayout = {{
    {main_ids::kFraEvent, WC_BUTTONW, L"&Event:", kGroupBox, 0, kNoContainer, 120, 120, 4815, 1215},
    HiddenLabel(main_ids::kLblEventDate, L"Event date"),
    {main_ids::kDtpEventDate, DATETIMEPICK_CLASSW, L"", DTS_SHORTDATEFORMAT | WS_TABSTOP | WS_GROUP,
     0, main_ids::kFraEvent, 120, 240, 2175, 315},
    HiddenLabel(main_ids::kLblEventTime, L"Event time"),
    {main_ids::kDtpEventTime, DATETIMEPICK_CLASSW, L"", DTS_TIMEFORMAT | DTS_UPDOWN | WS_TABSTOP, 0,
     main_ids::kFraEvent, 2520, 240, 2175, 315},
    HiddenLabel(main_ids::kLblEventName, L"Event name"),
    {main_ids::kTxtEvent, WC_EDITW, L"", kEditBox, WS_EX_CLIENTEDGE, main_ids::kFraEvent, 120, 720,
     4575, 285},
    {main_ids::kFraDisplay, WC_BUTTONW, L"&Display:", kGroupBox, 0, kNoContainer, 120, 1440, 4815,
     2895},
    {main_ids::kOptDisplay0 + 0, WC_BUTTONW, L"(Years, Months, Days, Hours, Minutes,) &Seconds",
     kRadio | WS_GROUP | WS_TABSTOP, 0, main_ids::kFraDisplay, 240, 360, 4455, 255},
    {main_ids::kOptDisplay0 + 1, WC_BUTTONW, L"(Years, Months, Days, Hours,) Mi&nutes", kRadio, 0,
     main_ids::kFraDisplay, 240, 720, 4455, 255},
    {main_ids::kOptDisplay0 + 2, WC_BUTTONW, L"(Years, Months, Days,) &Hours", kRadio, 0,
     main_ids::kFraDisplay, 240, 1080, 4455, 255},
    {main_ids::kOptDisplay0 + 3, WC_BUTTONW, L"(Years, Months,) &Days", kRadio, 0,
     main_ids::kFraDisplay, 240, 1440, 4455, 255},
    {main_ids::kOptDisplay0 + 4, WC_BUTTONW, L"(Years,) &Months", kRadio, 0, main_ids::kFraDisplay,
     240, 1800, 4455, 255},
    {main_ids::kOptDisplay0 + 5, WC_BUTTONW, L"&Years", kRadio, 0, main_ids::kFraDisplay, 240, 2160,
     4455, 255},
    {main_ids::kChkOnlyUnits, WC_BUTTONW, L"&Only display the units selected",
     BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP, 0, main_ids::kFraDisplay, 480, 2520, 4215, 255},
    {main_ids::kFraTimeLeft, WC_BUTTONW, L"&Time Left:", kGroupBox, 0, kNoContainer, 120, 4440,
     4815, 675},
    HiddenLabel(main_ids::kLblTimeLeft, L"Time left"),
    {main_ids::kTxtTimeLeft, WC_EDITW, L"", kEditBox | ES_READONLY | WS_GROUP, WS_EX_CLIENTEDGE,
     main_ids::kFraTimeLeft, 120, 240, 4575, 285},
    {main_ids::kFraUpdate, WC_BUTTONW, L"&Update:", kGroupBox, 0, kNoContainer, 120, 5160, 4815,
     735},
    HiddenLabel(main_ids::kLblUpdate, L"Update interval"),
    {main_ids::kCboUpdate, WC_COMBOBOXW, L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP,
     0, main_ids::kFraUpdate, 120, 240, 4575, 315},
}};
static_assert(ContainersInTable(kLayout));

// The File and Help menus; Form_Load names Exit's shortcut.
HMENU BuildMenuBar();

}  // namespace daymarker::main_layout
