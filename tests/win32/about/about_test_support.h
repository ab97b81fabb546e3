// Shared by the About window and launcher tests: bounded message pumping, a
// watcher that reads and dismisses the launcher's message box from another
// thread, the machine's System Information keys saved and restored around a
// test, scratch folders, and the probe program the launcher may start.
#pragma once

#include <windows.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace daymarker::about_testing {

using namespace std::chrono_literals;

inline constexpr wchar_t kMsinfoKey[] = L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
inline constexpr wchar_t kLocationKey[] = L"SOFTWARE\\Microsoft\\Shared Tools Location";

// Runs the thread's messages through the program's dialog keys until done()
// holds or the time is up; a WM_QUIT left by a closed window is dropped.
bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);
void PumpFor(std::chrono::milliseconds duration);
std::wstring WindowText(HWND window);
std::wstring ClassName(HWND window);

// What a message box captioned "Daymarker" of this process showed; it is
// pressed OK as soon as it has been read.
struct SeenBox {
  std::wstring text;
  std::vector<std::wstring> buttons;
  bool hasIcon = false;
};

class MessageBoxWatcher {
 public:
  explicit MessageBoxWatcher(std::chrono::milliseconds timeout = 10s);
  ~MessageBoxWatcher() { Finish(); }
  MessageBoxWatcher(const MessageBoxWatcher&) = delete;
  MessageBoxWatcher& operator=(const MessageBoxWatcher&) = delete;

  bool Seen() const { return seen_.load(); }
  // Stops looking and returns what was seen, if anything.
  std::optional<SeenBox> Finish();

 private:
  std::atomic<bool> stop_{false};
  std::atomic<bool> seen_{false};
  std::optional<SeenBox> box_;
  std::thread thread_;
};

// A registry value as a hand-editor may leave it: any type, any bytes.
struct RawValue {
  DWORD type;
  std::vector<BYTE> bytes;
};
RawValue Text(DWORD type, const std::wstring& text, bool withTerminator = true);
RawValue Dword(DWORD value);
bool WriteValue(HKEY root, const std::wstring& key, const std::wstring& name,
                const RawValue& value);

// The two System Information keys of HKEY_LOCAL_MACHINE are copied aside and
// removed while the guard lives, then put back as they were.
class MsinfoKeysGuard {
 public:
  MsinfoKeysGuard();
  ~MsinfoKeysGuard();
  MsinfoKeysGuard(const MsinfoKeysGuard&) = delete;
  MsinfoKeysGuard& operator=(const MsinfoKeysGuard&) = delete;

 private:
  bool existed_[2] = {};
};

// A fresh folder under the temporary folder, removed with all it holds.
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::wstring& leaf);
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::wstring& Path() const { return path_; }

 private:
  std::wstring path_;
};

// sysinfo_probe.exe, built beside the test program. Started, it writes
// "<its own path>.started": its command line, a line feed, and the show
// command it was given ("-" for none).
std::wstring ProbeProgram();

struct ProbeReport {
  std::wstring commandLine;
  std::wstring showCommand;
};
// Waits, bounded, for the program's marker.
std::optional<ProbeReport> WaitForProbe(const std::wstring& program,
                                        std::chrono::milliseconds timeout = 15s);

}  // namespace daymarker::about_testing
