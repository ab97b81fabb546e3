// Child-control identifiers of the About window.
#pragma once

#include <windows.h>

namespace daymarker::about_ids {

enum : int {
  // Enter and Escape arrive as IDOK and IDCANCEL; cmdOK answers to both.
  kCmdOK = IDOK,
  kCmdSysInfo = 2001,
  kLblDescription,
  kLblDisclaimer,
  kLblTitle,
  kLblVersion,
  kLblCopyright,
  kPicIcon,
  kLblRegTo,
  kPicTolvane,
  kLblTolvane,
  kLblComments,
};

}  // namespace daymarker::about_ids
