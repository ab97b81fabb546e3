#include "win/system_library.h"
#include "win/system_functions.h"

#include <objbase.h>

#include <gtest/gtest.h>

#include <thread>

#include "win/com_apartment.h"

namespace daymarker::testing {
namespace {

// Only System32 is searched: the planted DLL beside this program is what an
// ordinary search finds, yet no system function comes from it. Wine has the
// search flags, so the fallback for a Windows without them is called here,
// and taken only where they are refused, not on any other failure.
TEST(SystemLibrary, FindsFunctionsInSystem32Only) {
  HMODULE planted = ::LoadLibraryW(L"planted_dll.dll");
  ASSERT_NE(planted, nullptr) << "the test DLL must lie beside the test program";
  ::FreeLibrary(planted);
  EXPECT_EQ(LoadFromSystemFolder(L"planted_dll.dll"), nullptr);
  EXPECT_NE(::GetProcAddress(LoadFromSystemFolder(L"shell32.dll"), "Shell_NotifyIconW"), nullptr);
  EXPECT_EQ((SystemFunction<int (*)(), L"planted_dll.dll", "PlantedMarker">::Get()), nullptr);
  EXPECT_NE(system_functions::CoUninitialize::Get(), nullptr);
  EXPECT_TRUE(LacksSearchFlags(nullptr, ERROR_INVALID_PARAMETER));
  EXPECT_FALSE(LacksSearchFlags(nullptr, ERROR_MOD_NOT_FOUND));
  EXPECT_FALSE(LacksSearchFlags(::GetModuleHandleW(nullptr), ERROR_INVALID_PARAMETER));
}

// An apartment is let go of only by the object that entered it: on a thread
// that has the other kind already, entering fails and leaves that one alone.
TEST(ComApartment, LetsGoOnlyOfTheApartmentItEntered) {
  for (const bool threadHasOne : {false, true}) {
    HRESULT afterwards = E_FAIL;
    std::thread([&] {
      if (threadHasOne) {
        ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
      }
      { const ComApartment apartment; }
      // S_FALSE: the thread's own apartment is still there; S_OK: none was.
      afterwards = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
      ::CoUninitialize();
      if (threadHasOne) {
        ::CoUninitialize();
      }
    }).join();
    EXPECT_EQ(afterwards, threadHasOne ? S_FALSE : S_OK) << threadHasOne;
  }
}

}  // namespace
}  // namespace daymarker::testing
