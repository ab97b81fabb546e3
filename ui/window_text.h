// The text of a window or control, as both windows read their controls'.
#pragma once

#include <windows.h>

#include <string>

namespace daymarker {

// The whole text, whatever its length; "" for none.
std::wstring WindowText(HWND window);

}  // namespace daymarker
