#include "ui/window_text.h"

#include <algorithm>

namespace daymarker {

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)), L'\0');
  if (!text.empty()) {
    // The terminator goes where the string keeps its own.
    const int copied = ::GetWindowTextW(window, text.data(), static_cast<int>(text.size() + 1));
    text.resize(static_cast<std::size_t>(std::max(copied, 0)));
  }
  return text;
}

}  // namespace daymarker
