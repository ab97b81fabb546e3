// What a screen reader says for the controls that have no text of their own.
#include <windows.h>

#include <oleacc.h>

#include "window_test_support.h"

namespace daymarker::testing {
namespace {

// The name the system's accessibility layer gives a window, as a screen reader asks for it.
std::wstring AccessibleName(HWND window) {
  IAccessible* accessible = nullptr;
  if (FAILED(::AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT),
                                          __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&accessible)))) {
    return L"(no accessible object)";
  }
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR name = nullptr;
  std::wstring text = L"(no name)";
  if (accessible->get_accName(self, &name) == S_OK && name != nullptr) {
    text = name;
  }
  ::SysFreeString(name);
  accessible->Release();
  return text;
}

// Whether this thread has COM already, from someone other than this call.
bool ThreadHasCom() {
  const HRESULT hr = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  if (SUCCEEDED(hr)) {
    ::CoUninitialize();
  }
  return hr == S_FALSE;
}

TEST_F(MainWindowTest, ControlsWithoutTextAreNamedByAHiddenLabelBeforeThem) {
  EXPECT_FALSE(ThreadHasCom()) << "nothing of COM at start-up";
  EXPECT_EQ(AccessibleName(Control(kTxtEvent)), L"Event name");
  EXPECT_EQ(AccessibleName(Control(kTxtTimeLeft)), L"Time left");
  // Wine names pickers and lists by their value; Windows reads the labels for lists, and the
  // pickers are given theirs when first asked for.
  for (const auto& [id, name] :
       {std::pair{kDtpEventDate, L"Event date"}, std::pair{kDtpEventTime, L"Event time"},
        std::pair{kTxtEvent, L"Event name"}, std::pair{kTxtTimeLeft, L"Time left"},
        std::pair{kCboUpdate, L"Update interval"}}) {
    HWND label = ::GetWindow(Control(id), GW_HWNDPREV);
    EXPECT_EQ(WindowText(label), name) << id;
    wchar_t className[64] = {};
    ::GetClassNameW(label, className, 64);
    EXPECT_STREQ(className, L"Static") << id;
    EXPECT_FALSE(::IsWindowVisible(label)) << "the window looks as it did: " << id;
  }
  // Asked twice each: named once, holding COM until the pickers go. Wine's naming service is a
  // stub, so here the pickers keep answering with their value.
  for (int request = 0; request < 2; ++request) {
    for (const int id : {kDtpEventDate, kDtpEventTime}) {
      EXPECT_EQ(AccessibleName(Control(id)), Text(id)) << id;
    }
  }
  EXPECT_TRUE(ThreadHasCom());
  window_.reset();
  EXPECT_FALSE(ThreadHasCom()) << "COM let go with the pickers, as often as it was taken";
}

}  // namespace
}  // namespace daymarker::testing
