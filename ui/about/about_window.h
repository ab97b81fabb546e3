// frmAbout: who and what the program is, with a link to the maker's website
// and a button that starts the System Information tool.
#pragma once

#include <windows.h>

#include <memory>

#include "ui/object_window.h"

namespace daymarker {

// Shows the About window that about holds, modeless and not owned by the main
// window: an open one is only brought forward; else a new one is loaded in its
// place, and the closed one let go. Letting go of about closes the window, so
// its keeper lives as long as the window may, which is longer than the main
// window. mainWindow is the owner of the shell request the link makes.
void ShowAboutWindow(std::unique_ptr<ObjectWindow>& about, HINSTANCE instance, HWND mainWindow);

}  // namespace daymarker
