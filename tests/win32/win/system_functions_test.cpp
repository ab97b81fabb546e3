// The types and the message number win/system_functions.h spells by hand,
// against the declarations of the headers for Windows 10: a mistake fails the build.
#undef _WIN32_WINNT
#undef WINVER
#define _WIN32_WINNT 0x0A00
#define WINVER 0x0A00

#include "win/system_functions.h"

#include <type_traits>

namespace daymarker::system_functions {

template <typename Entry, typename Declared>
constexpr bool kDeclaredSo = std::is_same_v<typename Entry::Type, Declared>;

static_assert(kDeclaredSo<GetDpiForMonitor, decltype(&::GetDpiForMonitor)>);
static_assert(kDeclaredSo<GetDpiForWindow, decltype(&::GetDpiForWindow)>);
static_assert(kDeclaredSo<GetDpiForSystem, decltype(&::GetDpiForSystem)>);
static_assert(kDeclaredSo<GetSystemMetricsForDpi, decltype(&::GetSystemMetricsForDpi)>);
static_assert(kDeclaredSo<EnableNonClientDpiScaling, decltype(&::EnableNonClientDpiScaling)>);
static_assert(kDeclaredSo<AdjustWindowRectExForDpi, decltype(&::AdjustWindowRectExForDpi)>);
static_assert(kGetDpiScaledSize == WM_GETDPISCALEDSIZE);

}  // namespace daymarker::system_functions
