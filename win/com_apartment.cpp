#include "win/com_apartment.h"

#include "win/system_functions.h"

namespace daymarker {

namespace {

// CoUninitialize when this thread has entered the apartment, else nothing to undo.
decltype(&::CoUninitialize) EnterApartment() {
  const auto initialise = system_functions::CoInitializeEx::Get();
  const auto uninitialise = system_functions::CoUninitialize::Get();
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
