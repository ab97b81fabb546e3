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

// How runtime_errors_probe.exe, found beside this program, ended when asked for argument.
DWORD RunProbe(const std::wstring& argument) {
  return testing::ExitCodeOf(testing::BesideThisProgram(L"runtime_errors_probe.exe"), argument);
}

TEST(RuntimeErrors, ARequestTheRuntimeCannotMeetEndsTheProgram) {
  EXPECT_EQ(RunProbe(L""), 0u) << "asked for nothing, it frees what it took";
  // Memory no allocator has (a container asks operator new alike); a string
  // longer than any can be; a character past a string's end.
  for (const wchar_t* how : {L"new", L"length", L"index"}) {
    EXPECT_EQ(RunProbe(how), 3u) << "not abort's exit code: " << ::testing::PrintToString(how);
  }
}

}  // namespace
}  // namespace daymarker
