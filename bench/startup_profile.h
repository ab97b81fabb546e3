// Build-only start-up profile: the executable's own import slots for the
// system functions below are pointed at wrappers that count each call and
// its self time: its own, less that of the timed calls made inside it (such
// as the controls a frame creates in its WM_CREATE). Report appends one line
// per record, "name calls self_us", to the probe file.
#pragma once

#include <windows.h>
// commctrl.h needs windows.h before it.
#include <commctrl.h>

#include <iterator>

#include "bench/startup_probe.h"

namespace daymarker::startup_profile {

struct Record {
  char name[64];
  long calls;
  LONGLONG self;
};

inline Record g_records[128];
inline void* g_originals[32];
constexpr int kMaxDepth = 64;
inline LONGLONG g_nested[kMaxDepth + 2];  // time in timed calls, by depth
inline int g_depth = 0;

inline void Add(const char* name, LONGLONG self) {
  for (Record& record : g_records) {
    if (record.calls == 0) {
      ::lstrcpynA(record.name, name, static_cast<int>(std::size(record.name)));
    } else if (::lstrcmpA(record.name, name) != 0) {
      continue;
    }
    ++record.calls;
    record.self += self;
    return;
  }
}

template <typename First, typename Second, typename... Rest>
Second SecondOf(First, Second second, Rest...) {
  return second;
}

constexpr int kCreateWindow = 2;
constexpr int kSendMessage = 7;

template <int N, typename Function>
struct Hook;

template <int N, typename Result, typename... Arguments>
struct Hook<N, Result(WINAPI*)(Arguments...)> {
  static inline const char* name;
  static Result WINAPI Call(Arguments... arguments) {
    const int depth = g_depth < kMaxDepth ? g_depth++ : g_depth;
    g_nested[depth + 1] = 0;
    const LARGE_INTEGER start = startup_probe::Now();
    const Result result =
        reinterpret_cast<Result(WINAPI*)(Arguments...)>(g_originals[N])(arguments...);
    const LONGLONG spent = startup_probe::Now().QuadPart - start.QuadPart;
    g_depth = depth;
    g_nested[depth] += spent;
    // Windows created are told apart by class, messages sent by number.
    char record[64];
    ::lstrcpynA(record, name, static_cast<int>(std::size(record)));
    if constexpr (N == kCreateWindow) {
      if (const wchar_t* className = SecondOf(arguments...);
          reinterpret_cast<ULONG_PTR>(className) > 0xFFFF) {
        ::wsprintfA(record, "%s:%ls", name, className);
      }
    } else if constexpr (N == kSendMessage) {
      ::wsprintfA(record, "%s:0x%04x", name, SecondOf(arguments...));
    }
    Add(record, spent - g_nested[depth + 1]);
    return result;
  }
};

struct Timed {
  const char* name;
  void* hook;
};

template <int N, typename Function>
Timed Time(const char* name) {
  Hook<N, Function>::name = name;
  return {name, reinterpret_cast<void*>(&Hook<N, Function>::Call)};
}

#define DAYMARKER_TIMED(index, function) Time<index, decltype(&::function)>(#function)

// Points this executable's import slots of the functions below at their wrappers.
inline void Install() {
  const Timed timed[] = {
      DAYMARKER_TIMED(0, InitCommonControlsEx),
      DAYMARKER_TIMED(1, RegisterClassExW),
      DAYMARKER_TIMED(kCreateWindow, CreateWindowExW),
      DAYMARKER_TIMED(3, CreateMenu),
      DAYMARKER_TIMED(4, LoadImageW),
      DAYMARKER_TIMED(5, LoadAcceleratorsW),
      DAYMARKER_TIMED(6, CreateFontIndirectW),
      DAYMARKER_TIMED(kSendMessage, SendMessageW),
      DAYMARKER_TIMED(8, SetWindowTextW),
      DAYMARKER_TIMED(9, ShowWindow),
      DAYMARKER_TIMED(10, UpdateWindow),
      DAYMARKER_TIMED(11, SetFocus),
      DAYMARKER_TIMED(12, SetWindowPos),
      DAYMARKER_TIMED(13, RegOpenKeyExW),
      DAYMARKER_TIMED(14, RegQueryValueExW),
      DAYMARKER_TIMED(15, LoadLibraryExW),
      DAYMARKER_TIMED(16, GetProcAddress),
      DAYMARKER_TIMED(17, SystemTimeToTzSpecificLocalTime),
      DAYMARKER_TIMED(18, TzSpecificLocalTimeToSystemTime),
      DAYMARKER_TIMED(19, SetTimer),
      DAYMARKER_TIMED(20, GetDC),
      DAYMARKER_TIMED(21, CreatePopupMenu),
      DAYMARKER_TIMED(22, AppendMenuW),
      DAYMARKER_TIMED(23, SetWindowSubclass),
      DAYMARKER_TIMED(24, EnableWindow),
      DAYMARKER_TIMED(25, RegisterWindowMessageW),
      DAYMARKER_TIMED(26, GetWindowTextW),
      DAYMARKER_TIMED(27, MonitorFromRect),
      DAYMARKER_TIMED(28, SetDllDirectoryW),
  };
  auto* base = reinterpret_cast<BYTE*>(::GetModuleHandleW(nullptr));
  const auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(
      base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports =
      headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  for (auto* dll = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
       dll->Name != 0; ++dll) {
    const auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + dll->OriginalFirstThunk);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->FirstThunk);
    for (; names->u1.AddressOfData != 0; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) {
        continue;
      }
      const char* name =
          reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData)->Name;
      for (int i = 0; i < static_cast<int>(std::size(timed)); ++i) {
        if (::lstrcmpA(name, timed[i].name) != 0) {
          continue;
        }
        DWORD protection = 0;
        ::VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), PAGE_READWRITE,
                         &protection);
        g_originals[i] = reinterpret_cast<void*>(slots->u1.Function);
        slots->u1.Function = reinterpret_cast<ULONG_PTR>(timed[i].hook);
        ::VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), protection, &protection);
      }
    }
  }
}

#undef DAYMARKER_TIMED

inline void Report() {
  LARGE_INTEGER frequency;
  ::QueryPerformanceFrequency(&frequency);
  const auto microseconds = [&](LONGLONG ticks) {
    return static_cast<unsigned long>(ticks * 1'000'000 / frequency.QuadPart);
  };
  for (const Record& record : g_records) {
    if (record.calls > 0) {
      char line[128];
      startup_probe::Append(line, ::wsprintfA(line, "%s %ld %lu\n", record.name, record.calls,
                                              microseconds(record.self)));
    }
  }
}

}  // namespace daymarker::startup_profile
