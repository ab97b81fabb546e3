#include "ui/about/sysinfo.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "about_test_support.h"
#include "tests/win32/support/registry_support.h"
#include "ui/about/about_window.h"
#include "win/handles.h"

namespace daymarker {
namespace {

using namespace testing;

constexpr wchar_t kScratchKey[] = L"Software\\Tolvane\\DaymarkerAboutTests";

using GetKeyValueTest = ScratchRegistryTest;  // HKEY_CURRENT_USER is a fresh key

TEST_F(GetKeyValueTest, ReadsTextAndNumbersAndLeavesOtherTypesAlone) {
  const std::wstring path = L"C:\\Program Files\\Tools\\msinfo32.exe";
  const std::wstring fits(511, L'x');  // with its terminator exactly the 1024-byte buffer
  // Type and bytes stored; result and KeyVal, which comes in as "before".
  const std::tuple<DWORD, std::vector<BYTE>, bool, std::wstring> cases[] = {
      {REG_SZ, TextBytes(path + L'\0'), true, path},
      {REG_SZ, TextBytes(path), true, path},
      {REG_SZ, TextBytes(fits + L'\0'), true, fits},
      {REG_SZ, TextBytes(fits + L'x' + L'\0'), false, L""},
      {REG_DWORD, DwordBytes(0x12345678), true, L"&h12345678"},
      {REG_DWORD, DwordBytes(1), true, L"&h000001"},
      // A lone terminator, or one zero byte, leaves nothing after it is dropped.
      {REG_SZ, TextBytes(std::wstring(1, L'\0')), true, L""},
      {REG_DWORD, {0}, true, L"&h"},
      {REG_EXPAND_SZ, TextBytes(L"%SystemRoot%"), true, L"before"},
  };
  for (const auto& [type, bytes, result, text] : cases) {
    ASSERT_TRUE(Plant(HKEY_CURRENT_USER, L"Key", L"Value", type, bytes));
    std::wstring value = L"before";
    const bool read = GetKeyValue(HKEY_CURRENT_USER, L"Key", L"Value", value);
    EXPECT_EQ(std::pair(read, value), std::pair(result, text));
  }
  // No such key; a missing value fails as the one too long does.
  std::wstring value = L"before";
  EXPECT_FALSE(GetKeyValue(HKEY_CURRENT_USER, L"Key\\Missing", L"Value", value));
  EXPECT_EQ(value, L"");
}

// A name; the program in the tool's folder that the first key's PATH names
// (none: no PATH); the attributes of MSINFO32.EXE in that folder, which the
// second key names (0: no such file; INVALID_FILE_ATTRIBUTES: no second key);
// the program that starts (none: the message that the tool is unavailable).
using LaunchCase = std::tuple<const char*, const wchar_t*, DWORD, const wchar_t*>;
constexpr LaunchCase kLaunchCases[] = {
    {"PathComesFirst", L"sys info.exe", FILE_ATTRIBUTE_NORMAL, L"sys info.exe"},
    // A path that cannot be started is the end of the search, and is said so.
    {"PathNamesNoProgram", L"no program.exe", FILE_ATTRIBUTE_NORMAL, nullptr},
    {"FolderHoldsTheTool", nullptr, FILE_ATTRIBUTE_NORMAL, L"MSINFO32.EXE"},
    {"FolderLacksTheTool", nullptr, 0, nullptr},
    {"HiddenToolDoesNotCount", nullptr, FILE_ATTRIBUTE_HIDDEN, nullptr},
    {"NoKeyNamesTheTool", nullptr, INVALID_FILE_ATTRIBUTES, nullptr},
};

class StartSysInfoTest : public ::testing::TestWithParam<LaunchCase> {
 protected:
  // The tool is started by the About window's button. This process's
  // HKEY_LOCAL_MACHINE is a scratch key while a test plants the tool's keys, so
  // the machine's own are never touched.
  void SetUp() override {
    Clear();
    ShowAboutWindow(::GetModuleHandleW(nullptr), nullptr);
    const ScopedKey machine = CreateTestKey(HKEY_CURRENT_USER, kScratchKey, KEY_ALL_ACCESS);
    ASSERT_TRUE(machine);
    ASSERT_EQ(::RegOverridePredefKey(HKEY_LOCAL_MACHINE, machine.Get()), ERROR_SUCCESS);
    std::filesystem::create_directories(scratch_);
  }
  void TearDown() override {
    ::DestroyWindow(AboutWindowHandle());
    PumpMessages();  // its hidden owner's close
    ::RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
    Clear();
  }
  void Clear() {
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kScratchKey);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kProbeKey);
    std::error_code ignored;  // a probe still exiting may hold its file a moment longer
    std::filesystem::remove_all(scratch_, ignored);
  }
  // The tool's folder, which also holds the program the first key names: spaces
  // in every name, which only a quoted command line keeps in one piece.
  const std::filesystem::path scratch_ =
      std::filesystem::temp_directory_path() / L"daymarker about tests";
};

