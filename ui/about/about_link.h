// The About window's website link: a static control that the keyboard reaches
// and clicks as it does a button, with its tooltip and the shell request it makes.
#pragma once

#include <windows.h>

namespace daymarker {

// Makes the link a tab stop whose Enter and Space send its parent the click
// (STN_CLICKED) a mouse sends, with a focus rectangle while it has the focus.
void MakeKeyboardLink(HWND link);

// Adds a tooltip that shows tip over the link, owned by window and destroyed with it.
void AddLinkTooltip(HINSTANCE instance, HWND window, HWND link, const wchar_t* tip);

// Asks the shell to open address; owner, which may be null, owns whatever
// window the shell shows. A website that cannot be opened is not reported.
void OpenInBrowser(HWND owner, const wchar_t* address);

}  // namespace daymarker
