// One object behind each window of the program: the window procedure finds
// it and hands it the window's messages until the window is gone. The object
// outlives the window, held as an OwnedWindow until its holder lets go of it.
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

  // Destroys the window, if it is still open, while the whole object stands
  // behind it: its last messages find every member alive.
  void DestroyWindowFirst();

  // Creates a window of the class, registered first if need be, with this object behind it.
  bool CreateObjectWindow(HINSTANCE instance, const wchar_t* className, DWORD exStyle, DWORD style,
                          const RECT& place, HWND parent, HMENU menu);
  // Every message of the window, WM_NCCREATE included and WM_NCDESTROY not.
  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;

 private:
  // Only OwnedWindow overrides this, so no window object can be made without
  // the destructor that takes its window first.
  virtual void MadeAsOwnedWindow() = 0;

  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HWND window_ = nullptr;
};

// A window object as its holder keeps it: the program, or the window that
// shows it. Its destructor runs before any of the object's own, so the window
// goes first, and the fonts, images and windows the object keeps after it.
template <typename Object>
class OwnedWindow final : public Object {
 public:
  using Object::Object;
  ~OwnedWindow() override { this->DestroyWindowFirst(); }
  OwnedWindow(const OwnedWindow&) = delete;
  OwnedWindow& operator=(const OwnedWindow&) = delete;

 private:
  void MadeAsOwnedWindow() final {}
};

}  // namespace daymarker