// What a click on button shows in a message box on this thread, as "caption:
// text", pressing its OK. A timer of the button looks for the box from within
// the box's own message loop.
std::wstring ReadMessageBoxOfClick(HWND button) {
  std::wstring seen = L"no message";
  const TIMERPROC read = [](HWND, UINT, UINT_PTR into, DWORD) CALLBACK {
    const HWND box = ::GetActiveWindow();
    if (const HWND text = ::GetDlgItem(box, 0xFFFF); text != nullptr) {
      *reinterpret_cast<std::wstring*>(into) = WindowText(box) + L": " + WindowText(text);
      ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
  };
  const auto id = reinterpret_cast<UINT_PTR>(&seen);  // handed back to read
  ::SetTimer(button, id, 20, read);
  ::SendMessageW(button, BM_CLICK, 0, 0);
  ::KillTimer(button, id);
  return seen;
}

TEST_P(StartSysInfoTest, StartsTheToolOrSaysItIsUnavailable) {
  const auto& [name, path, attributes, starts] = GetParam();
  const std::wstring probe = BesideThisProgram(L"sysinfo_probe.exe");
  const std::wstring program = (scratch_ / L"sys info.exe").wstring();
  const std::wstring tool = (scratch_ / L"MSINFO32.EXE").wstring();
  ASSERT_TRUE(::CopyFileW(probe.c_str(), program.c_str(), FALSE));
  const bool folderKnown = attributes != INVALID_FILE_ATTRIBUTES;
  ASSERT_TRUE(attributes == 0 || !folderKnown ||
              (::CopyFileW(probe.c_str(), tool.c_str(), FALSE) &&
               ::SetFileAttributesW(tool.c_str(), attributes)));
  ASSERT_TRUE(path == nullptr ||
              Plant(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", L"PATH",
                    REG_SZ, TextBytes((scratch_ / path).wstring() + L'\0')));
  ASSERT_TRUE(!folderKnown ||
              Plant(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Shared Tools Location", L"MSINFO",
                    REG_SZ, TextBytes(scratch_.wstring() + L'\0')));

  HWND button = ::GetDlgItem(AboutWindowHandle(), about_ids::kCmdSysInfo);
  EXPECT_EQ(ReadMessageBoxOfClick(button),
            starts == nullptr ? L"Daymarker: System Information Is Unavailable At This Time"
                              : L"no message");
  EXPECT_TRUE(::IsWindow(button)) << "the About window stays open, its button with it";
  for (const std::wstring& started : {program, tool}) {
    // A start that should not happen is given a moment to show itself.
    const bool expected = starts != nullptr && started == (scratch_ / starts).wstring();
    EXPECT_EQ(WaitForProbe(started, expected ? 15s : 1s),
              expected ? L"\"" + started + L"\"\n" + std::to_wstring(SW_SHOWNORMAL) : L"");
  }
}

INSTANTIATE_TEST_SUITE_P(Lookups, StartSysInfoTest, ::testing::ValuesIn(kLaunchCases),
                         [](const auto& row) { return std::string(std::get<0>(row.param)); });

}  // namespace
}  // namespace daymarker
