// COM for the calling thread, as long as one of these lives. COM is loaded
// only where it is needed (the website link, a screen reader's first
// request), never at start-up.
#pragma once

#include <windows.h>

#include <objbase.h>

namespace daymarker {

// A single-threaded apartment on this thread while the object lives; nothing
// when COM cannot be loaded or the thread already has another kind.
class ComApartment {
 public:
  ComApartment();
  ~ComApartment();
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  ComApartment(ComApartment&&) = delete;
  ComApartment& operator=(ComApartment&&) = delete;

 private:
  using CoUninitializeFn = decltype(&::CoUninitialize);
  CoUninitializeFn uninitialise_ = nullptr;  // set while this holds an apartment
};

}  // namespace daymarker
