// Start-up probe shared by the probe builds of Daymarker and of the bare
// programs: the time from entering wWinMain to the end of the first paint,
// written in milliseconds to the file named by --startup-probe=PATH.
// It uses no std::string, so the bare program's probe build pulls in no more
// of the C++ library than the bare program itself.
#pragma once

#include <windows.h>

#include <iterator>
#include <string_view>

#include "win/handles.h"

namespace daymarker::startup_probe {

inline LARGE_INTEGER Now() {
  LARGE_INTEGER now;
  ::QueryPerformanceCounter(&now);
  return now;
}

// The PATH of --startup-probe=PATH or --startup-probe="PATH" in a command line.
// Only calls that cannot throw, so no exception machinery is linked in either.
inline std::wstring_view PathFromCommandLine(std::wstring_view commandLine) {
  constexpr std::wstring_view kFlag = L"--startup-probe=";
  const std::size_t at = commandLine.find(kFlag);
  if (at == std::wstring_view::npos) {
    return {};
  }
  std::wstring_view rest = commandLine;
  rest.remove_prefix(at + kFlag.size());
  wchar_t end = L' ';
  if (!rest.empty() && rest.front() == L'"') {
    rest.remove_prefix(1);
    end = L'"';
  }
  const std::size_t stop = rest.find(end);
  return {rest.data(), stop == std::wstring_view::npos ? rest.size() : stop};
}

// Adds text at the end of the file named by the flag; nothing happens without it.
inline void Append(const char* text, int length) {
  const std::wstring_view found = PathFromCommandLine(::GetCommandLineW());
  wchar_t path[MAX_PATH * 4];
  if (found.empty() || found.size() >= std::size(path)) {
    return;
  }
  for (std::size_t i = 0; i < found.size(); ++i) {
    path[i] = found[i];
  }
  path[found.size()] = L'\0';
  HANDLE opened = ::CreateFileW(path, FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
  if (opened == INVALID_HANDLE_VALUE) {
    return;
  }
  const ScopedKernelHandle file(opened);
  DWORD written = 0;
  ::WriteFile(file.Get(), text, static_cast<DWORD>(length), &written, nullptr);
}

// Writes the milliseconds since start as the file's first line.
inline void Finish(const LARGE_INTEGER& start) {
  const LARGE_INTEGER end = Now();
  LARGE_INTEGER frequency;
  ::QueryPerformanceFrequency(&frequency);
  const auto microseconds =
      static_cast<unsigned long>((end.QuadPart - start.QuadPart) * 1'000'000 / frequency.QuadPart);
  char text[32];
  Append(text, ::wsprintfA(text, "%lu.%03lu\n", microseconds / 1000, microseconds % 1000));
}

}  // namespace daymarker::startup_probe
