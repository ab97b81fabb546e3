#include "ui/message_loop.h"

#include <algorithm>
#include <vector>

namespace daymarker {
namespace {

struct TopLevelWindow {
  HWND window;
  HACCEL accelerators;
};

// The program has at most two top-level windows at a time.
std::vector<TopLevelWindow> g_windows;

}  // namespace

void RegisterTopLevelWindow(HWND window, HACCEL accelerators) {
  UnregisterTopLevelWindow(window);
  g_windows.push_back({window, accelerators});
}

void UnregisterTopLevelWindow(HWND window) {
  const auto found = std::find_if(g_windows.begin(), g_windows.end(),
                                  [window](const TopLevelWindow& w) { return w.window == window; });
  if (found == g_windows.end()) {
    return;
  }
  g_windows.erase(found);
  if (g_windows.empty()) {
    ::PostQuitMessage(0);
  }
}

bool PreTranslateWindowMessage(MSG& message) {
  if (message.message < WM_KEYFIRST || message.message > WM_KEYLAST) {
    return false;
  }
  for (const TopLevelWindow& entry : g_windows) {
    if (message.hwnd != entry.window && !::IsChild(entry.window, message.hwnd)) {
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

int RunMessageLoop() {
  MSG message;
  BOOL result;
  while ((result = ::GetMessageW(&message, nullptr, 0, 0)) != 0) {
    if (result == -1) {
      return 1;
    }
    if (!PreTranslateWindowMessage(message)) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
  }
  return static_cast<int>(message.wParam);
}

}  // namespace daymarker
