// DPI helpers, and the monitors of the desktop. Layouts are in twips (1440 to
// the inch) and become pixels by the DPI of the window they are shown in.
#pragma once

#include <windows.h>

#include <vector>

#include "core/workspace.h"

namespace daymarker {

inline constexpr UINT kDefaultDpi = 96;

// WM_GETDPISCALEDSIZE, which Windows 10 1703 and later send before
// WM_DPICHANGED, and which the Windows 7 headers the program builds with lack.
inline constexpr UINT kGetDpiScaledSize = 0x02E4;

// The DPI the window is shown at: its own where Windows keeps one (Windows 10
// 1607 on), else its monitor's (Windows 8.1), else the screen's.
UINT WindowDpi(HWND window);
// One DPI for the whole desktop, whatever monitor a window is on: screen
// coordinates and the notification area are scaled by it.
UINT SystemDpi();
// A system metric (GetSystemMetrics' index) as it is at dpi.
int SystemMetricForDpi(int index, UINT dpi);
int TwipsToPixels(int twips, UINT dpi);
// Nearest whole twip, a half to the even neighbour (positions are recorded so).
int PixelsToTwips(int pixels, UINT dpi);
// Every monitor, in that one space of screen pixels.
std::vector<Monitor> Monitors();
// Moves a shown window that lies on no monitor into the nearest one's work
// area. Windows moves visible windows off a monitor that goes, but nothing
// promises that for a hidden one's place.
void MoveWithinReach(HWND window);
BOOL AdjustWindowRectForDpi(RECT* rect, DWORD style, BOOL menu, DWORD exStyle, UINT dpi);

}  // namespace daymarker
