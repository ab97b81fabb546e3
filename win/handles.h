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

  void Reset(Handle handle = Invalid) {
    if (handle_ != Invalid) {
      Close(handle_);
    }
    handle_ = handle;
  }

 private:
  Handle handle_ = Invalid;
};

using ScopedKey = ScopedHandle<HKEY, &::RegCloseKey>;
using ScopedFont = ScopedHandle<HFONT, &::DeleteObject>;
using ScopedBitmap = ScopedHandle<HBITMAP, &::DeleteObject>;
using ScopedIcon = ScopedHandle<HICON, &::DestroyIcon>;
using ScopedMenu = ScopedHandle<HMENU, &::DestroyMenu>;
using ScopedAccel = ScopedHandle<HACCEL, &::DestroyAcceleratorTable>;
using ScopedKernelHandle = ScopedHandle<HANDLE, &::CloseHandle>;
using ScopedFind = ScopedHandle<HANDLE, &::FindClose>;  // holds only a search that started
// A window with no object behind it; a window object is held as an OwnedWindow.
using ScopedWindow = ScopedHandle<HWND, &::DestroyWindow>;

}  // namespace daymarker
