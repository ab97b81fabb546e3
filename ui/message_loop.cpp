#include "ui/message_loop.h"

#include <algorithm>
#include <array>

namespace daymarker {
namespace {

struct Registered {
  HWND window;
  HACCEL accelerators;
};

// The program registers at most two windows at a time, the main window and
// About: a plain array with room to spare, so it needs no destruction, and a
// window may still unregister while the process ends.
std::array<Registered, 8>
    g_windows{};  // NOLINT(cppcoreguidelines-avoid-non-const-global-variables)

}  // namespace

void RegisterTopLevelWindow(HWND window, HACCEL accelerators) {
  UnregisterTopLevelWindow(window);
  const auto free = std::find_if(g_windows.begin(), g_windows.end(),
                                 [](const Registered& entry) { return entry.window == nullptr; });
  if (free != g_windows.end()) {
    *free = {window, accelerators};
  }
}

void UnregisterTopLevelWindow(HWND window) {
  bool found = false;
  bool anyLeft = false;
  for (Registered& entry : g_windows) {
    if (entry.window == window) {
      entry = {};
      found = true;
    } else if (entry.window != nullptr) {
      anyLeft = true;
    }
  }
  if (found && !anyLeft) {
    ::PostQuitMessage(0);
  }
}

namespace internal {

// True when the message was a key handled by one of the registered windows.
bool PreTranslateWindowMessage(MSG& message) {
  if (message.message < WM_KEYFIRST || message.message > WM_KEYLAST) {
    return false;
  }
  for (const Registered& entry : g_windows) {
    if (entry.window == nullptr ||
        (message.hwnd != entry.window && !::IsChild(entry.window, message.hwnd))) {
      continue;
    }
    if (entry.accelerators != nullptr &&
        ::TranslateAcceleratorW(entry.window, entry.accelerators, &message) != 0) {
      return true;
    }
    return ::IsDialogMessageW(entry.window, &message) != FALSE;
  }
  return false;
}

}  // namespace internal

int RunMessageLoop() {
  MSG message{};
  for (;;) {
    const BOOL result = ::GetMessageW(&message, nullptr, 0, 0);
    if (result == 0) {
      break;  // WM_QUIT
    }
    if (result == -1) {
      return 1;
    }
    if (!internal::PreTranslateWindowMessage(message)) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
  }
  return static_cast<int>(message.wParam);
}

}  // namespace daymarker
