// Shared by the Win32 test programs: layouts, DPI changes and bounded message pumping.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <string>
#include <tuple>
#include <utility>

#include "tests/win32/support/internals.h"
#include "ui/dpi.h"
#include "ui/message_loop.h"
#include "ui/window_text.h"
#include "win/handles.h"
#include "win/system_functions.h"

namespace daymarker::testing {

// A file in this program's folder, where the build puts the probes beside it.
inline std::wstring BesideThisProgram(const wchar_t* name) {
  wchar_t self[MAX_PATH * 2] = {};
  ::GetModuleFileNameW(nullptr, self, static_cast<DWORD>(std::size(self)));
  return std::filesystem::path(self).replace_filename(name).wstring();
}

// How program ended when started with arguments: its exit code, STILL_ACTIVE
// after 30 seconds, or why it did not start.
inline DWORD ExitCodeOf(const std::wstring& program, const std::wstring& arguments) {
  std::wstring commandLine = L"\"" + program + L"\" " + arguments;
  STARTUPINFOW startup{sizeof(startup)};
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                        CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process)) {
    return ::GetLastError();
  }
  const ScopedKernelHandle processHandle(process.hProcess);
  const ScopedKernelHandle threadHandle(process.hThread);
  ::WaitForSingleObject(processHandle.Get(), 30'000);
  DWORD exitCode = 0;
  ::GetExitCodeProcess(processHandle.Get(), &exitCode);  // STILL_ACTIVE while it runs,
  ::TerminateProcess(processHandle.Get(), 1);            // which this ends
  return exitCode;
}

// The open About window of this process, or nullptr.
inline HWND AboutWindowHandle() {
  return ::FindWindowW(L"DaymarkerAboutWindow", nullptr);
}

// A child window's rectangle in its parent's client coordinates; a top-level
// window's on the screen, with no parent.
inline RECT ChildRect(HWND parent, HWND child) {
  RECT rect{};
  ::GetWindowRect(child, &rect);
  ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

using Edges = std::array<LONG, 4>;

inline Edges EdgesOf(const RECT& rect) {
  return {rect.left, rect.top, rect.right, rect.bottom};
}

// A control as a window's layout puts it: its edges from the client area's
// corner at 96 and at 144 DPI, where halves round up (at 1440 a pixel is a
// twip: each of 96 fifteen times over; a bottom of 0 is the control's own, as a
// drop-down list sizes its height), the frames it draws beyond what its kind
// draws, its font (n normal, b bold, i italic, u underlined, 0 none: a picture)
// and its text (nullptr where it is not fixed).
struct Placed {
  int id;
  Edges at96, at144;
  char font = 'n';
  const wchar_t* text = nullptr;
  LONG_PTR frames = 0;
};

// Checks each control of a window moved to a DPI, and of the frames named
// those it draws; they all write in Tahoma, Western, fontHeight high.
inline void ExpectPlaced(HWND window, UINT dpi, LONG fontHeight, LONG_PTR frames,
                         std::initializer_list<Placed> controls) {
  for (const Placed& placed : controls) {
    const HWND control = ::GetDlgItem(window, placed.id);
    Edges expected = dpi == 144 ? placed.at144 : placed.at96;
    std::ranges::for_each(expected, [dpi](LONG& edge) { edge *= dpi == 1440 ? 15 : 1; });
    const Edges edges = EdgesOf(ChildRect(window, control));
    expected[3] = expected[3] == 0 ? edges[3] : expected[3];
    EXPECT_EQ(std::pair(edges, ::GetWindowLongPtrW(control, GWL_EXSTYLE) & frames),
              std::pair(expected, placed.frames))
        << placed.id << " at " << dpi;
    if (placed.font != 0) {
      LOGFONTW font{};
      ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)), sizeof(font),
                   &font);
      EXPECT_EQ(std::tuple(std::wstring(font.lfFaceName), font.lfCharSet, font.lfHeight,
                           font.lfWeight, font.lfItalic != 0, font.lfUnderline != 0),
                std::tuple(std::wstring(L"Tahoma"), BYTE{ANSI_CHARSET}, fontHeight,
                           placed.font == 'b' ? FW_BOLD : FW_NORMAL, placed.font == 'i',
                           placed.font == 'u'))
          << placed.id << " at " << dpi;
    }
    if (placed.text != nullptr) {
      EXPECT_EQ(WindowText(control), placed.text) << placed.id;
    }
  }
}

// Moves a window to a new DPI as Windows does when it crosses to another
// monitor: suggests the size the window asks for (WM_GETDPISCALEDSIZE; else
// its frame in proportion) at `to`, or where it is. True when it takes that.
inline bool ChangeDpi(HWND window, UINT dpi, const POINT* to = nullptr) {
  RECT frame;
  ::GetWindowRect(window, &frame);
  SIZE size{frame.right - frame.left, frame.bottom - frame.top};
  if (::SendMessageW(window, kGetDpiScaledSize, dpi, reinterpret_cast<LPARAM>(&size)) == FALSE) {
    size = {::MulDiv(size.cx, dpi, WindowDpi(window)), ::MulDiv(size.cy, dpi, WindowDpi(window))};
  }
  const POINT origin = to != nullptr ? *to : POINT{frame.left, frame.top};
  RECT suggested{origin.x, origin.y, origin.x + size.cx, origin.y + size.cy};
  ::SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
  ::GetWindowRect(window, &frame);
  return ::EqualRect(&frame, &suggested) != FALSE;
}

// The WM_QUITs the pumps below have taken from the queue.
inline int g_quitsPumped = 0;

// Runs the thread's messages, keys through the program's own dialog handling,
// until done() holds or the time is up. A WM_QUIT left by a window a test
// closed is counted and dropped, or it would end the next test's loop.
inline bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (MSG message;;) {
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      g_quitsPumped += message.message == WM_QUIT ? 1 : 0;
      if (message.message != WM_QUIT && !internal::PreTranslateWindowMessage(message)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
      }
    }
    if (done() || std::chrono::steady_clock::now() >= deadline) {
      return done();
    }
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

// Handles what is queued now.
inline void PumpMessages() {
  PumpUntil([] { return true; }, std::chrono::milliseconds(0));
}

}  // namespace daymarker::testing
