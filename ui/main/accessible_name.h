// A screen-reader name for a control whose name Windows does not take from
// the label before it.
#pragma once

#include <windows.h>

namespace daymarker {

// Gives the control the text of the label just before it as its accessible
// name, when an accessibility client first asks for the control (nothing is
// loaded before), until the control is destroyed.
void NameAfterLabelWhenAsked(HWND control);

}  // namespace daymarker
