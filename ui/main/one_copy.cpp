#include "ui/main/one_copy.h"

#include <sddl.h>

#include <array>
#include <string>

#include "ui/main/main_window_layout.h"

namespace daymarker {
namespace internal {

// The user a process runs as, as a SID ("S-1-5-21-..."); empty where it cannot be read.
std::wstring ProcessUser(HANDLE process) {
  HANDLE token = nullptr;
  if (!::OpenProcessToken(process, TOKEN_QUERY, &token)) {
    return {};
  }
  const ScopedKernelHandle owned(token);
  alignas(TOKEN_USER) std::array<BYTE, sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE> buffer{};
  DWORD size = 0;
  LPWSTR text = nullptr;
  if (!::GetTokenInformation(token, TokenUser, buffer.data(), static_cast<DWORD>(buffer.size()),
                             &size) ||
      !::ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text)) {
    return {};
  }
  std::wstring user(text);
  ::LocalFree(text);
  return user;
}

}  // namespace internal

namespace {

using internal::ProcessUser;

// How long a second start waits for a copy that is starting (it holds the
// claim before its window exists) or ending (it lets go once saved).
constexpr int kTries = 200;
constexpr DWORD kTryInterval = 50;  // ms

std::wstring ProcessUser(DWORD id) {
  // Limited query rights reach an elevated copy of the same user too.
  const ScopedKernelHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
  return process ? ProcessUser(process.Get()) : std::wstring();
}

// Asks the user's running copy on this desktop to show its window; false
// where it has none yet, or none any more.
bool ShowRunningCopy(const std::wstring& user) {
  // Another user's copy (started with "Run as") can share the desktop.
  for (HWND window = nullptr;
       (window = ::FindWindowExW(nullptr, window, main_layout::kFrame.className, nullptr)) !=
       nullptr;) {
    DWORD id = 0;
    ::GetWindowThreadProcessId(window, &id);
    if (ProcessUser(id) != user) {
      continue;
    }
    // Only the process the user just started may bring a window to the front.
    ::AllowSetForegroundWindow(id);
    return ::PostMessageW(window, SecondStartMessage(), 0, 0) != FALSE;
  }
  return false;
}

}  // namespace

std::optional<ScopedKernelHandle> ClaimOneCopy() {
  const std::wstring user = ProcessUser(::GetCurrentProcess());
  // Local: each session of the user has its own copy.
  const std::wstring name = L"Local\\Tolvane.Daymarker." + user;
  for (int i = 0; i < kTries; ++i) {
    ::SetLastError(ERROR_SUCCESS);
    ScopedKernelHandle claim(::CreateMutexW(nullptr, FALSE, name.c_str()));
    const DWORD error = ::GetLastError();
    if (claim && error != ERROR_ALREADY_EXISTS) {
      return claim;
    }
    // An elevated copy's claim is closed to the same user's others: it runs all the same.
    if (!claim && error != ERROR_ACCESS_DENIED) {
      return ScopedKernelHandle();
    }
    claim.Reset();  // held open, it would keep the name alive past the other copy's end
    if (ShowRunningCopy(user)) {
      return std::nullopt;
    }
    ::Sleep(kTryInterval);
  }
  // A copy that holds the claim and never shows a window is stuck; a second
  // one beside it would still undo its edits at the end.
  return std::nullopt;
}

UINT SecondStartMessage() {
  return ::RegisterWindowMessageW(L"Tolvane.Daymarker.SecondStart");
}

}  // namespace daymarker
