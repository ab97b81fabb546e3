#include "win/com_apartment.h"

#include <objbase.h>

#include "win/system_library.h"

namespace daymarker {

ComApartment::ComApartment()
    : uninitialise_(SystemFunction<CoUninitializeFn>(L"ole32.dll", "CoUninitialize")) {
  using CoInitializeExFn = HRESULT(WINAPI*)(LPVOID, DWORD);
  const auto initialise = SystemFunction<CoInitializeExFn>(L"ole32.dll", "CoInitializeEx");
  if (initialise == nullptr || uninitialise_ == nullptr ||
      FAILED(initialise(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {
    uninitialise_ = nullptr;
  }
}

ComApartment::~ComApartment() {
  if (uninitialise_ != nullptr) {
    uninitialise_();
  }
}

}  // namespace daymarker
