// Starts Daymarker and the bare program in turn and reports, as key=value
// lines, the median time to a visible window, the memory each holds once its
// window is up, and (with the probe builds) each program's own start-up.
//   startup_bench --daymarker=EXE --bare=EXE [--daymarker-probe=EXE --bare-probe=EXE]
//                 [--runs=N] [--scratch=DIR]
#include <windows.h>
// psapi.h needs windows.h before it.
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "win/handles.h"

namespace {

using daymarker::ScopedKernelHandle;

constexpr DWORD kPollMs = 1;
constexpr ULONGLONG kVisibleTimeoutMs = 10'000;
constexpr DWORD kExitTimeoutMs = 10'000;
// Memory is read a moment after the window shows, once the first paint and
// the start of the timer are in, so both programs are caught in the same state.
constexpr DWORD kSettleMs = 250;

struct Child {
  ScopedKernelHandle process;
  ScopedKernelHandle thread;
  DWORD id = 0;
};

std::optional<Child> Launch(const std::wstring& exe, const std::wstring& arguments) {
  std::wstring commandLine = L"\"" + exe + L"\"";
  if (!arguments.empty()) {
    commandLine += L" " + arguments;
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  // CreateProcessW may write into the command line, so it gets a buffer of its own.
  if (!::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &info)) {
    return std::nullopt;
  }
  Child child;
  child.process.Reset(info.hProcess);
  child.thread.Reset(info.hThread);
  child.id = info.dwProcessId;
  return child;
}

struct WindowSearch {
  DWORD processId;
  HWND found;
};

BOOL CALLBACK CheckWindow(HWND window, LPARAM lParam) {
  auto* search = reinterpret_cast<WindowSearch*>(lParam);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(window, &owner);
  if (owner == search->processId && ::IsWindowVisible(window) &&
      ::GetWindow(window, GW_OWNER) == nullptr) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

HWND VisibleTopLevelWindow(DWORD processId) {
  WindowSearch search{processId, nullptr};
  ::EnumWindows(CheckWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Polls until the child shows a window; nothing when it exits first or takes too long.
HWND WaitForVisibleWindow(const Child& child) {
  const ULONGLONG deadline = ::GetTickCount64() + kVisibleTimeoutMs;
  while (::GetTickCount64() < deadline) {
    if (HWND window = VisibleTopLevelWindow(child.id)) {
      return window;
    }
    if (::WaitForSingleObject(child.process.Get(), kPollMs) == WAIT_OBJECT_0) {
      return nullptr;
    }
  }
  return nullptr;
}

bool CloseAndWait(const Child& child, HWND window) {
  ::PostMessageW(window, WM_CLOSE, 0, 0);
  if (::WaitForSingleObject(child.process.Get(), kExitTimeoutMs) == WAIT_OBJECT_0) {
    return true;
  }
  ::TerminateProcess(child.process.Get(), 1);
  ::WaitForSingleObject(child.process.Get(), kExitTimeoutMs);
  return false;
}

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
  LARGE_INTEGER frequency;
  ::QueryPerformanceFrequency(&frequency);
  return static_cast<double>(to.QuadPart - from.QuadPart) * 1000.0 /
         static_cast<double>(frequency.QuadPart);
}

struct RunResult {
  double startMs = 0;
  double privateKib = 0;
  double pagefileKib = 0;
  double workingSetKib = 0;
};

std::optional<RunResult> RunOnce(const std::wstring& exe, const std::wstring& arguments) {
  LARGE_INTEGER before;
  ::QueryPerformanceCounter(&before);
  std::optional<Child> child = Launch(exe, arguments);
  if (!child) {
    std::fprintf(stderr, "could not start %ls (error %lu)\n", exe.c_str(), ::GetLastError());
    return std::nullopt;
  }
  HWND window = WaitForVisibleWindow(*child);
  LARGE_INTEGER shown;
  ::QueryPerformanceCounter(&shown);
  if (window == nullptr) {
    std::fprintf(stderr, "%ls showed no window\n", exe.c_str());
    ::TerminateProcess(child->process.Get(), 1);
    return std::nullopt;
  }
  RunResult result;
  result.startMs = Milliseconds(before, shown);

  ::Sleep(kSettleMs);
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof(counters);
  if (::GetProcessMemoryInfo(child->process.Get(),
                             reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                             sizeof(counters))) {
    result.privateKib = static_cast<double>(counters.PrivateUsage) / 1024.0;
    result.pagefileKib = static_cast<double>(counters.PagefileUsage) / 1024.0;
    result.workingSetKib = static_cast<double>(counters.WorkingSetSize) / 1024.0;
  }
  if (!CloseAndWait(*child, window)) {
    std::fprintf(stderr, "%ls did not exit on WM_CLOSE\n", exe.c_str());
    return std::nullopt;
  }
  return result;
}

double Median(std::vector<double> values) {
  if (values.empty()) {
    return 0;
  }
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

std::optional<double> ReadProbeFile(const std::wstring& path) {
  HANDLE opened = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
  if (opened == INVALID_HANDLE_VALUE) {
    return std::nullopt;
  }
  const ScopedKernelHandle file(opened);
  char text[64] = {};
  DWORD read = 0;
  if (!::ReadFile(file.Get(), text, sizeof(text) - 1, &read, nullptr) || read == 0) {
    return std::nullopt;
  }
  return std::strtod(text, nullptr);
}

struct Program {
  const char* name;
  std::wstring exe;
  std::vector<double> startMs;
  std::vector<double> privateKib;
  std::vector<double> pagefileKib;
  std::vector<double> workingSetKib;
  std::vector<double> probeMs;
};

void PrintSeries(const char* program, const char* what, const std::vector<double>& values) {
  std::printf("%s_%s_median=%.3f\n", program, what, Median(values));
  if (!values.empty()) {
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    std::printf("%s_%s_min=%.3f\n%s_%s_max=%.3f\n", program, what, *low, program, what, *high);
  }
}

std::wstring Option(int argc, wchar_t** argv, std::wstring_view name) {
  for (int i = 1; i < argc; ++i) {
    const std::wstring_view argument = argv[i];
    if (argument.size() > name.size() && argument.substr(0, name.size()) == name &&
        argument[name.size()] == L'=') {
      return std::wstring(argument.substr(name.size() + 1));
    }
  }
  return {};
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  Program daymarker{"daymarker", Option(argc, argv, L"--daymarker"), {}, {}, {}, {}, {}};
  Program bare{"bare", Option(argc, argv, L"--bare"), {}, {}, {}, {}, {}};
  const std::wstring daymarkerProbe = Option(argc, argv, L"--daymarker-probe");
  const std::wstring bareProbe = Option(argc, argv, L"--bare-probe");
  std::wstring scratch = Option(argc, argv, L"--scratch");
  const std::wstring runsText = Option(argc, argv, L"--runs");
  const int runs = runsText.empty() ? 20 : std::max(1, _wtoi(runsText.c_str()));
  if (daymarker.exe.empty() || bare.exe.empty()) {
    std::fprintf(stderr,
                 "usage: startup_bench --daymarker=EXE --bare=EXE "
                 "[--daymarker-probe=EXE --bare-probe=EXE] [--runs=N] [--scratch=DIR]\n");
    return 2;
  }
  if (scratch.empty()) {
    wchar_t temp[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH + 1, temp);
    scratch = temp;
  }
  if (scratch.back() != L'\\') {
    scratch += L'\\';
  }

  // One unmeasured start each, so neither pays alone for a cold file cache
  // or for a first run that finds no saved settings.
  if (!RunOnce(daymarker.exe, L"") || !RunOnce(bare.exe, L"")) {
    return 1;
  }
  int failures = 0;
  for (int run = 0; run < runs; ++run) {
    for (Program* program : {&daymarker, &bare}) {
      if (std::optional<RunResult> result = RunOnce(program->exe, L"")) {
        program->startMs.push_back(result->startMs);
        program->privateKib.push_back(result->privateKib);
        program->pagefileKib.push_back(result->pagefileKib);
        program->workingSetKib.push_back(result->workingSetKib);
      } else {
        ++failures;
      }
    }
  }

  const bool probing = !daymarkerProbe.empty() && !bareProbe.empty();
  if (probing) {
    const std::wstring probePath =
        scratch + L"startup-probe-" + std::to_wstring(::GetCurrentProcessId()) + L".txt";
    const std::wstring probeArgument = L"--startup-probe=\"" + probePath + L"\"";
    for (int run = 0; run < runs + 1; ++run) {
      const std::pair<Program*, const std::wstring*> order[] = {{&daymarker, &daymarkerProbe},
                                                                {&bare, &bareProbe}};
      for (const auto& [program, exe] : order) {
        ::DeleteFileW(probePath.c_str());
        std::optional<double> ms;
        if (RunOnce(*exe, probeArgument)) {
          ms = ReadProbeFile(probePath);
        }
        if (!ms) {
          ++failures;
        } else if (run > 0) {  // the first round warms up, as above
          program->probeMs.push_back(*ms);
        }
      }
    }
    ::DeleteFileW(probePath.c_str());
  }

  std::printf("runs=%d\nfailures=%d\n", runs, failures);
  for (const Program* program : {&daymarker, &bare}) {
    PrintSeries(program->name, "start_ms", program->startMs);
    PrintSeries(program->name, "private_kib", program->privateKib);
    PrintSeries(program->name, "pagefile_kib", program->pagefileKib);
    PrintSeries(program->name, "working_set_kib", program->workingSetKib);
    if (probing) {
      PrintSeries(program->name, "probe_ms", program->probeMs);
    }
  }
  return failures == 0 ? 0 : 1;
}
