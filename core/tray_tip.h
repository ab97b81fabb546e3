// The status line as the notification-area icon's tooltip takes it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace daymarker {

// The most the icon's record holds of a tip, in UTF-16 units, before its
// terminating zero.
inline constexpr std::size_t kTrayTipLength = 63;

// The tip for the icon's record: where the notification area takes & as an
// access-key prefix (ampersandIsPrefix), each & is escaped so that it shows as
// typed: the first of a run as "&&&", each further one as "&&". Cut to
// kTrayTipLength units, never inside such an escape or inside a surrogate
// pair (text is UTF-16 units, as Windows holds it).
std::wstring TrayTipText(std::wstring_view line, bool ampersandIsPrefix);

}  // namespace daymarker
