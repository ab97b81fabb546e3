#include "about_test_support.h"

#include <commctrl.h>

#include <cstring>
#include <iterator>

#include "ui/message_loop.h"

namespace daymarker::about_testing {

bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message != WM_QUIT && !PreTranslateWindowMessage(message)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
      }
    }
    if (done()) {
      return true;
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      return false;
    }
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

void PumpFor(std::chrono::milliseconds duration) {
  PumpUntil([] { return false; }, duration);
}

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
  const int copied = ::GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
  text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
  return text;
}

std::wstring ClassName(HWND window) {
  wchar_t name[64] = {};
  const int length = ::GetClassNameW(window, name, static_cast<int>(std::size(name)));
  return std::wstring(name, static_cast<std::size_t>(length > 0 ? length : 0));
}

namespace {

BOOL CALLBACK FindBox(HWND window, LPARAM param) {
  DWORD process = 0;
  ::GetWindowThreadProcessId(window, &process);
  if (process == ::GetCurrentProcessId() && ClassName(window) == L"#32770" &&
      WindowText(window) == L"Daymarker" && ::IsWindowVisible(window)) {
    *reinterpret_cast<HWND*>(param) = window;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK ReadBoxChild(HWND child, LPARAM param) {
  auto& box = *reinterpret_cast<SeenBox*>(param);
  const std::wstring kind = ClassName(child);
  if (::_wcsicmp(kind.c_str(), L"Button") == 0 && ::IsWindowVisible(child)) {
    box.buttons.push_back(WindowText(child));
  } else if (::_wcsicmp(kind.c_str(), L"Static") == 0) {
    if (::SendMessageW(child, STM_GETICON, 0, 0) != 0) {
      box.hasIcon = true;
    } else if (std::wstring text = WindowText(child); !text.empty()) {
      box.text = std::move(text);
    }
  }
  return TRUE;
}

}  // namespace

MessageBoxWatcher::MessageBoxWatcher(std::chrono::milliseconds timeout)
    : thread_([this, timeout] {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (!stop_.load() && std::chrono::steady_clock::now() < deadline) {
          HWND found = nullptr;
          ::EnumWindows(FindBox, reinterpret_cast<LPARAM>(&found));
          if (found != nullptr) {
            SeenBox box;
            ::EnumChildWindows(found, ReadBoxChild, reinterpret_cast<LPARAM>(&box));
            box_ = std::move(box);
            seen_.store(true);
            ::PostMessageW(found, WM_COMMAND, IDOK, 0);
            return;
          }
          std::this_thread::sleep_for(20ms);
        }
      }) {}

std::optional<SeenBox> MessageBoxWatcher::Finish() {
  stop_.store(true);
  if (thread_.joinable()) {
    thread_.join();
  }
  return box_;
}

RawValue Text(DWORD type, const std::wstring& text, bool withTerminator) {
  RawValue value{type, std::vector<BYTE>((text.size() + (withTerminator ? 1 : 0)) * 2)};
  std::memcpy(value.bytes.data(), text.c_str(), value.bytes.size());
  return value;
}

RawValue Dword(DWORD number) {
  RawValue value{REG_DWORD, std::vector<BYTE>(sizeof(number))};
  std::memcpy(value.bytes.data(), &number, sizeof(number));
  return value;
}

bool WriteValue(HKEY root, const std::wstring& key, const std::wstring& name,
                const RawValue& value) {
  HKEY opened = nullptr;
  if (::RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &opened,
                        nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const LONG result = ::RegSetValueExW(opened, name.c_str(), 0, value.type,
                                       value.bytes.empty() ? nullptr : value.bytes.data(),
                                       static_cast<DWORD>(value.bytes.size()));
  ::RegCloseKey(opened);
  return result == ERROR_SUCCESS;
}

namespace {

constexpr const wchar_t* kGuardedKeys[] = {kMsinfoKey, kLocationKey};
constexpr wchar_t kSavedKeys[] = L"Software\\Tolvane\\DaymarkerAboutTestsSaved";

std::wstring SavedKey(std::size_t index) {
  return std::wstring(kSavedKeys) + L"\\" + std::to_wstring(index);
}

bool CopyTree(HKEY fromRoot, const std::wstring& from, HKEY toRoot, const std::wstring& to) {
  HKEY source = nullptr;
  HKEY target = nullptr;
  bool copied = false;
  if (::RegOpenKeyExW(fromRoot, from.c_str(), 0, KEY_READ, &source) == ERROR_SUCCESS) {
    if (::RegCreateKeyExW(toRoot, to.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &target,
                          nullptr) == ERROR_SUCCESS) {
      copied = ::RegCopyTreeW(source, nullptr, target) == ERROR_SUCCESS;
      ::RegCloseKey(target);
    }
    ::RegCloseKey(source);
  }
  return copied;
}

}  // namespace

MsinfoKeysGuard::MsinfoKeysGuard() {
  ::RegDeleteTreeW(HKEY_CURRENT_USER, kSavedKeys);
  for (std::size_t i = 0; i < std::size(kGuardedKeys); ++i) {
    existed_[i] = CopyTree(HKEY_LOCAL_MACHINE, kGuardedKeys[i], HKEY_CURRENT_USER, SavedKey(i));
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kGuardedKeys[i]);
  }
}

MsinfoKeysGuard::~MsinfoKeysGuard() {
  for (std::size_t i = 0; i < std::size(kGuardedKeys); ++i) {
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kGuardedKeys[i]);
    if (existed_[i]) {
      CopyTree(HKEY_CURRENT_USER, SavedKey(i), HKEY_LOCAL_MACHINE, kGuardedKeys[i]);
    }
  }
  ::RegDeleteTreeW(HKEY_CURRENT_USER, kSavedKeys);
}

namespace {

void RemoveTree(const std::wstring& path) {
  WIN32_FIND_DATAW entry{};
  const HANDLE search = ::FindFirstFileW((path + L"\\*").c_str(), &entry);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = entry.cFileName;
      const std::wstring child = path + L"\\" + name;
      if (name == L"." || name == L"..") {
        continue;
      }
      ::SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
      if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        RemoveTree(child);
      } else {
        ::DeleteFileW(child.c_str());
      }
    } while (::FindNextFileW(search, &entry));
    ::FindClose(search);
  }
  ::RemoveDirectoryW(path.c_str());
}

}  // namespace

