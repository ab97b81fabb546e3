#include "ui/about/sysinfo.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <thread>
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
constexpr const wchar_t* kToolKeys[] = {L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO",
                                        L"SOFTWARE\\Microsoft\\Shared Tools Location"};

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
      {REG_DWORD, DwordBytes(0x00123456), true, L"&h123456"},
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

enum class Path { kUnset, kProgram, kNoProgram };  // what the first key's PATH names
enum class Starts { kPathProgram, kTool, kNothing };
// A name; the first key's PATH; whether the second key names the tool's folder;
// the attributes of MSINFO32.EXE there (0: no such file); what starts.
using LaunchCase = std::tuple<const char*, Path, bool, DWORD, Starts>;
constexpr LaunchCase kLaunchCases[] = {
    {"PathNamesTheProgram", Path::kProgram, false, 0, Starts::kPathProgram},
    {"PathComesFirst", Path::kProgram, true, FILE_ATTRIBUTE_NORMAL, Starts::kPathProgram},
    // A path that cannot be started is the end of the search, and is said so.
    {"PathNamesNoProgram", Path::kNoProgram, true, FILE_ATTRIBUTE_NORMAL, Starts::kNothing},
    {"FolderHoldsTheTool", Path::kUnset, true, FILE_ATTRIBUTE_NORMAL, Starts::kTool},
    {"FolderLacksTheTool", Path::kUnset, true, 0, Starts::kNothing},
    {"HiddenToolDoesNotCount", Path::kUnset, true, FILE_ATTRIBUTE_HIDDEN, Starts::kNothing},
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
    // Spaces in every name, which only a quoted command line keeps in one piece.
    std::filesystem::create_directories(scratch_ / L"path folder");
    std::filesystem::create_directories(scratch_ / L"tool folder");
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
  const std::filesystem::path scratch_ =
      std::filesystem::temp_directory_path() / L"daymarker about tests";
};

TEST_P(StartSysInfoTest, StartsTheToolOrSaysItIsUnavailable) {
  const auto& [name, path, folderSet, attributes, starts] = GetParam();
  const std::wstring pathProgram = (scratch_ / L"path folder\\sys info.exe").wstring();
  const std::wstring toolFolder = (scratch_ / L"tool folder").wstring();
  const std::wstring tool = toolFolder + L"\\MSINFO32.EXE";
  const std::wstring probe = BesideThisProgram(L"sysinfo_probe.exe");
  ASSERT_TRUE(path != Path::kProgram || ::CopyFileW(probe.c_str(), pathProgram.c_str(), FALSE));
  ASSERT_TRUE(attributes == 0 || (::CopyFileW(probe.c_str(), tool.c_str(), FALSE) &&
                                  ::SetFileAttributesW(tool.c_str(), attributes)));
  ASSERT_TRUE(path == Path::kUnset || Plant(HKEY_LOCAL_MACHINE, kToolKeys[0], L"PATH", REG_SZ,
                                            TextBytes(pathProgram + L'\0')));
  ASSERT_TRUE(!folderSet || Plant(HKEY_LOCAL_MACHINE, kToolKeys[1], L"MSINFO", REG_SZ,
                                  TextBytes(toolFolder + L'\0')));

  HWND button = ::GetDlgItem(AboutWindowHandle(), about_ids::kCmdSysInfo);
  EXPECT_EQ(ReadMessageBoxOf([button] { ::SendMessageW(button, BM_CLICK, 0, 0); }),
            starts == Starts::kNothing
                ? L"Daymarker: System Information Is Unavailable At This Time"
                : L"no message");
  EXPECT_TRUE(::IsWindow(button)) << "the About window stays open, its button with it";
  for (const auto& [program, expected] : {std::pair{pathProgram, starts == Starts::kPathProgram},
                                          std::pair{tool, starts == Starts::kTool}}) {
    // A start that should not happen is given a moment to show itself.
    EXPECT_EQ(WaitForProbe(program, expected ? 15s : 1s),
              expected ? L"\"" + program + L"\"\n" + std::to_wstring(SW_SHOWNORMAL) : L"");
  }
}

INSTANTIATE_TEST_SUITE_P(Lookups, StartSysInfoTest, ::testing::ValuesIn(kLaunchCases),
                         [](const auto& row) { return std::string(std::get<0>(row.param)); });

}  // namespace
}  // namespace daymarker
