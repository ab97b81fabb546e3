// Starts each program in turn, runs+1 times (the first round unmeasured), and
// prints as key=value lines the median time from CreateProcess to a visible
// window, the private bytes once the window is up and, for the probe builds,
// the program's own start-up as the probe wrote it.
//   startup_bench [--runs=N] NAME=EXE...
#include <windows.h>
// psapi.h needs windows.h before it.
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "win/handles.h"

namespace {

using daymarker::ScopedKernelHandle;

constexpr ULONGLONG kVisibleTimeoutMs = 10'000;
constexpr DWORD kExitTimeoutMs = 10'000;
// Memory is read once the first paint and the first timer tick are in, so
// every program is caught in the same state.
constexpr DWORD kSettleMs = 250;

struct Program {
  std::string name;
  std::wstring exe;
  std::vector<double> startMs;
  std::vector<double> privateKib;
  std::vector<double> probeMs;
};

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

double Now() {
  LARGE_INTEGER now;
  LARGE_INTEGER frequency;
  ::QueryPerformanceCounter(&now);
  ::QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double ReadProbeFile(const std::wstring& path) {
  HANDLE opened = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
  if (opened == INVALID_HANDLE_VALUE) {
    return -1;
  }
  const ScopedKernelHandle file(opened);
  char text[64] = {};
  DWORD read = 0;
  return ::ReadFile(file.Get(), text, sizeof(text) - 1, &read, nullptr) && read > 0
             ? std::strtod(text, nullptr)
             : -1;
}

// One start, polled every millisecond until a visible top-level window shows,
// then closed with WM_CLOSE. False when any step fails.
bool RunOnce(Program& program, const std::wstring& probePath, bool record) {
  std::wstring commandLine = L"\"" + program.exe + L"\" --startup-probe=\"" + probePath + L"\"";
  ::DeleteFileW(probePath.c_str());
  STARTUPINFOW startup{sizeof(startup)};
  PROCESS_INFORMATION info{};
  const double before = Now();
  if (!::CreateProcessW(program.exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                        nullptr, nullptr, &startup, &info)) {
    std::fprintf(stderr, "could not start %ls (error %lu)\n", program.exe.c_str(),
                 ::GetLastError());
    return false;
  }
  const ScopedKernelHandle process(info.hProcess);
  const ScopedKernelHandle thread(info.hThread);
  WindowSearch search{info.dwProcessId, nullptr};
  const ULONGLONG deadline = ::GetTickCount64() + kVisibleTimeoutMs;
  while (search.found == nullptr && ::GetTickCount64() < deadline &&
         ::WaitForSingleObject(process.Get(), 0) == WAIT_TIMEOUT) {
    ::EnumWindows(CheckWindow, reinterpret_cast<LPARAM>(&search));
    if (search.found == nullptr) {
      ::Sleep(1);
    }
  }
  const double shown = Now();
  if (search.found == nullptr) {
    std::fprintf(stderr, "%ls showed no window\n", program.exe.c_str());
    ::TerminateProcess(process.Get(), 1);
    return false;
  }
  ::Sleep(kSettleMs);
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof(counters);
  ::GetProcessMemoryInfo(process.Get(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                         sizeof(counters));
  ::PostMessageW(search.found, WM_CLOSE, 0, 0);
  if (::WaitForSingleObject(process.Get(), kExitTimeoutMs) != WAIT_OBJECT_0) {
    std::fprintf(stderr, "%ls did not exit on WM_CLOSE\n", program.exe.c_str());
    ::TerminateProcess(process.Get(), 1);
    return false;
  }
  if (record) {
    program.startMs.push_back(shown - before);
    // Wine leaves PrivateUsage at 0 for another process; PagefileUsage is the
    // same commit charge (on Windows the two are equal).
    const SIZE_T privateBytes =
        counters.PrivateUsage != 0 ? counters.PrivateUsage : counters.PagefileUsage;
    program.privateKib.push_back(static_cast<double>(privateBytes) / 1024.0);
    if (const double probe = ReadProbeFile(probePath); probe >= 0) {
      program.probeMs.push_back(probe);
    }
  }
  return true;
}

// The median, and the fastest, which shows the cost with the least
// interference from other work on the machine.
void PrintSeries(const std::string& name, const char* what, std::vector<double> values) {
  if (values.empty()) {
    return;
  }
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  const double median =
      values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
  std::printf("%s_%s=%.3f\n%s_%s_min=%.3f\n", name.c_str(), what, median, name.c_str(), what,
              values.front());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  int runs = 20;
  std::vector<Program> programs;
  for (int i = 1; i < argc; ++i) {
    const std::wstring argument = argv[i];
    const std::size_t equals = argument.find(L'=');
    if (argument.rfind(L"--runs=", 0) == 0) {
      runs = std::max(1, _wtoi(argument.c_str() + 7));
    } else if (equals != std::wstring::npos && equals > 0) {
      programs.push_back({std::string(argument.begin(), argument.begin() + equals),
                          argument.substr(equals + 1),
                          {},
                          {},
                          {}});
    }
  }
  if (programs.empty()) {
    std::fprintf(stderr, "usage: startup_bench [--runs=N] NAME=EXE...\n");
    return 2;
  }
  wchar_t temp[MAX_PATH + 1] = {};
  ::GetTempPathW(MAX_PATH + 1, temp);
  const std::wstring probePath =
      std::wstring(temp) + L"startup-probe-" + std::to_wstring(::GetCurrentProcessId()) + L".txt";

  // The programs take turns, so a change in the machine's load falls on all
  // of them alike; the first round warms the file cache and the settings.
  int failures = 0;
  for (int run = 0; run <= runs; ++run) {
    for (Program& program : programs) {
      failures += RunOnce(program, probePath, run > 0) ? 0 : 1;
    }
  }
  ::DeleteFileW(probePath.c_str());

  std::printf("runs=%d\nfailures=%d\n", runs, failures);
  for (const Program& program : programs) {
    PrintSeries(program.name, "start_ms", program.startMs);
    PrintSeries(program.name, "private_kib", program.privateKib);
    PrintSeries(program.name, "probe_ms", program.probeMs);
  }
  return failures == 0 ? 0 : 1;
}
