// The program replaces the C++ runtime's error paths (app/runtime_errors.cpp):
// a request the runtime cannot meet must end the program at once through
// abort, never come back to the code that asked, nor reach the runtime's own
// terminate handler.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/win32/support/window_support.h"

namespace daymarker {
namespace {

// How runtime_errors_probe.exe, found beside this program, ends when asked for
// nothing (it frees what it took: 0), and for memory no allocator has (a
// container asks operator new alike), a string longer than any can be, or a
// character past a string's end: abort's exit code, 3.
TEST(RuntimeErrors, ARequestTheRuntimeCannotMeetEndsTheProgram) {
  const std::wstring probe = testing::BesideThisProgram(L"runtime_errors_probe.exe");
  for (const wchar_t* how : {L"", L"new", L"length", L"index"}) {
    EXPECT_EQ(testing::ExitCodeOf(probe, how), *how != 0 ? 3u : 0u)
        << ::testing::PrintToString(how);
  }
}

}  // namespace
}  // namespace daymarker
