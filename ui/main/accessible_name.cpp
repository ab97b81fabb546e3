#include "ui/main/accessible_name.h"

#include <commctrl.h>
#include <initguid.h>  // defines the identifiers oleacc.h declares
#include <oleacc.h>

#include <array>
#include <memory>

#include "win/com_apartment.h"
#include "win/system_functions.h"

namespace daymarker {
namespace {

constexpr UINT_PTR kNameSubclass = 1;

// COM on the thread, and the annotation service, for as long as the name is given.
struct Annotation {
  ComApartment apartment;
  IAccPropServices* services = nullptr;
};

IAccPropServices* CreatePropServices() {
  const auto create = system_functions::CoCreateInstance::Get();
  void* services = nullptr;
  if (create == nullptr || FAILED(create(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                         IID_IAccPropServices, &services))) {
    return nullptr;
  }
  return static_cast<IAccPropServices*>(services);
}

// No name-change event: the client that asked has read no name yet.
void Annotate(HWND control, Annotation& annotation) {
  annotation.services = CreatePropServices();
  std::array<wchar_t, 64> label{};
  if (annotation.services != nullptr &&
      ::GetWindowTextW(::GetWindow(control, GW_HWNDPREV), label.data(),
                       static_cast<int>(label.size())) > 0) {
    // Wine's annotation service is a stub (E_NOTIMPL): only Windows gives this name.
    annotation.services->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                        PROPID_ACC_NAME, label.data());
  }
}

void ClearAnnotation(HWND control, const Annotation& annotation) {
  if (annotation.services != nullptr) {
    annotation.services->ClearHwndProps(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                        &PROPID_ACC_NAME, 1);
    annotation.services->Release();
  }
}

// The annotation lives from the first request to the control's end, owned by the subclass.
LRESULT CALLBACK NameProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                          UINT_PTR subclassId, DWORD_PTR refData) {
  if (message == WM_GETOBJECT && refData == 0) {
    auto annotation = std::make_unique<Annotation>();
    if (::SetWindowSubclass(control, NameProc, subclassId,
                            reinterpret_cast<DWORD_PTR>(annotation.get())) != FALSE) {
      Annotate(control, *annotation.release());
    }
  } else if (message == WM_DESTROY) {
    // Windows asks for annotations to be cleared before the control is destroyed.
    ::RemoveWindowSubclass(control, NameProc, subclassId);
    if (refData != 0) {
      const std::unique_ptr<Annotation> annotation(reinterpret_cast<Annotation*>(refData));
      ClearAnnotation(control, *annotation);
    }
  }
  return ::DefSubclassProc(control, message, wParam, lParam);
}

}  // namespace

void NameAfterLabelWhenAsked(HWND control) {
  ::SetWindowSubclass(control, NameProc, kNameSubclass, 0);
}

}  // namespace daymarker
