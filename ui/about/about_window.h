// frmAbout: who and what the program is, with a link to the maker's website
// and a button that starts the System Information tool.
#pragma once

#include <windows.h>

namespace daymarker {

namespace about_ids {
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
}  // namespace about_ids

// Shows the one About window of the process, modeless and not owned by the main
// window, loading it first when it is not open; an open one is only brought forward.
// mainWindow is the owner of the shell request the link makes.
void ShowAboutWindow(HINSTANCE instance, HWND mainWindow);

}  // namespace daymarker
