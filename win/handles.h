// Move-only owners for Win32 handles: each closes its handle exactly once.
#pragma once

#include <windows.h>

#include <utility>

namespace daymarker {

template <typename Handle, auto Close, Handle Invalid = Handle{}>
class ScopedHandle {
 public:
  ScopedHandle() = default;
  explicit ScopedHandle(Handle handle) : handle_(handle) {}
  ~ScopedHandle() { Reset(); }

  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;
  ScopedHandle(ScopedHandle&& other) noexcept : handle_(std::exchange(other.handle_, Invalid)) {}
  ScopedHandle& operator=(ScopedHandle&& other) noexcept {
    if (this != &other) {
      Reset(std::exchange(other.handle_, Invalid));
    }
    return *this;
  }

  Handle Get() const { return handle_; }
  explicit operator bool() const { return handle_ != Invalid; }

  // For APIs that hand out a new handle through a pointer.
  Handle* Receive() {
    Reset();
    return &handle_;
  }

  void Reset(Handle handle = Invalid) {
    if (handle_ != Invalid) {
      Close(handle_);
    }
    handle_ = handle;
  }

  Handle Release() { return std::exchange(handle_, Invalid); }

 private:
  Handle handle_ = Invalid;
};

namespace handle_close {
inline void Key(HKEY key) {
  ::RegCloseKey(key);
}
inline void Gdi(HGDIOBJ object) {
  ::DeleteObject(object);
}
inline void Icon(HICON icon) {
  ::DestroyIcon(icon);
}
inline void Cursor(HCURSOR cursor) {
  ::DestroyCursor(cursor);
}
inline void Menu(HMENU menu) {
  ::DestroyMenu(menu);
}
inline void Accel(HACCEL accel) {
  ::DestroyAcceleratorTable(accel);
}
inline void Kernel(HANDLE handle) {
  ::CloseHandle(handle);
}
inline void Find(HANDLE handle) {
  ::FindClose(handle);
}
}  // namespace handle_close

using ScopedKey = ScopedHandle<HKEY, handle_close::Key>;
using ScopedFont = ScopedHandle<HFONT, handle_close::Gdi>;
using ScopedBitmap = ScopedHandle<HBITMAP, handle_close::Gdi>;
using ScopedIcon = ScopedHandle<HICON, handle_close::Icon>;
using ScopedCursor = ScopedHandle<HCURSOR, handle_close::Cursor>;
using ScopedMenu = ScopedHandle<HMENU, handle_close::Menu>;
using ScopedAccel = ScopedHandle<HACCEL, handle_close::Accel>;
using ScopedKernelHandle = ScopedHandle<HANDLE, handle_close::Kernel>;
using ScopedFind = ScopedHandle<HANDLE, handle_close::Find>;  // holds only a search that started

}  // namespace daymarker