ScratchFolder::ScratchFolder(const std::wstring& leaf) {
  wchar_t temp[MAX_PATH + 1] = {};
  const DWORD length = ::GetTempPathW(static_cast<DWORD>(std::size(temp)), temp);
  path_ = std::wstring(temp, length) + L"daymarker-about-" +
          std::to_wstring(::GetCurrentProcessId()) + L"-" + leaf;
  RemoveTree(path_);
  ::CreateDirectoryW(path_.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() {
  RemoveTree(path_);
}

std::wstring ProbeProgram() {
  wchar_t self[MAX_PATH * 4] = {};
  const DWORD length = ::GetModuleFileNameW(nullptr, self, static_cast<DWORD>(std::size(self)));
  const std::wstring path(self, length);
  return path.substr(0, path.find_last_of(L'\\') + 1) + L"sysinfo_probe.exe";
}

std::optional<ProbeReport> WaitForProbe(const std::wstring& program,
                                        std::chrono::milliseconds timeout) {
  const std::wstring marker = program + L".started";
  if (!PumpUntil(
          [&marker] { return ::GetFileAttributesW(marker.c_str()) != INVALID_FILE_ATTRIBUTES; },
          timeout)) {
    return std::nullopt;
  }
  // The probe renames a finished file into place, so what appears is complete.
  const HANDLE file = ::CreateFileW(marker.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return std::nullopt;
  }
  std::wstring text(4096, L'\0');
  DWORD read = 0;
  ::ReadFile(file, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &read, nullptr);
  ::CloseHandle(file);
  text.resize(read / sizeof(wchar_t));
  const std::size_t feed = text.find(L'\n');
  return ProbeReport{text.substr(0, feed),
                     feed == std::wstring::npos ? L"" : text.substr(feed + 1)};
}

}  // namespace daymarker::about_testing
