// The System Information launcher of the About window: finds the tool through
// the two registry locations Windows records it under and starts it.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace daymarker {

// Reads one value with a 1024-byte buffer (a longer value is a failed lookup).
// REG_SZ gives its text; REG_DWORD gives "&h" and its bytes, most significant
// first, after one zero top byte is dropped; any other type leaves KeyVal as it
// was and still counts as read. On failure KeyVal is "" and the result false.
bool GetKeyValue(HKEY KeyRoot, std::wstring_view KeyName, std::wstring_view SubKeyRef,
                 std::wstring& KeyVal);

// Starts the tool, or tells the user it is unavailable in a message box owned by owner.
void StartSysInfo(HWND owner);

}  // namespace daymarker
