// The types and the message number win/system_functions.h spells by hand,
// against the declarations of the headers for Windows 10: a mistake fails the build.
#undef _WIN32_WINNT
#undef WINVER
#define _WIN32_WINNT 0x0A00
#define WINVER 0x0A00

#include "win/system_functions.h"

#include <type_traits>

namespace daymarker::system_functions {

// The entry of that name has the type of the function of that name.
#define DECLARED_ALIKE(name) static_assert(std::is_same_v<name::Type, decltype(&::name)>, #name)

DECLARED_ALIKE(GetDpiForMonitor);
DECLARED_ALIKE(GetDpiForWindow);
DECLARED_ALIKE(GetDpiForSystem);
DECLARED_ALIKE(GetSystemMetricsForDpi);
DECLARED_ALIKE(EnableNonClientDpiScaling);
DECLARED_ALIKE(AdjustWindowRectExForDpi);
static_assert(kGetDpiScaledSize == WM_GETDPISCALEDSIZE);

}  // namespace daymarker::system_functions
