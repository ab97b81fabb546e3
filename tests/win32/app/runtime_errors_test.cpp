// The program replaces the C++ runtime's error paths (app/runtime_errors.cpp):
// a request the runtime cannot meet must end the program at once, through
// abort, and never come back to the code that asked.
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <optional>
#include <string>

#include "win/handles.h"

namespace daymarker {
namespace {

struct Ended {
  DWORD exitCode;
  std::string output;  // standard output and error together
};

// Runs runtime_errors_probe.exe, found beside this program, with argument;
// nothing when it has not ended within 30 seconds.
std::optional<Ended> RunProbe(const std::wstring& argument) {
  std::array<wchar_t, MAX_PATH * 2> self{};
  ::GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size()));
  const std::wstring probe =
      std::filesystem::path(self.data()).replace_filename(L"runtime_errors_probe.exe").wstring();

  SECURITY_ATTRIBUTES inherited{sizeof(inherited), nullptr, TRUE};
  HANDLE readEnd = nullptr;
  HANDLE writeEnd = nullptr;
  if (!::CreatePipe(&readEnd, &writeEnd, &inherited, 0)) {
    return std::nullopt;
  }
  const ScopedKernelHandle reader(readEnd);
  ScopedKernelHandle writer(writeEnd);
  ::SetHandleInformation(reader.Get(), HANDLE_FLAG_INHERIT, 0);

  std::wstring commandLine = L"\"" + probe + L"\" " + argument;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = nullptr;
  startup.hStdOutput = writer.Get();
  startup.hStdError = writer.Get();
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(probe.c_str(), commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                        nullptr, nullptr, &startup, &process)) {
    return std::nullopt;
  }
  const ScopedKernelHandle processHandle(process.hProcess);
  const ScopedKernelHandle threadHandle(process.hThread);
  writer.Reset();  // the pipe ends when the probe's copies of it close

  if (::WaitForSingleObject(processHandle.Get(), 30'000) != WAIT_OBJECT_0) {
    ::TerminateProcess(processHandle.Get(), 1);
    return std::nullopt;
  }
  Ended ended{};
  ::GetExitCodeProcess(processHandle.Get(), &ended.exitCode);
  std::array<char, 4096> chunk{};
  DWORD read = 0;
  while (::ReadFile(reader.Get(), chunk.data(), static_cast<DWORD>(chunk.size()), &read, nullptr) &&
         read > 0) {
    ended.output.append(chunk.data(), read);
  }
  return ended;
}

TEST(RuntimeErrors, ARequestTheRuntimeCannotMeetEndsTheProgram) {
  // Without a request the probe runs to its end, so the cases below can fail.
  const std::optional<Ended> normal = RunProbe(L"");
  ASSERT_TRUE(normal);
  EXPECT_EQ(normal->exitCode, 0u);
  EXPECT_EQ(normal->output, "still running\r\n");  // a console text stream

  // Memory no allocator has, directly and through a container; a string
  // longer than any can be; a character past a string's end.
  for (const wchar_t* how : {L"new", L"vector", L"length", L"index"}) {
    SCOPED_TRACE(::testing::PrintToString(std::wstring(how)));
    const std::optional<Ended> ended = RunProbe(how);
    ASSERT_TRUE(ended) << "still running after 30 seconds";
    EXPECT_EQ(ended->exitCode, 3u) << "abort's exit code";
    EXPECT_EQ(ended->output.find("still running"), std::string::npos) << ended->output;
    // The runtime's own path throws, and its terminate handler names what.
    EXPECT_EQ(ended->output.find("terminate called"), std::string::npos) << ended->output;
  }
}

}  // namespace
}  // namespace daymarker
