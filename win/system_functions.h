// Every system function the program looks up at run time instead of
// importing, each named once with its DLL and its type: those of a Windows
// newer than 7, which the program does without where they are missing, and
// those of DLLs it needs only now and then (the shell's, for the notification
// area and the website link; COM's, for the link and a screen reader's first
// request), loaded the first time they are used rather than at every start.
// tests/pe/looked_up_functions.txt says from which Windows on each one is
// there; the executable check fails when the two lists differ.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>
#include <shellscalingapi.h>

#include "win/system_library.h"

namespace daymarker::system_functions {

// Typed by the declarations of the headers for Windows 7.
// The present moment: every Windows has it, and every reading of it goes
// through here, as every other function of this list does.
using GetSystemTimeAsFileTime = SystemFunction<decltype(&::GetSystemTimeAsFileTime),
                                               L"kernel32.dll", "GetSystemTimeAsFileTime">;
using SetDefaultDllDirectories = SystemFunction<decltype(&::SetDefaultDllDirectories),
                                                L"kernel32.dll", "SetDefaultDllDirectories">;
using ChangeWindowMessageFilterEx = SystemFunction<decltype(&::ChangeWindowMessageFilterEx),
                                                   L"user32.dll", "ChangeWindowMessageFilterEx">;
using CoInitializeEx = SystemFunction<decltype(&::CoInitializeEx), L"ole32.dll", "CoInitializeEx">;
using CoUninitialize = SystemFunction<decltype(&::CoUninitialize), L"ole32.dll", "CoUninitialize">;
using CoCreateInstance =
    SystemFunction<decltype(&::CoCreateInstance), L"ole32.dll", "CoCreateInstance">;
using Shell_NotifyIconW =
    SystemFunction<decltype(&::Shell_NotifyIconW), L"shell32.dll", "Shell_NotifyIconW">;
using SHAppBarMessage =
    SystemFunction<decltype(&::SHAppBarMessage), L"shell32.dll", "SHAppBarMessage">;
using ShellExecuteW = SystemFunction<decltype(&::ShellExecuteW), L"shell32.dll", "ShellExecuteW">;
using LoadIconWithScaleDown =
    SystemFunction<decltype(&::LoadIconWithScaleDown), L"comctl32.dll", "LoadIconWithScaleDown">;

// Windows 8.1's and Windows 10 1607's, which the headers for Windows 7 do not
// declare: typed by hand, and checked against newer headers when
// tests/win32/win/win_test.cpp compiles (on 32-bit Windows a wrong type
// unbalances the stack).
using GetDpiForMonitor = SystemFunction<HRESULT(WINAPI*)(HMONITOR, MONITOR_DPI_TYPE, UINT*, UINT*),
                                        L"shcore.dll", "GetDpiForMonitor">;
using GetDpiForWindow = SystemFunction<UINT(WINAPI*)(HWND), L"user32.dll", "GetDpiForWindow">;
using GetDpiForSystem = SystemFunction<UINT(WINAPI*)(), L"user32.dll", "GetDpiForSystem">;
using GetSystemMetricsForDpi =
    SystemFunction<int(WINAPI*)(int, UINT), L"user32.dll", "GetSystemMetricsForDpi">;
using EnableNonClientDpiScaling =
    SystemFunction<BOOL(WINAPI*)(HWND), L"user32.dll", "EnableNonClientDpiScaling">;
using AdjustWindowRectExForDpi = SystemFunction<BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT),
                                                L"user32.dll", "AdjustWindowRectExForDpi">;

}  // namespace daymarker::system_functions
