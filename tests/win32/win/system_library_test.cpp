#include "win/system_library.h"

#include <objbase.h>

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <thread>

#include "win/com_apartment.h"

namespace daymarker::testing {
namespace {

std::wstring ModuleFolder(HMODULE module) {
  std::array<wchar_t, MAX_PATH> path{};
  const DWORD length = ::GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
  const std::wstring file(path.data(), length);
  return file.substr(0, file.rfind(L'\\'));
}

std::wstring SystemFolder() {
  std::array<wchar_t, MAX_PATH> path{};
  const UINT length = ::GetSystemDirectoryW(path.data(), static_cast<UINT>(path.size()));
  return {path.data(), length};
}

// Wine has the search flags, so it never takes the fallback by itself.
TEST(SystemLibrary, LoadsOnlyFromSystem32) {
  // The planted DLL beside this program is what an ordinary search finds.
  HMODULE planted = ::LoadLibraryW(L"planted_dll.dll");
  ASSERT_NE(planted, nullptr) << "the test DLL must lie beside the test program";
  ::FreeLibrary(planted);
  for (const auto load : {&LoadSystemLibrary, &LoadFromSystemFolder}) {
    HMODULE shell = load(L"shell32.dll");
    ASSERT_NE(shell, nullptr);
    EXPECT_EQ(
        ::CompareStringOrdinal(ModuleFolder(shell).c_str(), -1, SystemFolder().c_str(), -1, TRUE),
        CSTR_EQUAL);
    EXPECT_NE(::GetProcAddress(shell, "Shell_NotifyIconW"), nullptr);
    EXPECT_EQ(load(L"planted_dll.dll"), nullptr);
  }
  EXPECT_EQ((SystemFunction<int (*)(), L"planted_dll.dll", "PlantedMarker">()), nullptr);
}

TEST(SystemLibrary, MissingFunctionsAndLibrariesAreNull) {
  EXPECT_EQ((SystemFunction<void (*)(), L"shell32.dll", "NoSuchFunctionAnywhere">()), nullptr);
  EXPECT_EQ((SystemFunction<void (*)(), L"no-such-library.dll", "Anything">()), nullptr);
  EXPECT_NE((SystemFunction<void(WINAPI*)(), L"ole32.dll", "CoUninitialize">()), nullptr);
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
