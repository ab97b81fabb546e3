// The product functions the tests reach that no product header shows. Each is
// defined in daymarker::internal, with external linkage, in the file named
// above it, which says what it does.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "settings/registry.h"

namespace daymarker::internal {

// win/system_library.cpp: the loader's fall-back and when it takes it.
bool LacksSearchFlags(HMODULE loaded, DWORD error);
HMODULE LoadFromSystemFolder(const wchar_t* name);

// settings/registry.cpp: one value read from an open key.
LONG FetchRegValue(HKEY key, std::wstring_view name, RegData& out);

// ui/message_loop.cpp: the key handling of the message loop, true where one of
// the program's windows took the key.
bool PreTranslateWindowMessage(MSG& message);

// ui/main/one_copy.cpp: the user a process runs as, as a SID; empty where it cannot be read.
std::wstring ProcessUser(HANDLE process);

}  // namespace daymarker::internal
