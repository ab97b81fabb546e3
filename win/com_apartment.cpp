#include "win/com_apartment.h"

#include "win/system_library.h"

namespace daymarker {

namespace {

// CoUninitialize when this thread has entered the apartment, else nothing to undo.
decltype(&::CoUninitialize) EnterApartment() {
  const auto initialise =
      SystemFunction<decltype(&::CoInitializeEx), L"ole32.dll", "CoInitializeEx">();
  const auto uninitialise =
      SystemFunction<decltype(&::CoUninitialize), L"ole32.dll", "CoUninitialize">();
  if (initialise == nullptr || uninitialise == nullptr ||
      FAILED(initialise(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {
    return nullptr;
  }
  return uninitialise;
}

}  // namespace

ComApartment::ComApartment() : uninitialise_(EnterApartment()) {}

ComApartment::~ComApartment() {
  if (uninitialise_ != nullptr) {
    uninitialise_();
  }
}

}  // namespace daymarker
