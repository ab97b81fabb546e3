// One object behind each window of the program: the window procedure finds
// it, hands it every message from WM_NCCREATE on, and lets go of it at
// WM_NCDESTROY.
#pragma once

#include <windows.h>

namespace daymarker {

// Registers a class with the dialog look (button-face background, arrow
// cursor) unless this module has it already.
bool RegisterWindowClass(HINSTANCE instance, const wchar_t* name, WNDPROC procedure);

class ObjectWindow {
 public:
  ObjectWindow(const ObjectWindow&) = delete;
  ObjectWindow& operator=(const ObjectWindow&) = delete;
  virtual ~ObjectWindow() = default;

  HWND Window() const { return window_; }

 protected:
  ObjectWindow() = default;

  // Creates a window of the class, registered first if need be, with this object behind it.
  bool CreateObjectWindow(HINSTANCE instance, const wchar_t* className, DWORD exStyle, DWORD style,
                          const RECT& place, HWND parent, HMENU menu);
  // Every message of the window, WM_NCCREATE included and WM_NCDESTROY not.
  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
  // The window is gone; the object may delete itself here.
  virtual void OnFinalMessage() {}
  // Hands over the window: from here on none of its messages reach this object.
  HWND DetachWindow();

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HWND window_ = nullptr;
};

}  // namespace daymarker
