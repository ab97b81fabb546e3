// The fonts and icons both windows show, made for the DPI they are shown at.
#pragma once

#include <windows.h>

namespace daymarker {

// An icon resource at the size of two system metrics (SM_CXICON and
// SM_CYICON, say) at dpi, made from the nearest larger image where it can.
HICON LoadIconForDpi(HINSTANCE instance, int id, int metricX, int metricY, UINT dpi);

// The font of every control and label: Tahoma 8.25 pt, Western.
HFONT CreateTahomaFont(UINT dpi, LONG weight = FW_NORMAL, bool italic = false,
                       bool underline = false);

}  // namespace daymarker
