// Shared by the Win32 test programs: window texts and bounded message pumping.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>

#include "ui/message_loop.h"

namespace daymarker::testing {

inline std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      ::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

// Runs the thread's messages, keys through the program's own dialog handling,
// until done() holds or the time is up. A WM_QUIT left by a window a test
// closed is dropped, or it would end the next test's loop.
inline bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (MSG message;;) {
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message != WM_QUIT && !PreTranslateWindowMessage(message)) {
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
