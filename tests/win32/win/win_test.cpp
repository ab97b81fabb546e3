// The layer below settings/ and ui/: the registry reader every layer shares,
// against the real registry, where a value a hand-editor changes between its
// two queries never makes a read run past the buffer sized from the first;
// the System32-only loader and the functions it looks up, whose hand-typed
// types are checked against the headers for Windows 10 as this compiles (with
// the DPI message number ui/dpi.h types by hand); and COM for a thread.
#undef _WIN32_WINNT
#undef WINVER
#define _WIN32_WINNT 0x0A00
#define WINVER 0x0A00

#include <objbase.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <optional>
#include <span>
#include <thread>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

#include "tests/win32/support/internals.h"
#include "tests/win32/support/registry_support.h"
#include "ui/dpi.h"
#include "win/com_apartment.h"
#include "win/registry_value.h"
#include "win/system_functions.h"
#include "win/system_library.h"

namespace daymarker::testing {
namespace {

using namespace std::literals;
using namespace system_functions;

// The entry of that name has the type of the function of that name.
#define DECLARED_ALIKE(name) static_assert(std::is_same_v<name::Type, decltype(&::name)>, #name)

DECLARED_ALIKE(GetDpiForMonitor);
DECLARED_ALIKE(GetDpiForWindow);
DECLARED_ALIKE(GetDpiForSystem);
DECLARED_ALIKE(GetSystemMetricsForDpi);
DECLARED_ALIKE(EnableNonClientDpiScaling);
DECLARED_ALIKE(AdjustWindowRectExForDpi);
static_assert(kGetDpiScaledSize == WM_GETDPISCALEDSIZE);

using RegValueTest = ScratchRegistryTest;

TEST_F(RegValueTest, AValueChangedAfterItsSizeWasTakenIsReadWithinTheBufferOfAKeyOpened) {
  // What the value holds when its size is taken; its type and bytes at the
  // second query; the result, and the bytes and type a successful read finds.
  const std::vector<BYTE> abcd = TextBytes(L"abcd"sv);
  const std::tuple<const char*, std::vector<BYTE>, DWORD, std::vector<BYTE>, LONG,
                   std::optional<std::pair<DWORD, DWORD>>>
      cases[] = {
          {"grown", abcd, REG_SZ, TextBytes(L"abcde"sv), ERROR_MORE_DATA, {}},
          {"shrunk", abcd, REG_SZ, TextBytes(L"ab"sv), ERROR_SUCCESS, std::pair{4, REG_SZ}},
          {"retyped", abcd, REG_BINARY, TextBytes(L"wxyz"sv), ERROR_SUCCESS,
           std::pair{8, REG_BINARY}},
          {"gone", abcd, REG_NONE, {}, ERROR_FILE_NOT_FOUND, {}},
          {"empty, filled", {}, REG_SZ, TextBytes(L"ab"sv), ERROR_MORE_DATA, {}},
          {"empty", {}, REG_SZ, {}, ERROR_SUCCESS, std::pair{0, REG_SZ}},
      };
  for (const auto& [what, before, typeNow, now, result, read] : cases) {
    SCOPED_TRACE(what);
    ASSERT_TRUE(Plant(Scratch(), L"", L"Value", REG_SZ, before));
    const RegValue value(Scratch(), L"Value");
    ASSERT_EQ(value.Found(), ERROR_SUCCESS);
    if (typeNow == REG_NONE) {
      ASSERT_EQ(::RegDeleteValueW(Scratch(), L"Value"), ERROR_SUCCESS);
    } else {
      ASSERT_TRUE(Plant(Scratch(), L"", L"Value", typeNow, now));
    }

    std::vector<std::byte> memory(16, std::byte{0xCC});
    DWORD received = 99, type = REG_DWORD;
    // A buffer of no bytes has no address, which the registry takes as a
    // request for the size alone: a value with bytes still does not fit it.
    const std::span buffer(value.Size() != 0 ? memory.data() : nullptr, value.Size());
    EXPECT_EQ(value.Read(buffer, received, type), result);
    // The bytes and type received, where the case names them.
    EXPECT_EQ(read.value_or(std::pair(received, type)), std::pair(received, type));
    for (std::size_t i = value.Size(); i < memory.size(); ++i) {
      ASSERT_EQ(memory[i], std::byte{0xCC}) << "written past the buffer at " << i;
    }
  }

  // A failed open hands out nothing to close: the key held before stays.
  ASSERT_TRUE(Plant(Scratch(), L"Present", L"Value", REG_SZ, TextBytes(L"x"sv)));
  ScopedKey key;
  // The path as a view that does not end in a NUL.
  EXPECT_EQ(OpenRegKey(Scratch(), L"Present\\tail"sv.substr(0, 7), KEY_READ, key), ERROR_SUCCESS);
  EXPECT_EQ(OpenRegKey(Scratch(), L"Missing", KEY_READ, key), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegValue(key.Get(), L"Value").Found(), ERROR_SUCCESS);
}

// Only System32 is searched: the planted DLL beside this program is what an
// ordinary search finds, yet no system function comes from it. Wine has the
// search flags, so the fallback for a Windows without them is called here,
// and taken only where they are refused, not on any other failure.
TEST(SystemLibrary, FindsFunctionsInSystem32Only) {
  HMODULE planted = ::LoadLibraryW(L"planted_dll.dll");
  ASSERT_NE(planted, nullptr) << "the test DLL must lie beside the test program";
  ::FreeLibrary(planted);
  EXPECT_EQ(internal::LoadFromSystemFolder(L"planted_dll.dll"), nullptr);
  EXPECT_NE(::GetProcAddress(internal::LoadFromSystemFolder(L"shell32.dll"), "Shell_NotifyIconW"),
            nullptr);
  EXPECT_EQ((SystemFunction<int (*)(), L"planted_dll.dll", "PlantedMarker">::Get()), nullptr);
  EXPECT_TRUE(internal::LacksSearchFlags(nullptr, ERROR_INVALID_PARAMETER));
  EXPECT_FALSE(internal::LacksSearchFlags(nullptr, ERROR_MOD_NOT_FOUND));
  EXPECT_FALSE(internal::LacksSearchFlags(::GetModuleHandleW(nullptr), ERROR_INVALID_PARAMETER));
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
