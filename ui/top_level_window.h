// What the program's two top-level windows share: one object behind each
// window, a frame sized from a client area in twips at the window's DPI, whose
// caption and menu scale with it, icons loaded at that DPI, the dialog
// manager's focus moves, focus that comes back to the control that had it,
// the move to a new DPI, and colour changes passed on to the controls.
#pragma once

#include <windows.h>

#include "ui/object_window.h"
#include "win/handles.h"

namespace daymarker {

struct FrameSpec {
  const wchar_t* className;
  DWORD style;
  DWORD exStyle;
  int iconId;          // the window's icon resource
  int acceleratorsId;  // its accelerator table, or 0 for none
};

class TopLevelWindow : public ObjectWindow {
 protected:
  TopLevelWindow(HINSTANCE instance, const FrameSpec& frame);

  // Creates the window at x, y (or CW_USEDEFAULT), sized for its client area.
  bool CreateFrame(HWND owner, HMENU menu, int x, int y);

  // The client area in twips.
  virtual SIZE ClientTwips() const = 0;
  // Creates the controls, once the window has its DPI and icons; false fails the creation.
  virtual bool MakeControls() = 0;
  // The control that takes the focus when no other is remembered.
  virtual HWND FirstFocus() const = 0;
  // Fonts and controls again at Dpi(); the frame and icons follow by themselves.
  virtual void RescaleControls() = 0;
  // A control's notification, a menu item or an accelerator.
  virtual void OnCommand(int id, int code) = 0;
  // Every message the base does not answer itself; by default DefWindowProc.
  virtual LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // The frame around a client area placed at 0, 0, at Dpi() or at dpi: its
  // left and top are below 0, and only its width and height are of use.
  RECT FrameRect() const { return FrameRect(dpi_); }
  RECT FrameRect(UINT dpi) const;
  HWND Control(int id) const { return ::GetDlgItem(Window(), id); }
  HINSTANCE Instance() const { return instance_; }
  UINT Dpi() const { return dpi_; }

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) final;
  bool OnCreateFrame();
  // Sizes the frame for ClientTwips() at Dpi().
  void FitFrame();
  void OnActivate(WPARAM wParam);
  void OnSetFocus();
  void OnNextDlgCtl(WPARAM wParam, LPARAM lParam);
  void OnDpiChanged(UINT dpi, const RECT& suggested);
  void ForwardToControls(UINT message, WPARAM wParam, LPARAM lParam);
  bool OnGetDpiScaledSize(UINT dpi, SIZE& size) const;
  void LoadWindowIcons();

  HINSTANCE instance_;
  FrameSpec frame_;
  bool hasMenu_ = false;
  UINT dpi_;
  // A new DPI came while minimised: the frame takes its size when restored.
  bool fitWhenRestored_ = false;
  HWND focusOnDeactivate_ = nullptr;
  ScopedAccel accelerators_;
  ScopedIcon largeIcon_;
  ScopedIcon smallIcon_;
};

}  // namespace daymarker
