#include "ui/about/sysinfo.h"

#include <array>
#include <span>
#include <utility>

#include "core/terminated_text.h"
#include "core/version.h"
#include "win/handles.h"
#include "win/registry_value.h"

namespace daymarker {
namespace {

constexpr const wchar_t* kMsinfoKey = L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr const wchar_t* kMsinfoValue = L"PATH";
constexpr const wchar_t* kLocationKey = L"SOFTWARE\\Microsoft\\Shared Tools Location";
constexpr const wchar_t* kLocationValue = L"MSINFO";
constexpr std::wstring_view kProgramFile = L"\\MSINFO32.EXE";
constexpr const wchar_t* kUnavailable = L"System Information Is Unavailable At This Time";

constexpr DWORD kValueBufferBytes = 1024;
constexpr DWORD kUnlistedAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY;

// Keeps "insert a disk" and similar system dialogs from interrupting the search
// of a removable or unready drive: such a path is simply not found.
class CriticalErrorsSilenced {
 public:
  CriticalErrorsSilenced() { ::SetThreadErrorMode(SEM_FAILCRITICALERRORS, &previous_); }
  ~CriticalErrorsSilenced() { ::SetThreadErrorMode(previous_, nullptr); }
  CriticalErrorsSilenced(const CriticalErrorsSilenced&) = delete;
  CriticalErrorsSilenced& operator=(const CriticalErrorsSilenced&) = delete;

 private:
  DWORD previous_ = 0;
};

// True when the directory holds path as a file that a plain listing shows.
bool IsListedFile(const std::wstring& path) {
  WIN32_FIND_DATAW entry{};
  const HANDLE found = ::FindFirstFileW(path.c_str(), &entry);
  if (found == INVALID_HANDLE_VALUE) {
    return false;
  }
  const ScopedFind search(found);
  do {
    if ((entry.dwFileAttributes & kUnlistedAttributes) == 0) {
      return true;
    }
  } while (::FindNextFileW(search.Get(), &entry));
  return false;
}

bool StartTool(const std::wstring& path) {
  if (path.empty()) {
    return false;  // CreateProcessW would refuse it too
  }
  // The application name is what runs; the quoted copy only gives the program a
  // first argument that survives spaces in the path.
  std::wstring commandLine = L"\"" + path + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
    return false;
  }
  const ScopedKernelHandle processHandle(process.hProcess);
  const ScopedKernelHandle threadHandle(process.hThread);
  return true;
}

// Only the folder of the second location is searched; a path found at the
// first is started as it is, and when that fails the second is not tried.
bool FindAndStartSysInfo() {
  const CriticalErrorsSilenced silenced;
  std::wstring path;
  if (!GetKeyValue(HKEY_LOCAL_MACHINE, kMsinfoKey, kMsinfoValue, path)) {
    if (!GetKeyValue(HKEY_LOCAL_MACHINE, kLocationKey, kLocationValue, path)) {
      return false;
    }
    CutAtNul(path);
    path += kProgramFile;
    if (!IsListedFile(path)) {
      return false;
    }
  }
  CutAtNul(path);
  return StartTool(path);
}

}  // namespace

bool GetKeyValue(HKEY KeyRoot, std::wstring_view KeyName, std::wstring_view SubKeyRef,
                 std::wstring& KeyVal) {
  std::array<wchar_t, kValueBufferBytes / sizeof(wchar_t)> buffer{};
  DWORD size = 0;
  DWORD type = REG_NONE;
  ScopedKey key;
  if (OpenRegKey(KeyRoot, KeyName, KEY_READ, key) != ERROR_SUCCESS) {
    KeyVal.clear();
    return false;
  }
  // A missing value, or one longer than the buffer, fails the read.
  const RegValue value(key.Get(), SubKeyRef);
  if (value.Read(std::as_writable_bytes(std::span(buffer)), size, type) != ERROR_SUCCESS) {
    KeyVal.clear();
    return false;
  }

  if (type == REG_SZ) {
    std::size_t count = size / sizeof(wchar_t);  // an odd last byte is no character
    if (count > 0 && buffer[count - 1] == L'\0') {
      --count;
    }
    KeyVal.assign(buffer.data(), count);
  } else if (type == REG_DWORD) {
    // Read as the bytes it is stored as, so a hand-made value of another size
    // shows what it holds; a zero top byte goes the way of a text's terminator.
    const auto* bytes = reinterpret_cast<const BYTE*>(buffer.data());
    std::size_t count = size;
    if (count > 0 && bytes[count - 1] == 0) {
      --count;
    }
    constexpr std::wstring_view kHexDigits = L"0123456789ABCDEF";
    std::wstring text = L"&h";
    for (std::size_t i = count; i > 0; --i) {
      text += kHexDigits[bytes[i - 1] >> 4];
      text += kHexDigits[bytes[i - 1] & 0x0F];
    }
    KeyVal = std::move(text);
  }
  return true;
}

void StartSysInfo(HWND owner) {
  if (!FindAndStartSysInfo()) {
    const std::wstring caption(kAppTitle);
    ::MessageBoxW(owner, kUnavailable, caption.c_str(), MB_OK);
  }
}

}  // namespace daymarker
